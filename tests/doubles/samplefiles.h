#pragma once
// Real sample files of every type the signature lists name, from the one recipe list in
// tests/data/samplefiles.txt: made by Debian's encoders where one writes the format, else
// built from the format's leading structure followed by filler, or built whole. Each is made
// once per run.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace salvyn::test {

struct SampleRecipe {
    std::string name;     // names the test case
    int mode = 0;         // 0 photo, 1 video, 2 raw file, 3 audio
    std::string type;     // the type a search gives the file
    std::string pass;     // "GEN" or "THD": the pass whose list finds it
    std::string tools;    // programs or files the command needs, separated by blanks
    std::string command;  // run in an empty folder; writes `file`
    std::string file;
    std::vector<std::uint8_t> leadingBytes;  // a built sample's: no command
    bool wholeFile = false;                  // a built sample whose bytes are the complete file
};

std::span<const SampleRecipe> allSampleRecipes();
// The real files among them whose type has a format end, made by an encoder or built
// whole: what format-end suites test.
std::span<const SampleRecipe> sampleRecipes();
const SampleRecipe& recipeNamed(std::string_view name);

struct Sample {
    std::vector<std::uint8_t> bytes;
    std::string skipReason;  // why there is no sample; empty when made
    bool encoderMissing = false;  // no sample because a tool is not installed, not because one failed
};

const Sample& sampleFor(const SampleRecipe& recipe);

// Runs a shell command in a fresh folder and answers the bytes of the file it writes, or
// the reason it could not.
Sample runEncoder(const std::string& tools, const std::string& command, const std::string& file = "out");

// Bytes that hold no header of any list at any position.
std::vector<std::uint8_t> fillerBytes(std::size_t count);

// `beforeSectors` junk sectors, the file, zeros to the next sector start, `gapSectors` of
// free space, `follower`, then two free sectors.
std::vector<std::uint8_t> layOut(std::size_t beforeSectors, const std::vector<std::uint8_t>& file,
                                 std::size_t gapSectors, const std::vector<std::uint8_t>& follower);

} // namespace salvyn::test
