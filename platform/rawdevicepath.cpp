#include "platform/rawdevicepath.h"

#include <algorithm>

namespace salvyn {

namespace {
bool isDeviceNameCharacter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '_'
        || c == ':' || c == '-';
}
} // namespace

std::optional<std::string> rawDevicePath(std::string_view identifierOrPath)
{
    if (identifierOrPath.empty())
        return std::nullopt;
    if (identifierOrPath.front() == '/')
        return std::string(identifierOrPath);
    if (identifierOrPath == "." || identifierOrPath == ".."
        || !std::all_of(identifierOrPath.begin(), identifierOrPath.end(), isDeviceNameCharacter))
        return std::nullopt;
    return "/dev/" + std::string(identifierOrPath);
}

} // namespace salvyn
