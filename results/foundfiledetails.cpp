#include "results/foundfiledetails.h"

#include "platform/sectorstream.h"
#include "scan/naming.h"

namespace salvyn {

namespace {

const char* lengthReason(LengthSource source)
{
    switch (source) {
    case LengthSource::Format: return "up to the end its format gives";
    case LengthSource::NextFile: return "up to the next file found";
    case LengthSource::Cap: return "the most its type may be";
    case LengthSource::Range: break;
    }
    return "the range the search found";
}

const char* conditionReason(FileCondition condition)
{
    switch (condition) {
    case FileCondition::Whole: return "Whole: its end was found and every byte up to it read";
    case FileCondition::Damaged: return "Damaged: cut short, broken or unreadable";
    case FileCondition::Unknown: break;
    }
    return "Unknown: its format does not say where it ends";
}

} // namespace

FoundFileDetails describeFoundFile(const SavingPlan& plan, std::size_t index, ByteReader& medium)
{
    FoundFileDetails details;
    const std::string type = pathExtension(plan.name(index));
    details.length = plan.lengthOf(index, medium);
    details.condition = fileConditionOf(type, details.length.source);
    details.capture = captureDetailsOf(medium, type, plan.firstSector(index) * kSectorSize, details.length.bytes);
    return details;
}

std::string foundFileToolTip(std::uint64_t firstSector, std::uint64_t endSector, const FoundFileDetails& details)
{
    std::string tip = "Sectors " + std::to_string(firstSector) + " to " + std::to_string(endSector)
                    + " (end excluded)\n" + std::to_string(details.length.bytes) + " bytes, "
                    + lengthReason(details.length.source) + "\n" + conditionReason(details.condition);
    if (details.capture.taken)
        tip += "\nTaken " + captureTimeText(*details.capture.taken);
    if (!details.capture.camera.empty())
        tip += " with " + details.capture.camera;
    return tip;
}

} // namespace salvyn
