#include "samplefiles.h"

#include "results/formatendtable.h"
#include "signatures/hexconversion.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <sstream>
#include <stdexcept>

namespace salvyn::test {
namespace {

constexpr std::size_t kBuiltSampleBytes = 3 * 512;

// Hexadecimal digits, 'text' and NN*COUNT, as the recipe list writes leading bytes.
std::vector<std::uint8_t> parseBytes(std::string_view text)
{
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] == ' ') {
            ++i;
        } else if (text[i] == '\'') {
            for (++i; text.at(i) != '\''; ++i) {
                char c = text[i];
                if (c == '\\') {
                    c = text.at(++i);
                    c = c == 'n' ? '\n' : c == 'r' ? '\r' : c;
                }
                bytes.push_back(static_cast<std::uint8_t>(c));
            }
            ++i;
        } else {
            const auto value = static_cast<std::uint8_t>(hex2int(text.substr(i, 2)));
            const bool repeated = i + 2 < text.size() && text[i + 2] == '*';
            const std::size_t end = repeated ? std::min(text.find(' ', i), text.size()) : i + 2;
            bytes.insert(bytes.end(), repeated ? std::stoul(std::string(text.substr(i + 3, end - i - 3))) : 1, value);
            i = end;
        }
    }
    return bytes;
}

std::vector<SampleRecipe> readRecipes()
{
    static const char* const kModes[] = {"photo", "video", "raw", "audio"};
    std::ifstream in(std::filesystem::path(SALVYN_TEST_DATA) / "samplefiles.txt");
    if (!in)
        throw std::runtime_error("the sample recipe list cannot be read");
    std::map<std::string, std::string> defined;
    std::vector<SampleRecipe> recipes;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        std::string first, mode;
        fields >> first;
        if (first == "define") {
            std::string name, text;
            fields >> name;
            std::getline(fields >> std::ws, text);
            defined["$" + name] = text;
            continue;
        }
        SampleRecipe recipe;
        recipe.name = first;
        fields >> mode >> recipe.type >> recipe.pass >> recipe.file;
        recipe.mode = static_cast<int>(std::find(std::begin(kModes), std::end(kModes), mode) - std::begin(kModes));
        std::string rest;
        std::getline(fields >> std::ws, rest);
        if (recipe.file == "bytes" || recipe.file == "whole") {
            recipe.wholeFile = recipe.file == "whole";
            recipe.file.clear();
            recipe.leadingBytes = parseBytes(rest);
        } else {
            const auto colon = rest.find(": ");
            recipe.tools = rest.substr(0, colon);
            std::replace(recipe.tools.begin(), recipe.tools.end(), ',', ' ');
            recipe.command = rest.substr(colon + 2);
            for (const auto& [name, text] : defined)
                for (auto at = recipe.command.find(name); at != std::string::npos; at = recipe.command.find(name))
                    recipe.command.replace(at, name.size(), text);
        }
        if (recipe.mode > 3 || recipe.type.empty() || (recipe.pass != "GEN" && recipe.pass != "THD"))
            throw std::runtime_error("a malformed sample recipe: " + line);
        recipes.push_back(std::move(recipe));
    }
    return recipes;
}

bool hasTool(const std::string& tool)
{
    if (tool.front() == '/')
        return std::filesystem::exists(tool);
    return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

} // namespace

std::span<const SampleRecipe> allSampleRecipes()
{
    static const std::vector<SampleRecipe> recipes = readRecipes();
    return recipes;
}

std::span<const SampleRecipe> sampleRecipes()
{
    static const std::vector<SampleRecipe> recipes = [] {
        std::vector<SampleRecipe> real;
        std::copy_if(allSampleRecipes().begin(), allSampleRecipes().end(), std::back_inserter(real),
                     [](const SampleRecipe& r) {
                         return (!r.command.empty() || r.wholeFile) && formatEndRuleFor(r.type) != nullptr;
                     });
        return real;
    }();
    return recipes;
}

const SampleRecipe& recipeNamed(std::string_view name)
{
    const auto all = allSampleRecipes();
    auto recipe = std::find_if(all.begin(), all.end(), [&](const SampleRecipe& r) { return r.name == name; });
    if (recipe == all.end())
        throw std::invalid_argument("no sample recipe named " + std::string(name));
    return *recipe;
}

Sample runEncoder(const std::string& tools, const std::string& command, const std::string& file)
{
    std::istringstream toolList(tools);
    for (std::string tool; toolList >> tool;)
        if (!hasTool(tool))
            return {{}, "the encoder '" + tool + "' is not installed", true};
    char pattern[] = "/tmp/salvyn-sample-XXXXXX";
    if (mkdtemp(pattern) == nullptr)
        return {{}, "no temporary folder", false};
    const std::filesystem::path folder = pattern;
    const std::string script = "cd '" + folder.string() + "' && { " + command + " ; } >/dev/null 2>&1";
    Sample sample;
    if (std::system(script.c_str()) != 0) {
        sample.skipReason = "the encoder failed: " + command;
    } else {
        std::ifstream in(folder / file, std::ios::binary);
        sample.bytes.assign(std::istreambuf_iterator<char>(in), {});
        if (sample.bytes.empty())
            sample.skipReason = "the encoder wrote nothing: " + command;
    }
    std::filesystem::remove_all(folder);
    return sample;
}

const Sample& sampleFor(const SampleRecipe& recipe)
{
    static std::mutex cacheMutex;
    static std::map<std::string, Sample> cache;
    std::lock_guard lock(cacheMutex);
    auto known = cache.find(recipe.name);
    if (known != cache.end())
        return known->second;
    Sample sample;
    if (recipe.command.empty()) {
        sample.bytes = recipe.leadingBytes;
        if (!recipe.wholeFile && sample.bytes.size() < kBuiltSampleBytes) {
            const auto filler = fillerBytes(kBuiltSampleBytes);
            sample.bytes.insert(sample.bytes.end(), filler.begin() + static_cast<std::ptrdiff_t>(sample.bytes.size()),
                                filler.end());
        }
    } else {
        sample = runEncoder(recipe.tools, recipe.command, recipe.file);
    }
    return cache.emplace(recipe.name, std::move(sample)).first->second;
}

std::vector<std::uint8_t> fillerBytes(std::size_t count)
{
    // Odd values below 0x91, the same in every sector, starting 0x11.
    std::vector<std::uint8_t> bytes(count);
    for (std::size_t k = 0; k < count; ++k)
        bytes[k] = static_cast<std::uint8_t>(0x11 + 2 * (k % 64));
    return bytes;
}

std::vector<std::uint8_t> layOut(std::size_t beforeSectors, const std::vector<std::uint8_t>& file,
                                 std::size_t gapSectors, const std::vector<std::uint8_t>& follower)
{
    std::vector<std::uint8_t> medium(beforeSectors * 512, 0xA5);
    medium.insert(medium.end(), file.begin(), file.end());
    medium.resize((medium.size() + 511) / 512 * 512 + gapSectors * 512, 0);
    medium.insert(medium.end(), follower.begin(), follower.end());
    medium.resize((medium.size() + 511) / 512 * 512 + 2 * 512, 0);
    return medium;
}

} // namespace salvyn::test
