// Video ends (RealMedia, MXF, Flash, MPEG video streams) over arbitrary bytes.
#include "formatendwalk.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    salvyn::fuzz::walkFormatEnds(salvyn::fuzz::formatEndFamily("formatendvideo").ends, data, size);
    return 0;
}
