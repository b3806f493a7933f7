#include "sampleencoder.h"

#include <cstdlib>
#include <sys/wait.h>
#include <fstream>
#include <iterator>
#include <sstream>
#include <unistd.h>

namespace salvyn::test {

std::optional<std::string> findProgram(const std::string& program)
{
    const char* path = std::getenv("PATH");
    std::istringstream folders(path ? path : "/usr/bin:/bin");
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        const auto candidate = (std::filesystem::path(folder.empty() ? "." : folder) / program).string();
        if (::access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return std::nullopt;
}

bool runInFolder(const std::filesystem::path& folder, const std::string& command)
{
    const std::string line = "cd '" + folder.string() + "' && (" + command + ") </dev/null >/dev/null 2>&1";
    const int status = std::system(line.c_str());
    return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::optional<std::vector<std::uint8_t>> readFileBytes(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (bytes.empty())
        return std::nullopt;
    return bytes;
}

} // namespace salvyn::test
