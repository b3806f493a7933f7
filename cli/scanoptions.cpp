#include "cli/scanoptions.h"

#include "results/formatendtable.h"

#include <getopt.h>

#include <algorithm>
#include <sstream>

namespace salvyn {

namespace {

std::optional<int> modeNamed(const std::string& name)
{
    if (name == "photo")
        return 0;
    if (name == "video")
        return 1;
    if (name == "raw")
        return 2;
    if (name == "audio")
        return 3;
    return std::nullopt;
}

std::vector<std::string> commaSeparated(const std::string& text)
{
    std::vector<std::string> items;
    std::istringstream in(text);
    for (std::string item; std::getline(in, item, ',');)
        if (!item.empty())
            items.push_back(item);
    return items;
}

// "video", "photo,audio" or "all": the modes in search order, each once.
std::optional<std::vector<int>> modesNamed(const std::string& text)
{
    if (text == "all")
        return std::vector<int>{0, 1, 2, 3};
    std::vector<int> modes;
    for (const std::string& name : commaSeparated(text)) {
        const auto mode = modeNamed(name);
        if (!mode)
            return std::nullopt;
        modes.push_back(*mode);
    }
    std::sort(modes.begin(), modes.end());
    modes.erase(std::unique(modes.begin(), modes.end()), modes.end());
    if (modes.empty())
        return std::nullopt;
    return modes;
}

} // namespace

ParsedOptions parseScanOptions(const std::vector<std::string>& arguments)
{
    enum Option { Help = 'h', Version = 'V', ListTypes = 256, NoThorough, Mode, Types, Range, Out, Report };
    static const option kOptions[] = {
        {"help", no_argument, nullptr, Help},           {"list-types", no_argument, nullptr, ListTypes},
        {"no-thorough", no_argument, nullptr, NoThorough}, {"mode", required_argument, nullptr, Mode},
        {"types", required_argument, nullptr, Types},   {"range", required_argument, nullptr, Range},
        {"out", required_argument, nullptr, Out},       {"report", required_argument, nullptr, Report},
        {"version", no_argument, nullptr, Version},     {nullptr, 0, nullptr, 0}};
    // getopt_long works on a C argument vector, which it may reorder.
    std::vector<std::string> texts{"salvyn-scan"};
    texts.insert(texts.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& text : texts)
        argv.push_back(text.data());
    argv.push_back(nullptr);

    ParsedOptions parsed;
    ScanOptions& options = parsed.options;
    opterr = 0;
    optind = 0; // starts a fresh parse
    for (int found; (found = getopt_long(static_cast<int>(texts.size()), argv.data(), ":hV", kOptions, nullptr)) != -1;) {
        const std::string given = argv[optind - 1];
        switch (found) {
        case Help: options.help = true; break;
        case Version: options.version = true; break;
        case ListTypes: options.listTypes = true; break;
        case NoThorough: options.thorough = false; break;
        case Mode:
            if (const auto modes = modesNamed(optarg)) {
                options.recoveryModes = *modes;
                options.modeGiven = true;
                break;
            }
            parsed.error = "unknown mode '" + std::string(optarg) + "' (photo, video, raw, audio or all, or several "
                                                                    "separated by commas)";
            return parsed;
        case Types: options.types = commaSeparated(optarg); break;
        case Range: options.rangeText = optarg; break;
        case Out: options.outFolder = optarg; break;
        case Report: options.reportFile = optarg; break;
        case ':': parsed.error = given + " needs a value"; return parsed;
        default: parsed.error = "unknown option " + given; return parsed;
        }
    }
    if (options.help || options.version || options.listTypes)
        return parsed;
    if (texts.size() - static_cast<std::size_t>(optind) != 1) {
        parsed.error = static_cast<std::size_t>(optind) == texts.size() ? "no device or image given"
                                                                         : "give one device or image only";
        return parsed;
    }
    options.medium = argv[optind];
    return parsed;
}

// The types saved at their exact size, from the format-end table, wrapped to the help's
// right-hand column.
std::string exactSizeTypes()
{
    const std::string indent(21, ' ');
    std::string text = indent;
    std::size_t lineStart = 0;
    const auto rules = formatEndRules();
    for (std::size_t i = 0; i < rules.size(); ++i) {
        const std::string item = std::string(rules[i].type) + (i + 1 < rules.size() ? ", " : ".");
        if (text.size() - lineStart + item.size() > 88) {
            text.back() = '\n';
            lineStart = text.size();
            text += indent;
        }
        text += item;
    }
    return text + "\n";
}

std::string scanHelpText()
{
    return R"(Usage: salvyn-scan [OPTIONS] DEVICE_OR_IMAGE
  or:  salvyn-scan --list-types [--mode MODE]

Finds lost files on a memory card, USB stick, disk or disk image by the signatures of
their first sectors, reading the medium sector by sector and never writing to it. The
medium is read once, however many modes and passes the search takes.

DEVICE_OR_IMAGE  a device name (sdb1, mmcblk0p1), a device path (/dev/sdb1) or a disk
                 image file.

Options:
  --mode MODE        what to look for: photo (default), video, raw or audio; several
                     separated by commas (photo,video), or all. Each mode is printed,
                     counted and saved as if it had been searched alone.
  --types T1,T2,...  only these file types (extensions such as JPG,MOV); default: every
                     type of the mode. Letter case does not matter.
  --no-thorough      run the general search only; by default a thorough search with the
                     second signature list follows it.
  --range START:END  search sectors START to END-1 only (512-byte sectors); default: the
                     whole medium.
  --out DIR          write every found file into DIR (created if missing) once the search
                     is over; with several modes into a subfolder per mode (photo, video,
                     raw, audio), a file found by several modes into the first one's only.
                     A file is written as long as its own format says, else up to the next
                     file found, else as the sectors of its range, and never longer than
                     its type allows; a header matched by chance is kept short. These
                     types are written at their exact size when they are whole:
)" + exactSizeTypes()
           + R"(                     Existing files are never replaced: a taken name gets -2, -3, ...
                     A folder on the medium being scanned is refused, and nothing is made
                     there.
  --report FILE      add a tab-separated line per found file to FILE (a new FILE starts
                     with a header line): name, type, first sector, end sector, bytes
                     written, SHA-256, how the length was decided (format, next file,
                     range or cap) and the medium. With --out only the files written are
                     listed. A FILE on the medium being scanned, or the medium itself, is
                     refused.
  --list-types       print the file types each mode finds in its general and thorough
                     search, with their descriptions, and scan nothing; with --mode,
                     those modes' only.
  -h, --help         show this help.
  -V, --version      show the version.

Each found file is printed with its type and its sectors (first included, end excluded),
then a count per type. On a terminal a progress line shows the percentage, the sectors
read, the speed and the time left. Ctrl-C stops the search; what was found so far is kept.

Reading a device needs read access to it: run as root or as a member of the disk group.

Exit status: 0 success; 1 some sectors could not be read or a found file could not be
written; 2 bad usage or a medium that cannot be opened; 130 stopped with Ctrl-C.
)";
}

} // namespace salvyn
