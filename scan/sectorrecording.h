#pragma once
// One read of the medium serving two passes. While one pass reads the medium, a recording
// keeps what another pass's list needs of the same sectors: where one of its headers starts
// (with that sector's bytes) and which sectors could not be read. The other pass then runs
// over a replay of that read: recorded sectors as they were read, every other sector blank,
// and, for a photo pass, the sectors each photo collects read back from the medium. It finds
// exactly what reading the medium itself would find, without reading the rest again.
// Recorded on the reading pass's thread; replayed after it, on the same thread.
#include "platform/sectorsourceopener.h"
#include "scan/headermatcher.h"

#include <array>
#include <map>
#include <memory>
#include <set>

namespace salvyn {

class SectorRecording {
public:
    // `collectsSectors`: the replayed pass keeps the sectors after each header (photos).
    SectorRecording(const SignatureList& list, bool collectsSectors);

    // Sector `number` as the reading pass got it: its bytes, or nullptr when unreadable.
    void examine(std::uint64_t number, const std::uint8_t* sector);
    // `count` sectors read in a row from sector `first` on.
    void examine(std::uint64_t first, const std::uint8_t* sectors, std::size_t count);

    // A source whose streams replay the recorded read; photo sectors come from `medium`.
    std::unique_ptr<SectorSourceOpener> replay(SectorSourceOpener& medium) const;

    struct Header {
        std::array<std::uint8_t, kSectorSize> bytes;
        std::uint64_t collectedSectors; // how many sectors from it a photo may take at most
    };

private:
    const HeaderMatcher m_matcher;
    const bool m_collectsSectors;
    std::map<std::uint64_t, Header> m_headers;
    std::set<std::uint64_t> m_unreadable;
};

} // namespace salvyn
