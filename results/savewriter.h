#pragma once
// How saved files reach their folder. The real writer uses the file system; the tests put
// one in its place that runs out of space or is refused, which no ordinary folder does on
// demand. Every answer is 0 or an errno value. One writer may serve several threads.
#include <cstdint>
#include <filesystem>
#include <span>

namespace salvyn {

class SaveWriter {
public:
    virtual ~SaveWriter() = default;

    // Creates `path` new and empty for writing, never replacing a file or following a link.
    // Answers the open file's descriptor, or minus the errno value.
    virtual int create(const std::filesystem::path& path) = 0;
    // Writes all of `bytes` at the end of the file.
    virtual int write(int file, std::span<const std::uint8_t> bytes) = 0;
    // Puts the data on the disk and closes the file; the descriptor is gone either way.
    virtual int close(int file) = 0;
    // Gives `from` the name `to` unless `to` exists (EEXIST then).
    virtual int renameNew(const std::filesystem::path& from, const std::filesystem::path& to) = 0;
    virtual void remove(const std::filesystem::path& path) = 0;
};

// The writer of the running system, shared by everyone.
SaveWriter& fileSystemWriter();

} // namespace salvyn
