#pragma once
// Searches of several modes over one medium, one after another, each finding, naming and
// counting as if it ran alone, while the medium is read once: the first search reads it and
// records what every later search's lists need of it (general and thorough headers, and the
// sectors that could not be read); the later searches replay that read.
#include "scan/scancontext.h"
#include "scan/sectorrecording.h"

#include <memory>
#include <vector>

namespace salvyn {

class SharedRead {
public:
    // The searches' requests, in the order they will run; none of them searches photos but
    // the first (a photo search reads its photos' bytes and must read the medium itself).
    explicit SharedRead(const std::vector<const SearchRequest*>& requests);

    // Runs search `index` on the calling thread, `context.opener` opening the medium.
    void runSearch(std::size_t index, ScanContext& context);

private:
    std::unique_ptr<SectorRecording> m_recording; // of what every search but the first needs
};

} // namespace salvyn
