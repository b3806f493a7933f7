#pragma once
// Which format end answers for which found-file type, and how much of a file of that
// type may be saved at most. Types are the signature lists' type names, compared
// without regard to case. Read-only data, any thread.
#include "results/bytereader.h"
#include "results/formatends.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace salvyn {

struct FormatEndRule {
    std::string_view type;
    FormatEndFunction end;
    std::uint64_t saveLimitBytes;
};

// Every rule, one per type name.
std::span<const FormatEndRule> formatEndRules();

// The rule of `type`, or none when no format end knows that type.
const FormatEndRule* formatEndRuleFor(std::string_view type);

// The true length of the file of `type` that begins at `firstByte` of the medium, read
// from its structure within the type's save limit; none when unknown.
std::optional<std::uint64_t> formatEndLength(ByteReader& medium, std::string_view type, std::uint64_t firstByte);

} // namespace salvyn
