#pragma once
// Sample files of every type the signature lists name: made by a Debian encoder where one
// exists, otherwise built here from the leading structure the format's published
// description gives, followed by filler that holds no header.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace salvyn::test {

struct SampleFile {
    std::string label;    // names the test case
    int mode;             // 0 photo, 1 video, 2 raw file, 3 audio
    std::string type;     // the type a search must give the file
    std::string pass;     // "GEN" or "THD": the pass whose list finds it
    // Made by an encoder: the program that must be on PATH, or an absolute path of a file
    // the command copies, and the command run in a scratch folder that writes `output`.
    std::string requirement;
    std::string command;
    std::string output;
    // Optional change to the encoder's output (a JPEG given another first segment).
    std::function<std::vector<std::uint8_t>(std::vector<std::uint8_t>)> adjust;
    // Built here: the file's leading bytes as hexadecimal (blanks allowed) when there is no
    // encoder; the file is these bytes and filler up to three sectors.
    std::string leadingHex;
};

std::vector<SampleFile> allSampleFiles();

// Bytes that hold no header of any list at any position: odd values below 0x91,
// the same in every sector, starting 0x11.
std::vector<std::uint8_t> fillerBytes(std::size_t count);

// A built sample's bytes.
std::vector<std::uint8_t> builtSampleBytes(const SampleFile& sample);

} // namespace salvyn::test
