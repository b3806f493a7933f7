// Cover pictures in sound tags (ID3, FLAC, MP4) over arbitrary bytes.
#include "formatendwalk.h"
#include "fuzzcheck.h"
#include "results/coverpicture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::uint64_t limit = size - size / 4;
    salvyn::fuzz::FuzzMedium medium(data, size);
    salvyn::FormatEndReader file(medium, 0, limit);
    const std::vector<std::uint8_t> cover = salvyn::coverPicture(file);
    salvyn::fuzz::require(medium.furthestAsked() <= limit, "nothing at or past the limit is read");
    salvyn::fuzz::require(cover.size() <= limit, "a cover lies inside the file");
    return 0;
}
