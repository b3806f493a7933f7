// Container ends (RIFF, AIFF, ISO media, Matroska) over arbitrary bytes.
#include "formatendwalk.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    salvyn::fuzz::walkFormatEnds(salvyn::fuzz::formatEndFamily("formatendcontainers").ends, data, size);
    return 0;
}
