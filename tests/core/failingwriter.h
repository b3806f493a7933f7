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
    // Writes fail with `writeError` once more than `bytesAllowed` bytes would be written in all.
    void failWritesAfter(std::uint64_t bytesAllowed, int writeError = ENOSPC)
    {
        m_bytesAllowed = bytesAllowed;
        m_writeError = writeError;
    }
    // Every file creation fails with `error`.
    void failCreates(int error) { m_createError = error; }

    int create(const std::filesystem::path& path) override
    {
        return m_createError != 0 ? -m_createError : fileSystemWriter().create(path);
    }
    int write(int file, std::span<const std::uint8_t> bytes) override
    {
        if (m_bytesWritten + bytes.size() > m_bytesAllowed)
            return m_writeError;
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
    std::uint64_t m_bytesAllowed = std::numeric_limits<std::uint64_t>::max();
    int m_writeError = ENOSPC;
    int m_createError = 0;
};

} // namespace salvyn::test
