#include "benchimage.h"

#include "scan/headermatcher.h"

#include <fstream>
#include <random>
#include <vector>

namespace salvyn {

namespace {

constexpr std::uint64_t kChunkBytes = 64ull << 20;   // written 64 MiB at a time
constexpr std::uint64_t kBlankBytes = 8ull << 20;    // the last 8 MiB of every chunk are blank
constexpr int kHeadersPerChunk = 10;

std::vector<SignatureRecord> everyRecord(const SignatureLists& lists)
{
    std::vector<SignatureRecord> records;
    for (const SignatureList* list : {&lists.Ext_Array, &lists.Adv_Ext_Array, &lists.Video_Array, &lists.Adv_Video_Array,
                                      &lists.RawFile_Array, &lists.Adv_RawFile_Array, &lists.Audio_Array,
                                      &lists.Adv_Audio_Array})
        for (std::size_t r = 0; r < recordCount(*list); ++r)
            records.push_back(decodeSignatureRecord(*list, r));
    return records;
}

} // namespace

std::uint64_t makeBenchImage(const std::filesystem::path& path, const SignatureLists& lists)
{
    std::error_code error;
    if (std::filesystem::file_size(path, error) == kBenchImageBytes)
        return 0;
    std::filesystem::create_directories(path.parent_path());
    const std::vector<SignatureRecord> records = everyRecord(lists);
    std::mt19937_64 random(20261206);
    std::vector<std::uint64_t> words(kChunkBytes / 8);
    auto* bytes = reinterpret_cast<std::uint8_t*>(words.data());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    std::uint64_t headers = 0;
    for (std::uint64_t written = 0; written < kBenchImageBytes; written += kChunkBytes) {
        for (std::size_t k = 0; k < (kChunkBytes - kBlankBytes) / 8; ++k)
            words[k] = random();
        std::fill(words.begin() + (kChunkBytes - kBlankBytes) / 8, words.end(), 0);
        for (int h = 0; h < kHeadersPerChunk && !records.empty(); ++h) {
            const SignatureRecord& record = records[random() % records.size()];
            const std::uint64_t offset = record.placement == SignatureRecord::Placement::Numbered ? record.firstOffset : 0;
            if (offset + record.header.size() > kSectorSize)
                continue;
            const std::uint64_t sector = random() % ((kChunkBytes - kBlankBytes) / kSectorSize);
            std::copy(record.header.begin(), record.header.end(), bytes + sector * kSectorSize + offset);
            ++headers;
        }
        out.write(reinterpret_cast<const char*>(bytes), static_cast<std::streamsize>(kChunkBytes));
    }
    return out ? headers : 0;
}

} // namespace salvyn
