#pragma once
// Whether a found file is whole, as far as its own structure tells. Whole: its format says
// where it ends and every byte up to there was read. Damaged: its format has an end to
// check but it was not found (the file is cut short, broken or overwritten), or sectors of
// it could not be read. Unknown: nothing in its format says where it ends. Any thread.
#include "results/savingplan.h"

#include <cstdint>
#include <string_view>

namespace salvyn {

enum class FileCondition { Whole, Damaged, Unknown };

// The report's words: "whole", "damaged", "unknown".
const char* fileConditionText(FileCondition condition);

// A file of `type` whose saved length came from `source`, with `unreadableSectors` among them.
FileCondition fileConditionOf(std::string_view type, LengthSource source, std::uint64_t unreadableSectors = 0);

} // namespace salvyn
