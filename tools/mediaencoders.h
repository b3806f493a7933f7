#pragma once
// Small but valid media files made from nothing, for demo disk images: a baseline JPEG, a
// PNG, a PCM WAV sound and a Motion-JPEG AVI video.
#include <cstdint>
#include <vector>

namespace salvyn::demo {

using Bytes = std::vector<std::uint8_t>;

// Grey-scale JPEG (JFIF) of a pattern that changes with `seed`; width and height are
// multiples of 8. Each 8x8 block holds its average brightness.
Bytes makeJpeg(int width, int height, int seed);

// RGB PNG of a colour gradient, stored without compression.
Bytes makePng(int width, int height);

// Mono 16-bit PCM WAV of a tone.
Bytes makeWav(int sampleRate, double seconds, double frequency);

// Motion-JPEG AVI of `frames` frames.
Bytes makeAvi(int width, int height, int frames);

} // namespace salvyn::demo
