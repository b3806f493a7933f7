// salvyn-falsefinds: how often the shipped signature lists start a file on random data, where
// every find is a false one. Runs each mode's general and thorough pass over a seeded random
// medium (1 GiB unless told otherwise) and reports finds per GiB with the types found. Exits 1
// when a general list finds anything or a thorough list more than 5 per GiB.
#include "platform/resourcefolder.h"
#include "results/foundfilesink.h"
#include "results/resultrows.h"
#include "scan/naming.h"
#include "scan/photopass.h"
#include "scan/rawfilepass.h"
#include "scan/scancontext.h"

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <string>

namespace salvyn {
namespace {

constexpr double kGeneralBoundPerGiB = 0.0;
constexpr double kThoroughBoundPerGiB = 5.0;
constexpr std::uint64_t kSectorsPerGiB = (1ull << 30) / kSectorSize;

// Every sector is a pure function of the seed and its number, so seeks read the same bytes.
class RandomSectorStream : public SectorStream {
public:
    RandomSectorStream(std::uint64_t seed, std::uint64_t sectors) : m_seed(seed), m_sectors(sectors) {}
    bool seekToSector(std::uint64_t sector) override
    {
        if (sector > m_sectors)
            return false;
        m_position = sector;
        return true;
    }
    std::size_t readSector(std::uint8_t* sector) override
    {
        if (m_position >= m_sectors)
            return 0;
        std::uint64_t state = m_seed ^ (m_position * 0x9E3779B97F4A7C15ull);
        for (std::size_t k = 0; k < kSectorSize; k += 8) {
            std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
            z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
            z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
            z ^= z >> 31;
            for (int b = 0; b < 8; ++b)
                sector[k + b] = static_cast<std::uint8_t>(z >> (8 * b));
        }
        ++m_position;
        return 1;
    }
    std::uint64_t sectorCount() const override { return m_sectors; }

private:
    std::uint64_t m_seed;
    std::uint64_t m_sectors;
    std::uint64_t m_position = 0;
};

class RandomMediumOpener : public SectorSourceOpener {
public:
    RandomMediumOpener(std::uint64_t seed, std::uint64_t sectors) : m_seed(seed), m_sectors(sectors) {}
    SectorSourceOpening open(const std::string&) override
    {
        return {std::make_unique<RandomSectorStream>(m_seed, m_sectors), {}};
    }

private:
    std::uint64_t m_seed;
    std::uint64_t m_sectors;
};

class CountingSink : public FoundFileSink {
public:
    void addImageWithDataAt(const std::string& name, const std::string&, std::uint64_t, std::uint64_t) override
    {
        ++filesByType[pathExtension(name)];
    }
    void addImageWithData_2(const std::string& name, const std::string&, std::uint64_t, std::uint64_t) override
    {
        ++filesByType[pathExtension(name)];
    }
    std::map<std::string, std::uint64_t> filesByType;
};

struct Finds {
    double perGiB = 0;
    std::string types; // "MP3 32, AAC 1", the worst first
};

class SilentHost : public ScanHost {
public:
    void passStarted(const std::string&, const std::string&) override {}
    void progressSetUp(std::uint64_t, std::uint64_t) override {}
    void deviceOpened() override {}
    void deviceOpenFailed(const SectorSourceError& error) override { std::cerr << error.message << '\n'; }
    void showReadError(std::uint64_t failed) override { std::cerr << failed << " sectors unreadable\n"; }
    void stopTicker() override {}
    void Final_or_Stop_Screen() override {}
};

// Files one pass starts on the random medium, with every type of its list ticked.
Finds countFinds(int mode, const SignatureList& list, std::uint64_t seed, std::uint64_t sectors, double gib)
{
    SearchRequest request;
    request.sourceIdentifier = "random";
    request.recoveryMode = mode;
    request.sectorCountText = std::to_string(sectors);
    request.generalList = list;
    SearchState state;
    SilentHost host;
    CountingSink sink;
    RandomMediumOpener opener(seed, sectors);
    ResultRows rows;
    ScanContext context{request, state, host, sink, opener, &rows};
    if (mode == 0)
        Photo_Recovey_Mode(context, "GEN");
    else
        Raw_File_Recovey_Mode(context, "GEN");
    std::multimap<std::uint64_t, std::string, std::greater<>> byCount;
    std::uint64_t total = 0;
    for (const auto& [type, count] : sink.filesByType) {
        byCount.emplace(count, type);
        total += count;
    }
    Finds finds{static_cast<double>(total) / gib, {}};
    for (const auto& [count, type] : byCount)
        finds.types += (finds.types.empty() ? "" : ", ") + type + " " + std::to_string(count);
    return finds;
}

} // namespace
} // namespace salvyn

int main(int argc, char** argv)
{
    using namespace salvyn;
    const double gib = argc > 1 ? std::atof(argv[1]) : 1.0;
    const std::uint64_t seed = argc > 2 ? std::strtoull(argv[2], nullptr, 0) : 20261206;
    if (gib <= 0) {
        std::cerr << "usage: salvyn-falsefinds [GIB [SEED]]\n";
        return 2;
    }
    const auto sectors = static_cast<std::uint64_t>(gib * kSectorsPerGiB);
    const SignatureLists lists = loadSignatureLists(findResourceFolder(), std::cerr);
    const struct {
        const char* mode;
        int number;
        const SignatureList& general;
        const SignatureList& thorough;
    } modes[] = {{"Photo", 0, lists.Ext_Array, lists.Adv_Ext_Array},
                 {"Video", 1, lists.Video_Array, lists.Adv_Video_Array},
                 {"Raw file", 2, lists.RawFile_Array, lists.Adv_RawFile_Array},
                 {"Audio", 3, lists.Audio_Array, lists.Adv_Audio_Array}};

    std::printf("False finds on %.2f GiB of random data (seed %llu), per GiB; bounds %.0f general, %.0f thorough\n",
                gib, static_cast<unsigned long long>(seed), kGeneralBoundPerGiB, kThoroughBoundPerGiB);
    bool withinBounds = true;
    for (const auto& mode : modes) {
        const Finds general = countFinds(mode.number, mode.general, seed, sectors, gib);
        const Finds thorough = countFinds(mode.number, mode.thorough, seed, sectors, gib);
        const bool ok = general.perGiB <= kGeneralBoundPerGiB && thorough.perGiB <= kThoroughBoundPerGiB;
        withinBounds = withinBounds && ok;
        std::printf("%-9s general %8.2f   thorough %8.2f   %s\n", mode.mode, general.perGiB, thorough.perGiB,
                    ok ? "ok" : "OVER");
        for (const Finds* finds : {&general, &thorough})
            if (!finds->types.empty())
                std::printf("          %s finds: %s\n", finds == &general ? "general" : "thorough",
                            finds->types.c_str());
    }
    return withinBounds ? 0 : 1;
}
