#pragma once
// Copies found files out of a search into a folder, never over an existing file, and
// describes each one for the recovery report (size and SHA-256). A file is written under a
// hidden temporary name and takes its own name only when it is whole, so a folder never
// holds half a file: not after a failure, not after a cancel. Without a folder it only
// measures. One saver per thread.
#include "platform/sectorstream.h"
#include "results/savewriter.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace salvyn {

struct SavedFile {
    std::string name;              // file name written, or the found name when nothing is written
    std::string type;              // extension of the found name
    std::uint64_t firstSector = 0;
    std::uint64_t endSector = 0;   // exclusive
    std::uint64_t byteCount = 0;
    std::string sha256;
    std::filesystem::path savedPath;     // empty when not written
    std::uint64_t unreadableSectors = 0; // written as zeros
    std::string error;                   // why the file could not be written
    int errorNumber = 0;                 // errno behind `error`
    bool cancelled = false;              // given up on request; nothing of it is left
    std::string lengthFrom;              // how the saved length was decided (see SavingPlan)
    std::string condition;               // "whole", "damaged" or "unknown" (see FileCondition)
    std::string foundName;               // the name the search gave it
};

class FileSaver {
public:
    // Called after each piece written with the number of bytes it held; answering false
    // gives the file up.
    using KeepGoing = std::function<bool(std::uint64_t bytes)>;

    explicit FileSaver(std::optional<std::filesystem::path> folder, SaveWriter& writer = fileSystemWriter());

    void setKeepGoing(KeepGoing keepGoing) { m_keepGoing = std::move(keepGoing); }

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
    SaveWriter& m_writer;
    KeepGoing m_keepGoing;
};

// A file name that stays inside its folder: no '/', no control characters, never "." or "..".
std::string safeFileName(const std::string& name);

// The name a taken name gives way to: "GND00001.JPG" -> "GND00001-2.JPG", "-3", ...
std::string nameVariant(const std::string& name, int number);

} // namespace salvyn
