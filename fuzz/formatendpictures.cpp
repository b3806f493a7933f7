// Picture ends outside the TIFF family (PSD, JPEG 2000, JPEG XL, RAF, CRW, X3F, MRW) over arbitrary bytes.
#include "formatendwalk.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    salvyn::fuzz::walkFormatEnds(salvyn::fuzz::formatEndFamily("formatendpictures").ends, data, size);
    return 0;
}
