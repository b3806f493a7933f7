#pragma once
#include "scan/scancontext.h"

#include <string>

namespace salvyn {

// One video, raw-file or audio pass, "GEN" or "THD", over the request's range. True when
// the range was read to its end with a good last read, or the working list was empty;
// false when the medium cannot be opened, the search was stopped or the last read failed.
bool Raw_File_Recovey_Mode(ScanContext& context, const std::string& passName);

} // namespace salvyn
