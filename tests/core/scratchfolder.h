#pragma once
// A fresh folder under the system's temporary folder, removed with everything in it
// when the test ends.
#include <sys/wait.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace salvyn::test {

class ScratchFolder {
public:
    ScratchFolder()
    {
        std::random_device seed;
        m_path = std::filesystem::temp_directory_path()
            / ("salvyn-test-" + std::to_string(seed()) + "-" + std::to_string(seed()));
        std::filesystem::create_directories(m_path);
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }

    // Writes `bytes` exactly as given to `name` inside the folder; returns its full path.
    std::string write(const std::string& name, std::string_view bytes) const
    {
        const auto file = m_path / name;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return file.string();
    }

private:
    std::filesystem::path m_path;
};

// The whole content of a file, as bytes.
inline std::vector<std::uint8_t> contentOf(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::string textOf(const std::filesystem::path& path)
{
    const auto bytes = contentOf(path);
    return {bytes.begin(), bytes.end()};
}

// A shell command's exit status and what it wrote, caught in files of `folder`.
struct CommandRun { int status; std::string out, err; };

inline CommandRun runCommand(const std::string& command, const ScratchFolder& folder)
{
    const auto out = folder.path() / "stdout", err = folder.path() / "stderr";
    const int status = std::system((command + " >" + out.string() + " 2>" + err.string()).c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, textOf(out), textOf(err)};
}

// The names in a folder, sorted.
inline std::vector<std::string> namesIn(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace salvyn::test
