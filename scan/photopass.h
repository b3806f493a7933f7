#pragma once
#include "scan/scancontext.h"

#include <string>

namespace salvyn {

// One photo pass, "GEN" (general list) or "THD" (thorough list), over the request's range.
// True when the range was read to its end and its last read succeeded; false when the
// medium cannot be opened, the search was stopped, the last read failed or nothing was read.
bool Photo_Recovey_Mode(ScanContext& context, const std::string& passName);

} // namespace salvyn
