#pragma once
// What the results show of each found file once the search is over: how much Save will
// write and why, whether the file is whole, and when and with what it was taken. Measured
// from the medium, so never on the UI thread; one reader per call.
#include "results/capturedetails.h"
#include "results/filecondition.h"
#include "results/savingplan.h"

#include <string>

namespace salvyn {

struct FoundFileDetails {
    SaveLength length{0, LengthSource::Range};
    FileCondition condition = FileCondition::Unknown;
    CaptureDetails capture;
};

// The details of the file added at `index` of a search's plan.
FoundFileDetails describeFoundFile(const SavingPlan& plan, std::size_t index, ByteReader& medium);

// "Sectors 100 to 130 (end excluded)\n15360 bytes, up to the end its format gives\nWhole: ...
// \nTaken 2024-06-01 10:15:32 with Canon EOS 80D"
std::string foundFileToolTip(std::uint64_t firstSector, std::uint64_t endSector, const FoundFileDetails& details);

} // namespace salvyn
