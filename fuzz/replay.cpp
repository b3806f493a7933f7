// The main of a harness in the ordinary builds, where libFuzzer is not at hand: runs the
// harness over every file of the given corpus folders, then over a fixed number of
// mutations of them. The mutations come from a seeded generator, so every run replays
// the same inputs. When an input fails, it is written to "failed-input" in the working
// folder, ready to join the corpus as a regression case.
//
//   <harness> [--mutations=N] FILE_OR_FOLDER...
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
extern "C" void __sanitizer_set_death_callback(void (*callback)()) __attribute__((weak));

namespace {

using Bytes = std::vector<std::uint8_t>;

// Numbers that size and count fields are most often broken into.
constexpr std::uint32_t kHostileWords[] = {0, 1, 7, 8, 0x7F, 0xFF, 0x7FFF, 0xFFFF, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFE, 0xFFFFFFFF};

// What is being replayed, kept where a dying process can still reach it.
const Bytes* g_input = nullptr;
char g_inputName[512] = "";

void writeText(const char* text) { [[maybe_unused]] auto n = write(STDERR_FILENO, text, std::strlen(text)); }

// Async-signal-safe: only write(2) and open(2).
void saveFailingInput()
{
    writeText("replay: failed on ");
    writeText(g_inputName);
    writeText("; written to failed-input\n");
    if (g_input == nullptr)
        return;
    const int fd = open("failed-input", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return;
    [[maybe_unused]] auto n = write(fd, g_input->data(), g_input->size());
    close(fd);
}

void onFatalSignal(int signal)
{
    saveFailingInput();
    ::signal(signal, SIG_DFL);
    raise(signal);
}

void run(const Bytes& input, const std::string& name)
{
    g_input = &input;
    std::snprintf(g_inputName, sizeof g_inputName, "%s", name.c_str());
    LLVMFuzzerTestOneInput(input.data(), input.size());
    g_input = nullptr;
}

std::vector<std::filesystem::path> corpusFiles(const std::vector<std::string>& places)
{
    std::vector<std::filesystem::path> files;
    for (const std::string& place : places) {
        if (std::filesystem::is_regular_file(place)) {
            files.emplace_back(place);
        } else if (std::filesystem::is_directory(place)) {
            for (const auto& entry : std::filesystem::recursive_directory_iterator(place))
                if (entry.is_regular_file())
                    files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

Bytes fileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// One change of the kinds that break parsers: flipped bits, a byte or a hostile number
// written, the input cut short, a stretch copied over another, repeated or removed.
void mutate(Bytes& bytes, std::mt19937_64& random)
{
    if (bytes.empty()) {
        bytes.push_back(static_cast<std::uint8_t>(random()));
        return;
    }
    auto offset = [&](std::size_t span) {
        // Headers sit at the front; half the changes go to the first 64 bytes.
        const std::size_t range = std::max<std::size_t>(1, (random() & 1) ? std::min<std::size_t>(span, 64) : span);
        return static_cast<std::size_t>(random() % range);
    };
    switch (random() % 7) {
    case 0:
        bytes[offset(bytes.size())] ^= static_cast<std::uint8_t>(1u << (random() % 8));
        break;
    case 1:
        bytes[offset(bytes.size())] = static_cast<std::uint8_t>(random());
        break;
    case 2: {
        const std::uint32_t word = kHostileWords[random() % std::size(kHostileWords)];
        const std::size_t width = std::size_t{1} << (random() % 3);  // 1, 2 or 4 bytes
        const bool bigEndian = random() & 1;
        const std::size_t at = offset(bytes.size());
        for (std::size_t i = 0; i < width && at + i < bytes.size(); ++i)
            bytes[at + i] = static_cast<std::uint8_t>(word >> (8 * (bigEndian ? width - 1 - i : i)));
        break;
    }
    case 3:
        bytes.resize(1 + random() % bytes.size());
        break;
    case 4: {
        const std::size_t from = random() % bytes.size(), to = random() % bytes.size();
        const std::size_t length = std::min<std::size_t>(random() % 256, bytes.size() - std::max(from, to));
        std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(from), length, bytes.begin() + static_cast<std::ptrdiff_t>(to));
        break;
    }
    case 5: {
        // Repeated boxes, pages, chunks and lines.
        const std::size_t from = random() % bytes.size();
        const std::size_t length = std::min<std::size_t>(1 + random() % 64, bytes.size() - from);
        const Bytes stretch(bytes.begin() + static_cast<std::ptrdiff_t>(from), bytes.begin() + static_cast<std::ptrdiff_t>(from + length));
        const std::size_t to = random() % (bytes.size() + 1);
        for (int copies = 1 + static_cast<int>(random() % 8); copies > 0; --copies)
            bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(to), stretch.begin(), stretch.end());
        break;
    }
    default: {
        const std::size_t from = random() % bytes.size();
        const std::size_t length = std::min<std::size_t>(1 + random() % 64, bytes.size() - from);
        bytes.erase(bytes.begin() + static_cast<std::ptrdiff_t>(from), bytes.begin() + static_cast<std::ptrdiff_t>(from + length));
    }
    }
}

} // namespace

int main(int argc, char** argv)
{
    long mutations = 0;
    std::vector<std::string> places;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument.rfind("--mutations=", 0) == 0)
            mutations = std::stol(argument.substr(12));
        else
            places.push_back(argument);
    }
    for (int signal : {SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL})
        ::signal(signal, onFatalSignal);
    if (__sanitizer_set_death_callback != nullptr)
        __sanitizer_set_death_callback(saveFailingInput);

    std::vector<Bytes> corpus;
    const auto files = corpusFiles(places);
    for (const auto& file : files) {
        corpus.push_back(fileBytes(file));
        run(corpus.back(), file.string());
    }
    if (corpus.empty())
        corpus.emplace_back();

    std::mt19937_64 random(20261207);
    for (long round = 0; round < mutations; ++round) {
        Bytes input = corpus[static_cast<std::size_t>(round) % corpus.size()];
        for (int n = 1 + static_cast<int>(random() % 4); n > 0; --n)
            mutate(input, random);
        run(input, "mutation " + std::to_string(round));
    }
    std::printf("%zu corpus inputs and %ld mutations replayed\n", files.size(), mutations);
    return 0;
}
