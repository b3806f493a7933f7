// Sound file ends (MP3, AAC, FLAC, MIDI, AMR, AU, CAF, APE, WavPack, ASF) over arbitrary bytes.
#include "formatendwalk.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    salvyn::fuzz::walkFormatEnds(salvyn::fuzz::formatEndFamily("formatendaudio").ends, data, size);
    return 0;
}
