#include "scan/naming.h"

#include "results/resultrows.h"

namespace salvyn {
namespace {

std::string numberedName(std::string_view prefix, std::uint64_t number, std::string_view extension)
{
    std::string name(prefix);
    const std::string digits = std::to_string(number);
    if (digits.size() < 5)
        name.append(5 - digits.size(), '0');
    name += digits;
    name += '.';
    name += extension;
    return name;
}

} // namespace

std::string Generate_File_Name(std::uint64_t count, std::string_view prefix, std::string_view extension,
                               int recoveryMode, const ResultRows* rows)
{
    if (recoveryMode != 0 && rows != nullptr) {
        if (const auto found = rows->noOfFileFor(prefix))
            count = *found + 1;
    }
    return numberedName(prefix, count, extension);
}

std::string Generate_File_UID_Num(std::uint64_t number, bool thorough, std::string_view extension)
{
    return numberedName(thorough ? "THD" : "GND", number, extension);
}

std::string pathExtension(std::string_view name)
{
    const auto slash = name.rfind('/');
    const std::string_view fileName = slash == std::string_view::npos ? name : name.substr(slash + 1);
    const auto dot = fileName.rfind('.');
    return dot == std::string_view::npos ? std::string() : std::string(fileName.substr(dot + 1));
}

} // namespace salvyn
