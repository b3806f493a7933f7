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

    // A photo: display name, identifier and half-open sector range (never empty). A sink
    // that wants photo bytes has been given them before, through addPhotoBytes.
    virtual void addImageWithDataAt(const std::string& name, const std::string& uid, std::uint64_t firstSector,
                                    std::uint64_t endSector) = 0;

    // A video, raw or audio file, known by name and half-open sector range. Before returning
    // the file must be counted in the result rows the pass names files from
    // (ResultRows::countFoundFile), because the next name is taken from that count.
    virtual void addImageWithData_2(const std::string& name, const std::string& uid,
                                    std::uint64_t firstSector, std::uint64_t endSector) = 0;

    // Whether photos are wanted with their bytes (to be shown). A sink that only lists them,
    // or saves them later from the medium, says no: the photo pass then hands over no bytes
    // and never reads a photo's sectors twice.
    virtual bool wantsPhotoBytes() const { return false; }
    // The next bytes of the photo being collected, in order, as they are read: its sectors,
    // an unreadable one as zeros. Only valid during the call; the photo ends with the next
    // addImageWithDataAt.
    virtual void addPhotoBytes(std::span<const std::uint8_t> bytes) { (void)bytes; }
};

} // namespace salvyn
