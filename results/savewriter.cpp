#include "results/savewriter.h"

#include "results/invokinguser.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace salvyn {

namespace {

class FileSystemWriter final : public SaveWriter {
public:
    int create(const std::filesystem::path& path) override
    {
        // With the user's usual permissions (the umask decides), and theirs to open.
        const int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (file < 0)
            return -errno;
        handToInvokingUser(file);
        return file;
    }

    int write(int file, std::span<const std::uint8_t> bytes) override
    {
        for (std::size_t done = 0; done < bytes.size();) {
            const ssize_t wrote = ::write(file, bytes.data() + done, bytes.size() - done);
            if (wrote < 0 && errno == EINTR)
                continue;
            if (wrote < 0)
                return errno;
            if (wrote == 0)
                return ENOSPC;
            done += static_cast<std::size_t>(wrote);
        }
        return 0;
    }

    // Some file systems (network ones, delayed allocation) tell of a full disk only when
    // the data is forced out, so a file counts as saved only after that.
    int close(int file) override
    {
        int error = ::fsync(file) == 0 || errno == EINVAL ? 0 : errno;
        if (::close(file) != 0 && error == 0 && errno != EINTR)
            error = errno;
        return error;
    }

    int renameNew(const std::filesystem::path& from, const std::filesystem::path& to) override
    {
        if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
            return 0;
        if (errno != EINVAL && errno != ENOSYS)
            return errno;
        // A file system without the no-replace rename: a hard link never replaces either.
        if (::link(from.c_str(), to.c_str()) == 0) {
            ::unlink(from.c_str());
            return 0;
        }
        if (errno != EPERM && errno != ENOTSUP)
            return errno;
        // Nor links (FAT): look first, accepting the short window between look and rename.
        struct stat existing {};
        if (::lstat(to.c_str(), &existing) == 0)
            return EEXIST;
        return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
    }

    void remove(const std::filesystem::path& path) override { ::unlink(path.c_str()); }
};

} // namespace

SaveWriter& fileSystemWriter()
{
    static FileSystemWriter writer;
    return writer;
}

} // namespace salvyn
