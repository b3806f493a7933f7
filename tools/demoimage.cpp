// Writes demo.img, a small disk image with photos, a video and a sound laid at known
// sectors between blank stretches and leftover data, demo.txt describing the layout, and
// each file as it was (original-<sector>.<type>) to compare recovered files with.
//   salvyn-demo-image OUTPUT_FOLDER
#include "mediaencoders.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace {

using salvyn::demo::Bytes;

constexpr std::size_t kSector = 512;
constexpr std::size_t kImageSectors = 4096; // 2 MiB

struct Placement {
    std::size_t sector;
    const char* extension;
    const char* what;
    Bytes bytes;
};

// Data left over from deleted files: random bytes, but never a byte that starts a signature
// at the first byte of a sector.
void fillWithLeftovers(Bytes& image, std::size_t firstSector, std::size_t endSector, std::mt19937& random)
{
    for (std::size_t at = firstSector * kSector; at < endSector * kSector; ++at)
        image[at] = at % kSector == 0 ? 0x2A : static_cast<std::uint8_t>(random());
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: salvyn-demo-image OUTPUT_FOLDER\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    std::mt19937 random(2026);
    Bytes image(kImageSectors * kSector, 0);
    fillWithLeftovers(image, 40, 60, random);
    fillWithLeftovers(image, 900, 1000, random);
    fillWithLeftovers(image, 2300, 2400, random);

    const Placement placements[] = {
        {64, "jpg", "JPEG photo, 64x48", salvyn::demo::makeJpeg(64, 48, 1)},
        {300, "png", "PNG picture, 48x32", salvyn::demo::makePng(48, 32)},
        {700, "avi", "AVI video, Motion JPEG, 5 frames of 80x64", salvyn::demo::makeAvi(80, 64, 5)},
        {1500, "wav", "WAV sound, 0.5 s of 440 Hz", salvyn::demo::makeWav(8000, 0.5, 440)},
        {2048, "jpg", "JPEG photo, 160x120", salvyn::demo::makeJpeg(160, 120, 7)},
        {3000, "png", "PNG picture, 200x120", salvyn::demo::makePng(200, 120)},
    };
    std::ofstream layout(folder / "demo.txt");
    layout << "demo.img: " << kImageSectors << " sectors of 512 bytes; leftover data at sectors 40-59, 900-999 and 2300-2399, the rest blank except:\n";
    for (const Placement& placement : placements) {
        std::copy(placement.bytes.begin(), placement.bytes.end(),
                  image.begin() + static_cast<std::ptrdiff_t>(placement.sector * kSector));
        const std::size_t sectors = (placement.bytes.size() + kSector - 1) / kSector;
        layout << "  from sector " << placement.sector << ", " << sectors << (sectors == 1 ? " sector: " : " sectors: ")
               << placement.what << " (" << placement.bytes.size() << " bytes)\n";
        std::ofstream(folder / ("original-" + std::to_string(placement.sector) + "." + placement.extension), std::ios::binary)
            .write(reinterpret_cast<const char*>(placement.bytes.data()), static_cast<std::streamsize>(placement.bytes.size()));
    }
    std::ofstream(folder / "demo.img", std::ios::binary)
        .write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
    return layout ? 0 : 1;
}
