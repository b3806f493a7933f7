#pragma once
// Which signature record, if any, starts a file in a sector. The records are decoded once;
// the answer is always the first record in list order whose header walk matches.
#include "platform/sectorstream.h"
#include "signatures/signaturelist.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace salvyn {

struct SignatureRecord {
    enum class Placement { AtStart, Walk, Numbered };

    std::string type;          // entry 0
    std::uint64_t maximumSize; // entry 1
    std::string headerText;    // entry 2, as written
    std::string positionText;  // entry 3, as written
    std::vector<std::uint8_t> header;
    Placement placement;
    std::int64_t firstOffset;  // 0-based byte of the first attempt (numbered: position - 1)
    std::int32_t firstByte;    // entry 6
};

// Decodes record `index` of a flat list (seven entries per record).
SignatureRecord decodeSignatureRecord(const SignatureList& list, std::size_t index);

// The header walk of one record on one sector, exactly as the lists have always been read.
bool headerMatches(const SignatureRecord& record, const std::uint8_t* sector);

class HeaderMatcher {
public:
    static constexpr std::size_t kNoMatch = static_cast<std::size_t>(-1);

    explicit HeaderMatcher(const SignatureList& list);

    std::size_t recordCount() const { return m_records.size(); }
    const SignatureRecord& record(std::size_t index) const { return m_records[index]; }

    // Index of the first matching record, or kNoMatch. Most sectors hold none of the bytes
    // the records begin with where they begin: they are turned away by small tables.
    std::size_t firstMatch(const std::uint8_t* sector) const
    {
        for (const FirstBytes& at : m_firstBytes)
            if (at.begins[sector[at.offset]])
                return matchAmongCandidates(sector);
        return kNoMatch;
    }

private:
    // The bytes some record begins with at one offset.
    struct FirstBytes {
        std::size_t offset;
        std::array<bool, 256> begins;
    };

    std::size_t matchAmongCandidates(const std::uint8_t* sector) const;

    // Records whose first attempt is at one byte offset, by the byte they need there.
    struct OffsetIndex {
        std::size_t offset;
        std::array<std::vector<std::uint32_t>, 256> recordsByByte;
    };

    std::vector<SignatureRecord> m_records;
    std::vector<OffsetIndex> m_indexes;
    std::vector<FirstBytes> m_firstBytes; // one per index, same order
};

} // namespace salvyn
