// Archive ends (ZIP, RAR, 7z, cabinets, tar) over arbitrary bytes.
#include "formatendwalk.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    salvyn::fuzz::walkFormatEnds(salvyn::fuzz::formatEndFamily("formatendarchives").ends, data, size);
    return 0;
}
