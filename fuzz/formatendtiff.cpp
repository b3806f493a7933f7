// The TIFF family's end (TIFF, BigTIFF and the raws built on it) over arbitrary bytes.
#include "formatendwalk.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    salvyn::fuzz::walkFormatEnds(salvyn::fuzz::formatEndFamily("formatendtiff").ends, data, size);
    return 0;
}
