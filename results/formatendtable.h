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

// Why a listed type has no rule (its files are saved up to the next file or their range),
// or empty when it has one or is not listed.
std::string_view whyNoFormatEnd(std::string_view type);

// The rule of `type`, or none when no format end knows that type.
const FormatEndRule* formatEndRuleFor(std::string_view type);

// What a format end made of one found file.
struct FormatEndFinding {
    std::optional<std::uint64_t> length;  // the file's true length, when its structure says it
    // Whether the bytes look like the start of a file of the type: it has a length, or its
    // structure is plainly there without an end recorded (a streamed size), or the walk
    // followed it past the first sector before giving up (a file cut short), or no rule
    // knows the type. False for a header that matched by chance.
    bool recognisedStart = true;
};

// Reads the file of `type` that begins at `firstByte` of the medium, no further than the
// type's save limit or `walkEndByte` (the end of the searched range); searches for an end
// mark stop at `scanEndByte` (the next file found).
FormatEndFinding findFormatEnd(ByteReader& medium, std::string_view type, std::uint64_t firstByte,
                               std::uint64_t walkEndByte = UINT64_MAX, std::uint64_t scanEndByte = UINT64_MAX);

// The most a save of a file of `type` writes when its format end does not answer: the
// type's save limit for a recognised start, far less for a header matched by chance.
std::uint64_t fallbackCapBytes(std::string_view type, bool recognisedStart);

// The true length of the file of `type` that begins at `firstByte` of the medium, read
// from its structure within the type's save limit; none when unknown.
std::optional<std::uint64_t> formatEndLength(ByteReader& medium, std::string_view type, std::uint64_t firstByte);

} // namespace salvyn
