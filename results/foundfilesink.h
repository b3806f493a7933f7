#pragma once
// Where a search pass reports each file it finds. Called on the search worker thread, in
// the order the files end.
#include <cstdint>
#include <span>
#include <string>

namespace salvyn {

class FoundFileSink {
public:
    virtual ~FoundFileSink() = default;

    // A photo: its collected bytes, display name, identifier and the sector the bytes were
    // collected from (they run on for bytes / 512 sectors). Empty bytes are not a file: the
    // call returns at once and adds nothing. The bytes are only valid during the call.
    virtual void addImageWithDataAt(std::span<const std::uint8_t> bytes, const std::string& name,
                                    const std::string& uid, std::uint64_t firstSector) = 0;

    // A video, raw or audio file, known by name and half-open sector range. Before returning
    // the file must be counted in the result rows the pass names files from
    // (ResultRows::countFoundFile), because the next name is taken from that count.
    virtual void addImageWithData_2(const std::string& name, const std::string& uid,
                                    std::uint64_t firstSector, std::uint64_t endSector) = 0;

    // Whether photos are wanted with their bytes (to be shown). A sink that only lists them,
    // or saves them later from the medium, says no: the photo pass then collects no bytes
    // and never reads a photo's sectors twice, and hands each photo over by its sectors.
    virtual bool wantsPhotoBytes() const { return true; }
    // A photo of a sink that wants no bytes: the same file addImageWithDataAt would have
    // been given, as its half-open sector range (never empty).
    virtual void addPhotoSectors(const std::string& name, const std::string& uid, std::uint64_t firstSector,
                                 std::uint64_t endSector)
    {
        (void)name, (void)uid, (void)firstSector, (void)endSector;
    }
};

} // namespace salvyn
