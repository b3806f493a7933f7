#include "results/resultorder.h"

#include <tuple>

namespace salvyn {

namespace {

int conditionRank(FileCondition condition)
{
    switch (condition) {
    case FileCondition::Whole: return 0;
    case FileCondition::Unknown: return 1;
    case FileCondition::Damaged: break;
    }
    return 2;
}

// The key of one file under `sort`, smaller first; unmeasured and unknown values last.
std::tuple<bool, std::uint64_t, CaptureTime, int> keyOf(ResultSort sort, const std::optional<FoundFileDetails>& details)
{
    if (!details || sort == ResultSort::Name)
        return {!details && sort != ResultSort::Name, 0, {}, 0};
    switch (sort) {
    case ResultSort::Size: return {false, UINT64_MAX - details->length.bytes, {}, 0};
    case ResultSort::Date: {
        if (!details->capture.taken)
            return {true, 0, {}, 0};
        // Newest first: a later time gives a smaller key.
        const CaptureTime& t = *details->capture.taken;
        return {false, 0, CaptureTime{-t.year, -t.month, -t.day, -t.hour, -t.minute, -t.second}, 0};
    }
    case ResultSort::Condition: return {false, 0, {}, conditionRank(details->condition)};
    case ResultSort::Name: break; // names alone decide
    }
    return {false, 0, {}, 0};
}

} // namespace

bool sortsBefore(ResultSort sort, const std::string& nameA, const std::optional<FoundFileDetails>& a,
                 const std::string& nameB, const std::optional<FoundFileDetails>& b)
{
    const auto keyA = keyOf(sort, a);
    const auto keyB = keyOf(sort, b);
    if (keyA != keyB)
        return keyA < keyB;
    return nameA < nameB;
}

bool shownAtMinimumSize(const std::optional<FoundFileDetails>& details, std::uint64_t minimumBytes)
{
    return !details || details->length.bytes >= minimumBytes;
}

} // namespace salvyn
