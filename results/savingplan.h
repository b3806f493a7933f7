#pragma once
// What is saved of each file a search found. The search lists a file by its first sector
// and a range that ends at the next header or a fixed limit; saving takes the file's true
// length from its own structure when the format says it, otherwise it stops at the first
// sector of the next file the same search found, otherwise it keeps the range, and never
// more than the type's cap. Only files that look like real starts of their type count as a
// "next file": a header matched by chance inside another file does not cut it short. Files
// are added as they are found and saved once the search is over, when every next file is
// known. One plan per search, on one thread.
#include "platform/sectorstream.h"
#include "results/bytereader.h"
#include "results/filesaver.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace salvyn {

enum class LengthSource { Format, NextFile, Range, Cap };

// The report's words: "format", "next file", "range", "cap".
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
    // The end (exclusive) of the sectors the search read: no format end reads past it.
    void setSearchedEnd(std::uint64_t endSector) { m_searchedEnd = endSector; }
    std::size_t size() const { return m_files.size(); }
    const std::string& name(std::size_t index) const { return m_files.at(index).name; }
    std::uint64_t firstSector(std::size_t index) const { return m_files.at(index).firstSector; }

    // How many bytes of the file added at `index` to save, and why.
    SaveLength lengthOf(std::size_t index, ByteReader& medium) const;

    // Saves `length` bytes (as lengthOf() measured them) of the file added at `index`, under
    // `savedName`, or its found name when empty.
    SavedFile save(std::size_t index, const SaveLength& length, FileSaver& saver, SectorStream& medium,
                   const std::string& savedName = {}) const;

private:
    struct FoundFile {
        std::string name;
        std::uint64_t firstSector;
        std::uint64_t endSector;
    };
    // The first sector of the next found file after `sector` that looks like a real start.
    std::optional<std::uint64_t> nextStartAfter(std::uint64_t sector, ByteReader& medium) const;

    std::vector<FoundFile> m_files;
    // Every found file's first sector and its type, and whether that start was recognised:
    // worked out the first time a file before it asks.
    std::map<std::uint64_t, std::string> m_typeAt;
    mutable std::map<std::uint64_t, bool> m_recognisedAt;
    std::uint64_t m_searchedEnd = UINT64_MAX;
};

} // namespace salvyn
