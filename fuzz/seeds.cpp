// Writes the harnesses' seed inputs, one folder per harness, from the sample files the
// test suites make with Debian's encoders and from the signature lists:
//
//   salvyn-fuzz-seeds OUTPUT_FOLDER SIGNATURE_LIST_FOLDER
//
// Samples whose encoder is missing are left out; the committed corpus still seeds them.
#include "doubles/samplefiles.h"
#include "formatendwalk.h"
#include "platform/sectorstream.h"
#include "results/formatendchecksums.h"
#include "results/formatendtable.h"
#include "scan/headermatcher.h"
#include "signatures/signaturelist.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

namespace {

using Bytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

constexpr std::array kListFiles = {"ZephExt2.dll", "ZephExt2Adv.dll", "ZephVideo.dll", "ZephVideoAdv.dll",
                                   "ZephRaw.dll",  "ZephRawAdv.dll",  "ZephAudio.dll", "ZephAudioAdv.dll"};
// The checksums need no structure; a few kilobytes of real files are enough to start from.
constexpr std::size_t kChecksumSeedBytes = 1024;

void writeFile(const fs::path& path, const Bytes& bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes le32(std::uint32_t v) { return {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)}; }

// No RAR 5 encoder is free software: a small archive laid out by hand, with a main
// header, one stored file and the end-of-archive block.
Bytes rar5Archive()
{
    auto block = [](Bytes header, const Bytes& data) {
        Bytes sized = Bytes{std::uint8_t(header.size())} + header;
        return le32(salvyn::crc32(sized.data(), sized.size())) + sized + data;
    };
    const std::string signature("Rar!\x1A\x07\x01\x00", 8);
    return Bytes(signature.begin(), signature.end()) + block({1, 0, 0}, {})
        + block(Bytes{2, 0x02, 0xAC, 0x02, 0, 0, 0, 0, 0, 0}, Bytes(300, 0x5A)) + block({5, 0, 0}, {});
}

// Many %%EOF whose trailers all point at one place more than a read window behind them;
// too large to keep in the corpus, so made here.
Bytes pdfWithFarTrailers()
{
    std::string pdf = "%PDF-1.4\n1 0 obj\n" + std::string(70000, 'a');
    for (int i = 0; i < 300; ++i)
        pdf += "\nstartxref\n5\n%%EOF\n";
    return Bytes(pdf.begin(), pdf.end());
}

std::string familyOf(const std::string& type)
{
    const salvyn::FormatEndRule* rule = salvyn::formatEndRuleFor(type);
    for (const auto& family : salvyn::fuzz::formatEndFamilies())
        if (rule != nullptr && std::find(family.ends.begin(), family.ends.end(), rule->end) != family.ends.end())
            return std::string(family.name);
    return {};
}

// A header-matcher input: the sector, then the list's entries one a line.
Bytes matcherInput(const Bytes& sector, const salvyn::SignatureList& list)
{
    Bytes input = sector;
    for (const std::string& entry : list) {
        input.insert(input.end(), entry.begin(), entry.end());
        input.push_back('\n');
    }
    return input;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: salvyn-fuzz-seeds OUTPUT_FOLDER SIGNATURE_LIST_FOLDER\n";
        return 2;
    }
    const fs::path out = argv[1];
    const fs::path lists = argv[2];

    std::vector<Bytes> sectors{Bytes(salvyn::kSectorSize, 0)};
    for (const salvyn::test::SampleRecipe& recipe : salvyn::test::sampleRecipes()) {
        const salvyn::test::Sample& sample = salvyn::test::sampleFor(recipe);
        if (!sample.skipReason.empty()) {
            std::cout << "no " << recipe.name << " seed: " << sample.skipReason << "\n";
            continue;
        }
        if (const std::string family = familyOf(recipe.type); !family.empty())
            writeFile(out / family / recipe.name, sample.bytes);
        if (recipe.type == "JPG" || recipe.type == "TIF" || recipe.type == "MP4" || recipe.type == "MOV")
            writeFile(out / "capturedetails" / recipe.name, sample.bytes);
        if (recipe.name == "Zip" || recipe.name == "Ogg" || recipe.name == "SevenZip")
            writeFile(out / "formatendchecksums" / recipe.name,
                      Bytes(sample.bytes.begin(), sample.bytes.begin() + std::min(sample.bytes.size(), kChecksumSeedBytes)));
        Bytes sector(sample.bytes.begin(), sample.bytes.begin() + std::min(sample.bytes.size(), salvyn::kSectorSize));
        sector.resize(salvyn::kSectorSize, 0);
        sectors.push_back(std::move(sector));
    }
    // Sounds with a cover in each kind of tags.
    const std::string withCover = "ffmpeg -v error -f lavfi -i testsrc=size=32x32 -frames:v 1 c.png && ffmpeg -v error "
                                  "-f lavfi -i sine=duration=0.1 -i c.png -map 0 -map 1 -c:v png "
                                  "-disposition:v attached_pic ";
    for (const char* format : {"mp3", "flac", "ipod"})
        if (const salvyn::test::Sample sound = salvyn::test::runEncoder("ffmpeg", withCover + "-f " + format + " out");
            sound.skipReason.empty())
            writeFile(out / "coverpicture" / format, sound.bytes);
    writeFile(out / "formatendarchives" / "Rar5", rar5Archive());
    writeFile(out / "formatenddocuments" / "PdfFarTrailers", pdfWithFarTrailers());

    for (const char* name : kListFiles) {
        std::ifstream in(lists / name, std::ios::binary);
        writeFile(out / "signaturelist" / name, Bytes(std::istreambuf_iterator<char>(in), {}));
        std::ostringstream warnings;
        const salvyn::SignatureList list = salvyn::loadSignatureList((lists / name).string(), warnings);
        const salvyn::HeaderMatcher matcher(list);
        // Each list with an empty sector and with every sample's first sector it knows.
        for (std::size_t i = 0; i < sectors.size(); ++i)
            if (i == 0 || matcher.firstMatch(sectors[i].data()) != salvyn::HeaderMatcher::kNoMatch)
                writeFile(out / "headermatcher" / (std::string(name) + "-" + std::to_string(i)), matcherInput(sectors[i], list));
    }
    return 0;
}
