#include "cli/scanoptions.h"

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

} // namespace

ParsedOptions parseScanOptions(const std::vector<std::string>& arguments)
{
    ParsedOptions parsed;
    ScanOptions& options = parsed.options;
    std::vector<std::string> media;
    for (std::size_t k = 0; k < arguments.size(); ++k) {
        const std::string& argument = arguments[k];
        const auto value = [&]() -> std::optional<std::string> {
            if (k + 1 < arguments.size())
                return arguments[++k];
            parsed.error = argument + " needs a value";
            return std::nullopt;
        };
        if (argument == "--help" || argument == "-h") {
            options.help = true;
        } else if (argument == "--version" || argument == "-V") {
            options.version = true;
        } else if (argument == "--list-types") {
            options.listTypes = true;
        } else if (argument == "--no-thorough") {
            options.thorough = false;
        } else if (argument == "--mode") {
            const auto name = value();
            if (!name)
                return parsed;
            const auto mode = modeNamed(*name);
            if (!mode) {
                parsed.error = "unknown mode '" + *name + "' (photo, video, raw or audio)";
                return parsed;
            }
            options.recoveryMode = *mode;
            options.modeGiven = true;
        } else if (argument == "--types" || argument == "--range" || argument == "--out" || argument == "--report") {
            const auto text = value();
            if (!text)
                return parsed;
            if (argument == "--types")
                options.types = commaSeparated(*text);
            else if (argument == "--range")
                options.rangeText = *text;
            else if (argument == "--out")
                options.outFolder = *text;
            else
                options.reportFile = *text;
        } else if (argument.size() > 1 && argument[0] == '-') {
            parsed.error = "unknown option " + argument;
            return parsed;
        } else {
            media.push_back(argument);
        }
    }
    if (options.help || options.version || options.listTypes)
        return parsed;
    if (media.size() != 1) {
        parsed.error = media.empty() ? "no device or image given" : "give one device or image only";
        return parsed;
    }
    options.medium = media.front();
    return parsed;
}

std::string scanHelpText()
{
    return R"(Usage: salvyn-scan [OPTIONS] DEVICE_OR_IMAGE
       salvyn-scan --list-types [--mode MODE]

Finds lost files on a memory card, USB stick, disk or disk image by the signatures of
their first sectors, reading the medium sector by sector and never writing to it.

DEVICE_OR_IMAGE  a device name (sdb1, mmcblk0p1), a device path (/dev/sdb1) or a disk
                 image file.

Options:
  --mode MODE        what to look for: photo (default), video, raw or audio.
  --types T1,T2,...  only these file types (extensions such as JPG,MOV); default: every
                     type of the mode. Letter case does not matter.
  --no-thorough      run the general search only; by default a thorough search with the
                     second signature list follows it.
  --range START:END  search sectors START to END-1 only (512-byte sectors); default: the
                     whole medium.
  --out DIR          write every found file into DIR (created if missing) once the search
                     is over. A file is written as long as its own format says when it
                     says (JPEG, PNG, GIF, BMP, WEBP, AVI, WAV, AIFF, MP4, MOV, HEIC, CR3,
                     MKV, WEBM, FLV, OGG, OPUS, MPG, VOB, TS, PDF, ZIP and Office files,
                     SQLITE, RAR 5, 7Z), else up to the next file found, else as the sectors
                     of its range. Existing files are never replaced: a taken name gets
                     -2, -3, ... A folder on the medium being scanned is refused.
  --report FILE      add a tab-separated line per found file to FILE (a new FILE starts
                     with a header line): name, type, first sector, end sector, bytes
                     written, SHA-256, how the length was decided (format, next file or
                     range) and the medium. With --out only the files written are listed.
  --list-types       print the file types each mode finds in its general and thorough
                     search, with their descriptions, and scan nothing; with --mode,
                     that mode's only.
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
