#include "results/invokinguser.h"

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace salvyn {
namespace {

std::optional<unsigned long> idFrom(const char* text)
{
    if (!text || !*text)
        return std::nullopt;
    unsigned long id = 0;
    const char* end = text + std::strlen(text);
    const auto [stop, error] = std::from_chars(text, end, id);
    if (error != std::errc() || stop != end || id == static_cast<unsigned long>(static_cast<uid_t>(-1)))
        return std::nullopt;
    return id;
}

std::optional<gid_t> primaryGroupOf(uid_t uid)
{
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) != 0 || !found)
        return std::nullopt;
    return found->pw_gid;
}

} // namespace

std::optional<FileOwner> invokingUser(uid_t effectiveUid, const char* sudoUid, const char* sudoGid, const char* pkexecUid,
                                      std::optional<gid_t> (*groupOf)(uid_t))
{
    if (effectiveUid != 0)
        return std::nullopt;
    const auto uid = idFrom(sudoUid);
    const auto gid = idFrom(sudoGid);
    if (uid && gid)
        return FileOwner{static_cast<uid_t>(*uid), static_cast<gid_t>(*gid)};
    if (const auto pkexec = idFrom(pkexecUid)) {
        if (const auto group = groupOf(static_cast<uid_t>(*pkexec)))
            return FileOwner{static_cast<uid_t>(*pkexec), *group};
    }
    return std::nullopt;
}

const std::optional<FileOwner>& invokingUserOfThisProcess()
{
    static const std::optional<FileOwner> owner = invokingUser(
        ::geteuid(), std::getenv("SUDO_UID"), std::getenv("SUDO_GID"), std::getenv("PKEXEC_UID"), primaryGroupOf);
    return owner;
}

void handToInvokingUser(int fileDescriptor)
{
    if (const auto& owner = invokingUserOfThisProcess())
        static_cast<void>(::fchown(fileDescriptor, owner->uid, owner->gid));
}

} // namespace salvyn
