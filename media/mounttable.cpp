#include "media/mounttable.h"

#include <fstream>
#include <iterator>
#include <string>

namespace salvyn {
namespace {

std::vector<std::string_view> fields(std::string_view line)
{
    std::vector<std::string_view> found;
    std::size_t start = 0;
    while (start < line.size()) {
        const std::size_t end = line.find(' ', start);
        const std::size_t stop = end == std::string_view::npos ? line.size() : end;
        if (stop > start)
            found.push_back(line.substr(start, stop - start));
        start = stop + 1;
    }
    return found;
}

bool isOctalDigit(char c)
{
    return c >= '0' && c <= '7';
}

// The kernel writes space, tab, newline and backslash in paths as "\ooo".
std::string unescaped(std::string_view field)
{
    std::string text;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && isOctalDigit(field[i + 1]) && isOctalDigit(field[i + 2])
            && isOctalDigit(field[i + 3])) {
            text.push_back(static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0')));
            i += 3;
        } else {
            text.push_back(field[i]);
        }
    }
    return text;
}

} // namespace

std::vector<MountedVolume> parseMountInfo(std::string_view text)
{
    std::vector<MountedVolume> table;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        // ID PARENT MAJ:MIN ROOT MOUNTPOINT OPTIONS [OPTIONAL…] - FSTYPE SOURCE SUPEROPTIONS
        const std::vector<std::string_view> parts = fields(line);
        std::size_t separator = 6;
        while (separator < parts.size() && parts[separator] != "-")
            ++separator;
        if (parts.size() < 6 || separator + 2 >= parts.size())
            continue;
        table.push_back({unescaped(parts[4]), unescaped(parts[separator + 2])});
    }
    return table;
}

std::vector<MountedVolume> readMountTable()
{
    std::ifstream file("/proc/self/mountinfo");
    const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    return parseMountInfo(text);
}

} // namespace salvyn
