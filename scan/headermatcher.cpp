#include "scan/headermatcher.h"

#include "platform/numbertext.h"
#include "signatures/hexconversion.h"

#include <algorithm>

namespace salvyn {

namespace {

constexpr std::int64_t kLastNumberedOffset = 506; // 1-based positions up to 507 are tried

// Two hexadecimal characters per byte; an odd last character is ignored.
std::vector<std::uint8_t> headerBytes(const std::string& headerText)
{
    const std::u16string units = toUtf16(headerText);
    std::vector<std::uint8_t> bytes;
    bytes.reserve(units.size() / 2);
    for (std::size_t k = 0; k + 1 < units.size(); k += 2)
        bytes.push_back(static_cast<std::uint8_t>(hex2int(std::u16string_view(units).substr(k, 2))));
    return bytes;
}

// The byte offset a record's first attempt looks at, when it can ever match at all.
bool indexableOffset(const SignatureRecord& record, std::size_t& offset)
{
    if (record.header.empty() || record.firstByte < 0 || record.firstByte > 255)
        return false;
    if (record.placement != SignatureRecord::Placement::Numbered) {
        offset = 0;
        return true;
    }
    if (record.firstOffset < 0 || record.firstOffset > kLastNumberedOffset)
        return false;
    offset = static_cast<std::size_t>(record.firstOffset);
    return true;
}

} // namespace

SignatureRecord decodeSignatureRecord(const SignatureList& list, std::size_t index)
{
    const auto entry = [&](std::size_t k) -> const std::string& { return recordEntry(list, index, k); };
    SignatureRecord record;
    record.type = entry(0);
    record.maximumSize = unsignedLongLongValue(entry(1));
    record.headerText = entry(2);
    record.positionText = entry(3);
    record.header = headerBytes(record.headerText);
    record.placement = record.positionText == "1"    ? SignatureRecord::Placement::AtStart
                       : record.positionText == "nn" ? SignatureRecord::Placement::Walk
                                                     : SignatureRecord::Placement::Numbered;
    record.firstOffset = record.placement == SignatureRecord::Placement::Numbered
                             ? static_cast<std::int64_t>(intValue(record.positionText)) - 1
                             : 0;
    record.firstByte = intValue(entry(6));
    return record;
}

bool headerMatches(const SignatureRecord& record, const std::uint8_t* sector)
{
    using Placement = SignatureRecord::Placement;
    const std::int64_t length = static_cast<std::int64_t>(record.header.size());
    if (length == 0 || record.firstOffset < 0)
        return false;
    std::int64_t pos = record.firstOffset;
    const std::int64_t limit = record.placement == Placement::Walk ? std::int64_t(kSectorSize) : pos + length;
    while (pos < limit) {
        // Past the sector nothing is read; there the header is never found.
        if (pos >= std::int64_t(kSectorSize) || sector[pos] != record.firstByte)
            return false;
        if (record.placement == Placement::Numbered && pos > kLastNumberedOffset)
            return false;
        std::int64_t matchedCount = 0;
        while (matchedCount < length) {
            if (pos < std::int64_t(kSectorSize) && sector[pos] == record.header[matchedCount]) {
                ++pos;
                ++matchedCount;
                continue;
            }
            // A partial match resumes at the byte that differed.
            if (matchedCount > 0)
                --pos;
            break;
        }
        if (matchedCount == length)
            return true;
        if (record.placement != Placement::Walk)
            return false;
        ++pos;
    }
    return false;
}

HeaderMatcher::HeaderMatcher(const SignatureList& list)
{
    const std::size_t count = salvyn::recordCount(list);
    m_records.reserve(count);
    for (std::size_t index = 0; index < count; ++index)
        m_records.push_back(decodeSignatureRecord(list, index));

    for (std::size_t index = 0; index < count; ++index) {
        std::size_t offset = 0;
        if (!indexableOffset(m_records[index], offset))
            continue;
        auto found = std::find_if(m_indexes.begin(), m_indexes.end(),
                                  [offset](const OffsetIndex& byOffset) { return byOffset.offset == offset; });
        if (found == m_indexes.end()) {
            m_indexes.push_back(OffsetIndex{offset, {}});
            m_firstBytes.push_back(FirstBytes{offset, {}});
            found = std::prev(m_indexes.end());
        }
        const auto firstByte = static_cast<std::size_t>(m_records[index].firstByte);
        found->recordsByByte[firstByte].push_back(static_cast<std::uint32_t>(index));
        m_firstBytes[static_cast<std::size_t>(found - m_indexes.begin())].begins[firstByte] = true;
    }
}

std::size_t HeaderMatcher::matchAmongCandidates(const std::uint8_t* sector) const
{
    // Each offset's candidates are in list order, so the earliest match of each bounds the rest.
    std::size_t best = kNoMatch;
    for (const OffsetIndex& byOffset : m_indexes) {
        for (const std::uint32_t index : byOffset.recordsByByte[sector[byOffset.offset]]) {
            if (index >= best)
                break;
            if (headerMatches(m_records[index], sector)) {
                best = index;
                break;
            }
        }
    }
    return best;
}

} // namespace salvyn
