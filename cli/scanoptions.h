#pragma once
// The command line of salvyn-scan.
#include <optional>
#include <string>
#include <vector>

namespace salvyn {

struct ScanOptions {
    std::vector<int> recoveryModes{0};   // 0 photo, 1 video, 2 raw, 3 audio; in that order, each once
    std::vector<std::string> types;       // empty: every type of the mode
    bool thorough = true;
    std::optional<std::string> rangeText; // "START:END"
    std::optional<std::string> outFolder;
    std::optional<std::string> reportFile;
    std::string medium;
    bool help = false;
    bool version = false;
    bool listTypes = false;               // print the types of the lists instead of scanning
    bool modeGiven = false;               // --mode was on the command line
};

struct ParsedOptions {
    ScanOptions options;
    std::string error; // non-empty on bad usage
};

ParsedOptions parseScanOptions(const std::vector<std::string>& arguments);

std::string scanHelpText();

} // namespace salvyn
