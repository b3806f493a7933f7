#pragma once
// What is saved of each file a search found. The search lists a file by its first sector
// and a range that ends at the next header or a fixed limit; saving takes the file's true
// length from its own structure when the format says it, otherwise it stops at the first
// sector of the next file the same search found, otherwise it keeps the range. Files are
// added as they are found and saved once the search is over, when every next file is
// known. One plan per search, on one thread.
#include "platform/sectorstream.h"
#include "results/bytereader.h"
#include "results/filesaver.h"

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace salvyn {

enum class LengthSource { Format, NextFile, Range };

// The report's words: "format", "next file", "range".
const char* lengthSourceText(LengthSource source);

struct SaveLength {
    std::uint64_t bytes;
    LengthSource source;
};

class SavingPlan {
public:
    // A found file: its name (the extension is its type), first sector and end sector
    // (exclusive) as the search listed it.
    void add(const std::string& name, std::uint64_t firstSector, std::uint64_t endSector);
    std::size_t size() const { return m_files.size(); }
    const std::string& name(std::size_t index) const { return m_files.at(index).name; }

    // How many bytes of the file added at `index` to save, and why.
    SaveLength lengthOf(std::size_t index, ByteReader& medium) const;

    // Saves `length` bytes (as lengthOf() measured them) of the file added at `index`.
    SavedFile save(std::size_t index, const SaveLength& length, FileSaver& saver, SectorStream& medium) const;

    // Saves every file in the order they were added; `saved` is told of each one.
    void saveAll(FileSaver& saver, SectorStream& medium, const std::function<void(const SavedFile&)>& saved) const;

private:
    struct FoundFile {
        std::string name;
        std::uint64_t firstSector;
        std::uint64_t endSector;
    };
    std::vector<FoundFile> m_files;
    std::set<std::uint64_t> m_firstSectors;
};

} // namespace salvyn
