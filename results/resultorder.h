#pragma once
// The order and the size filter of the result browsers. Files not measured yet have no
// size, date or condition: they sort after those that have one and are never hidden by
// the size filter, so nothing disappears while the details are still coming. Any thread.
#include "results/foundfiledetails.h"

#include <cstdint>
#include <optional>
#include <string>

namespace salvyn {

enum class ResultSort { Name, Size, Date, Condition };

// The smallest file "Hide files under 10 KB" keeps.
inline constexpr std::uint64_t kSmallFileLimit = 10 * 1024;

// True when the file named `nameA` with `a` (none: not measured) comes before `nameB` with
// `b`. Names decide ties. Size and date put the largest and the newest first; the
// condition puts whole files first, then unknown, then damaged.
bool sortsBefore(ResultSort sort, const std::string& nameA, const std::optional<FoundFileDetails>& a,
                 const std::string& nameB, const std::optional<FoundFileDetails>& b);

// Whether a file stays shown when files under `minimumBytes` are hidden.
bool shownAtMinimumSize(const std::optional<FoundFileDetails>& details, std::uint64_t minimumBytes);

} // namespace salvyn
