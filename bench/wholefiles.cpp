// salvyn-bench-wholefiles: how many found files come back whole, and how many bytes saving
// everything writes. Lays every sample of the project's recipe list, made by Debian's encoders,
// at random sectors of an image of random bytes (2 GiB unless told otherwise), runs
// salvyn-scan in each mode with a report, and compares each report line with the sample laid
// at its first sector. Reports figures per family; asserts nothing.
#include "doubles/samplefiles.h"
#include "results/sha256.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace salvyn {
namespace {

namespace fs = std::filesystem;
constexpr std::uint64_t kSector = 512;
constexpr std::uint64_t kMiB = 1024 * 1024;
const char* const kModeNames[] = {"photo", "video", "raw", "audio"};

struct Seeded {
    const test::SampleRecipe* recipe;
    std::uint64_t firstSector;
    std::uint64_t bytes;
    std::string sha256;
};

struct ReportLine {
    std::uint64_t bytes = 0;
    std::string sha256;
    std::string lengthFrom;
};

std::string sha256Of(const std::vector<std::uint8_t>& bytes)
{
    Sha256 digest;
    digest.update(bytes);
    return digest.finishHex();
}

// Random bytes everywhere, then the real samples (made by an encoder, or built whole) at random sectors, none overlapping and each
// with at least one sector of random bytes after it.
std::vector<Seeded> writeImage(const fs::path& path, std::uint64_t backgroundBytes)
{
    std::vector<const test::SampleRecipe*> recipes;
    std::uint64_t sampleSectors = 0;
    for (const test::SampleRecipe& recipe : test::allSampleRecipes())
        if ((!recipe.command.empty() || recipe.wholeFile) && test::sampleFor(recipe).skipReason.empty()) {
            recipes.push_back(&recipe);
            sampleSectors += test::sampleFor(recipe).bytes.size() / kSector + 2;
        }
    const std::uint64_t sectors = std::max(backgroundBytes / kSector, sampleSectors * 4);
    std::mt19937_64 random(20261207);
    std::shuffle(recipes.begin(), recipes.end(), random);

    // Slots spread evenly over the image, each sample at a random sector of its slot.
    std::vector<Seeded> seeded;
    const std::uint64_t slot = sectors / recipes.size();
    for (std::size_t i = 0; i < recipes.size(); ++i) {
        const auto& bytes = test::sampleFor(*recipes[i]).bytes;
        const std::uint64_t used = bytes.size() / kSector + 2;
        const std::uint64_t first = i * slot + (slot > used ? random() % (slot - used) : 0);
        seeded.push_back({recipes[i], first, bytes.size(), sha256Of(bytes)});
    }

    std::ofstream image(path, std::ios::binary | std::ios::trunc);
    std::vector<std::uint64_t> words(kMiB / 8);
    for (std::uint64_t at = 0; at < sectors * kSector; at += kMiB) {
        std::generate(words.begin(), words.end(), std::ref(random));
        image.write(reinterpret_cast<const char*>(words.data()),
                    static_cast<std::streamsize>(std::min(kMiB, sectors * kSector - at)));
    }
    for (const Seeded& file : seeded) {
        const auto& bytes = test::sampleFor(*file.recipe).bytes;
        image.seekp(static_cast<std::streamoff>(file.firstSector * kSector));
        image.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    return seeded;
}

std::map<std::uint64_t, ReportLine> runScan(const fs::path& scanner, const fs::path& image, int mode,
                                            const fs::path& report)
{
    fs::remove(report);
    const std::string command = scanner.string() + " --mode " + kModeNames[mode] + " --report '" + report.string()
                              + "' '" + image.string() + "' > /dev/null";
    if (std::system(command.c_str()) == -1)
        std::cerr << "cannot run " << scanner << "\n";
    std::map<std::uint64_t, ReportLine> lines;
    std::ifstream in(report);
    std::string line;
    std::getline(in, line); // header
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string name, type, first, end, bytes, sha, from;
        std::getline(fields, name, '\t');
        std::getline(fields, type, '\t');
        std::getline(fields, first, '\t');
        std::getline(fields, end, '\t');
        std::getline(fields, bytes, '\t');
        std::getline(fields, sha, '\t');
        std::getline(fields, from, '\t');
        lines[std::stoull(first)] = {std::stoull(bytes), sha, from};
    }
    return lines;
}

int run(int argc, char** argv)
{
    std::uint64_t backgroundMiB = 2048;
    fs::path folder = fs::temp_directory_path() / "salvyn-wholefiles";
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::string(argv[i]) == "--background-mib")
            backgroundMiB = std::strtoull(argv[i + 1], nullptr, 10);
        else if (std::string(argv[i]) == "--folder")
            folder = argv[i + 1];
    }
    fs::create_directories(folder);
    const fs::path scanner = fs::read_symlink("/proc/self/exe").parent_path() / "salvyn-scan";
    const fs::path image = folder / "wholefiles.img";
    std::cout << "Laying the samples into " << backgroundMiB << " MiB of random bytes (" << image << ")\n";
    const std::vector<Seeded> seeded = writeImage(image, backgroundMiB * kMiB);

    std::printf("%-6s %8s %8s %10s %8s %12s %12s %8s\n", "family", "samples", "found", "identical", "share",
                "seeded MB", "written MB", "ratio");
    std::uint64_t allSamples = 0, allIdentical = 0, allSeeded = 0, allWritten = 0;
    std::vector<std::string> misses;
    for (int mode = 0; mode < 4; ++mode) {
        const auto lines = runScan(scanner, image, mode, folder / (std::string(kModeNames[mode]) + ".tsv"));
        std::uint64_t samples = 0, found = 0, identical = 0, seededBytes = 0, written = 0;
        for (const auto& [first, line] : lines)
            written += line.bytes;
        for (const Seeded& file : seeded) {
            if (file.recipe->mode != mode)
                continue;
            ++samples;
            seededBytes += file.bytes;
            const auto line = lines.find(file.firstSector);
            if (line == lines.end()) {
                misses.push_back(file.recipe->name + " (" + file.recipe->type + "): not found");
                continue;
            }
            ++found;
            if (line->second.sha256 == file.sha256)
                ++identical;
            else
                misses.push_back(file.recipe->name + " (" + file.recipe->type + "): " + std::to_string(file.bytes)
                                 + " bytes saved as " + std::to_string(line->second.bytes) + " by "
                                 + line->second.lengthFrom);
        }
        std::printf("%-6s %8llu %8llu %10llu %7.1f%% %12.2f %12.2f %8.2f\n", kModeNames[mode],
                    static_cast<unsigned long long>(samples), static_cast<unsigned long long>(found),
                    static_cast<unsigned long long>(identical), samples ? 100.0 * identical / samples : 0.0,
                    seededBytes / 1e6, written / 1e6, seededBytes ? double(written) / seededBytes : 0.0);
        allSamples += samples;
        allIdentical += identical;
        allSeeded += seededBytes;
        allWritten += written;
    }
    std::printf("%-6s %8llu %8s %10llu %7.1f%% %12.2f %12.2f %8.2f\n", "all", static_cast<unsigned long long>(allSamples),
                "", static_cast<unsigned long long>(allIdentical), allSamples ? 100.0 * allIdentical / allSamples : 0.0,
                allSeeded / 1e6, allWritten / 1e6, allSeeded ? double(allWritten) / allSeeded : 0.0);
    std::cout << "\nNot back whole:\n";
    for (const std::string& miss : misses)
        std::cout << "  " << miss << "\n";
    return 0;
}

} // namespace
} // namespace salvyn

int main(int argc, char** argv) { return salvyn::run(argc, argv); }
