#pragma once
// Test media for format ends: an in-memory medium that remembers how far it was read,
// and real sample files made by Debian's encoders (ffmpeg, ImageMagick, sox, zip,
// sqlite3, 7z, ghostscript) once per test run.
#include "results/bytereader.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace salvyn::test {

class MemoryMedium : public ByteReader {
public:
    explicit MemoryMedium(std::vector<std::uint8_t> bytes) : m_bytes(std::move(bytes)) {}
    std::size_t readAt(std::uint64_t byteOffset, std::uint8_t* out, std::size_t size) override;
    // One past the furthest byte any read asked for (served or not).
    std::uint64_t furthestAsked() const { return m_furthestAsked; }
    void forgetReads() { m_furthestAsked = 0; }
    const std::vector<std::uint8_t>& bytes() const { return m_bytes; }

private:
    std::vector<std::uint8_t> m_bytes;
    std::uint64_t m_furthestAsked = 0;
};

struct SampleRecipe {
    std::string name;     // test name
    std::string type;     // signature-list type name
    std::string tools;    // programs the command needs, separated by blanks
    std::string command;  // run in an empty folder; writes the file "out"
};

std::span<const SampleRecipe> sampleRecipes();
// The recipe of that test name; every name used by a test exists.
const SampleRecipe& recipeNamed(std::string_view name);

struct Sample {
    std::vector<std::uint8_t> bytes;
    std::string skipReason;  // why there is no sample (a missing encoder); empty when made
    bool encoderMissing = false;  // no sample because a tool is not installed, not because one failed
};

// The recipe's sample, made on first use and kept for the rest of the run.
const Sample& sampleFor(const SampleRecipe& recipe);

// Runs a shell command in a fresh folder and answers the bytes of its file "out", or
// the reason it could not. A tool is a program on PATH or the absolute path of a file.
Sample runEncoder(const std::string& tools, const std::string& command);

// `before` junk sectors, the file, zeros to the next sector start, `gapSectors` of free
// space, `follower`, then two free sectors.
std::vector<std::uint8_t> layOut(std::size_t beforeSectors, const std::vector<std::uint8_t>& file,
                                 std::size_t gapSectors, const std::vector<std::uint8_t>& follower);

} // namespace salvyn::test
