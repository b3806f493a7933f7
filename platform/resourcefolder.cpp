#include "platform/resourcefolder.h"

#include <system_error>

namespace salvyn {
namespace {

bool isFolder(const std::filesystem::path& path)
{
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}

std::filesystem::path runningProgram()
{
    std::error_code error;
    auto program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : program;
}

} // namespace

std::string resourceFolderFor(const std::filesystem::path& programFile, const std::vector<std::string>& fallbacks)
{
    // The running program's path is already free of links, so ".." may be folded away as text.
    const auto besideProgram = (programFile.parent_path() / ".." / "share" / "salvyn").lexically_normal();
    if (!programFile.empty() && isFolder(besideProgram))
        return besideProgram.string();
    for (const std::string& fallback : fallbacks) {
        if (isFolder(fallback))
            return fallback;
    }
    return besideProgram.string();
}

std::string findResourceFolder()
{
    return resourceFolderFor(runningProgram(), {"/usr/share/salvyn", "/usr/local/share/salvyn"});
}

} // namespace salvyn
