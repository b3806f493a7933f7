// Compressed-stream ends (gzip, bzip2, xz, Zstandard) over arbitrary bytes.
#include "formatendwalk.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    salvyn::fuzz::walkFormatEnds(salvyn::fuzz::formatEndFamily("formatendcompressed").ends, data, size);
    return 0;
}
