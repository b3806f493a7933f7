#pragma once
// A writer that writes for real until a chosen point and then fails as a full disk or a
// refused folder would, which no ordinary test folder does on demand.
#include "results/savewriter.h"

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <limits>

namespace salvyn::test {

class FailingWriter final : public SaveWriter {
public:
    std::uint64_t bytesAllowed = std::numeric_limits<std::uint64_t>::max(); // in all; writes beyond fail with ENOSPC
    int createError = 0;                                                   // set: every file creation fails with it

    int create(const std::filesystem::path& path) override
    {
        return createError != 0 ? -createError : fileSystemWriter().create(path);
    }
    int write(int file, std::span<const std::uint8_t> bytes) override
    {
        if (m_bytesWritten + bytes.size() > bytesAllowed)
            return ENOSPC;
        m_bytesWritten += bytes.size();
        return fileSystemWriter().write(file, bytes);
    }
    int close(int file) override { return fileSystemWriter().close(file); }
    int renameNew(const std::filesystem::path& from, const std::filesystem::path& to) override
    {
        return fileSystemWriter().renameNew(from, to);
    }
    void remove(const std::filesystem::path& path) override { fileSystemWriter().remove(path); }

private:
    std::atomic<std::uint64_t> m_bytesWritten{0};
};

} // namespace salvyn::test
