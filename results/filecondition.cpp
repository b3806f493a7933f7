#include "results/filecondition.h"

#include "results/formatendtable.h"

namespace salvyn {

const char* fileConditionText(FileCondition condition)
{
    switch (condition) {
    case FileCondition::Whole: return "whole";
    case FileCondition::Damaged: return "damaged";
    case FileCondition::Unknown: break;
    }
    return "unknown";
}

FileCondition fileConditionOf(std::string_view type, LengthSource source, std::uint64_t unreadableSectors)
{
    if (unreadableSectors > 0)
        return FileCondition::Damaged;
    if (formatEndRuleFor(type) == nullptr)
        return FileCondition::Unknown;
    return source == LengthSource::Format ? FileCondition::Whole : FileCondition::Damaged;
}

} // namespace salvyn
