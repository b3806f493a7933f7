#pragma once
// Copies found files out of a search into a folder, never over an existing file, and
// describes each one for the recovery report (size and SHA-256). Without a folder it only
// measures. One saver per search, on one thread.
#include "platform/sectorstream.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>

namespace salvyn {

struct SavedFile {
    std::string name;              // file name written, or the found name when nothing is written
    std::string type;              // extension of the found name
    std::uint64_t firstSector = 0;
    std::uint64_t endSector = 0;   // exclusive
    std::uint64_t byteCount = 0;
    std::string sha256;
    std::filesystem::path savedPath;   // empty when not written
    std::uint64_t unreadableSectors = 0; // written as zeros
    std::string error;                 // why the file could not be written
    std::string lengthFrom;            // how the saved length was decided (see SavingPlan)
};

class FileSaver {
public:
    explicit FileSaver(std::optional<std::filesystem::path> folder);

    // A photo's collected bytes, starting at `firstSector`.
    SavedFile savePhoto(std::span<const std::uint8_t> bytes, const std::string& name, std::uint64_t firstSector);

    // Sectors firstSector .. endSector - 1 of the medium; unreadable ones become zeros so the
    // file keeps its size and every later byte its place.
    SavedFile saveSectors(const std::string& name, std::uint64_t firstSector, std::uint64_t endSector,
                          SectorStream& medium);

    // The first `byteCount` bytes from `firstSector` on, for a file the search listed as
    // firstSector .. endSector - 1; unreadable sectors become zeros as above.
    SavedFile saveBytes(const std::string& name, std::uint64_t firstSector, std::uint64_t endSector,
                        std::uint64_t byteCount, SectorStream& medium);

private:
    class Output;

    std::optional<std::filesystem::path> m_folder;
};

// The recovery report: one header line, then one tab-separated line per file.
std::string reportHeaderLine();
std::string reportLine(const SavedFile& file);

// A file name that stays inside its folder: no '/', no control characters, never "." or "..".
std::string safeFileName(const std::string& name);

} // namespace salvyn
