#pragma once
// The answer to "what can it find?": the file types of each search mode's general and
// thorough signature lists, as loaded.
#include "signatures/signaturelist.h"

#include <ostream>
#include <vector>

namespace salvyn {

// Prints, for the given search modes (0 photo to 3 audio) and each of their two passes, one
// line per file type in list order: the type and its description as the file-type check
// list shows it.
void printSignatureTypes(std::ostream& out, const SignatureLists& lists, const std::vector<int>& recoveryModes);

} // namespace salvyn
