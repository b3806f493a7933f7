#pragma once
// Whom saved files belong to. Run as root through sudo or pkexec, the person who asked for
// the recovery is the invoking user, not root; what is made for them is handed to that
// user so they can open it. Run any other way, files stay with whoever runs us.
#include <optional>
#include <sys/types.h>

namespace salvyn {

struct FileOwner {
    uid_t uid;
    gid_t gid;
};

// The invoking user of a process running as `effectiveUid`, from the values of SUDO_UID and
// SUDO_GID, or else of PKEXEC_UID (whose primary group `groupOf` answers); null
// pointers for unset variables.
std::optional<FileOwner> invokingUser(uid_t effectiveUid, const char* sudoUid, const char* sudoGid, const char* pkexecUid,
                                      std::optional<gid_t> (*groupOf)(uid_t));

// The same for this process, looked up once.
const std::optional<FileOwner>& invokingUserOfThisProcess();

// Hands a file or folder just made to the invoking user, when there is one. File systems
// without owners of their own (FAT) refuse, and keep the owner their mount gives instead.
void handToInvokingUser(int fileDescriptor);

} // namespace salvyn
