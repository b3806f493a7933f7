#pragma once
// Where the search worker reports found files in the desktop app: straight into the
// found-file list, which takes finds from any thread, makes thumbnails off the UI thread
// and counts a raw file in its results row before the report returns.
#include "results/foundfilesink.h"

#include <QByteArray>

namespace salvyn {

class FoundFileList;

class FoundFileListSink final : public FoundFileSink {
public:
    explicit FoundFileListSink(FoundFileList& images) : m_images(images) {}

    // A photo's bytes are gathered here as they arrive and handed to the list whole.
    bool wantsPhotoBytes() const override { return true; }
    void addPhotoBytes(std::span<const std::uint8_t> bytes) override;
    void addImageWithDataAt(const std::string& name, const std::string& uid, std::uint64_t firstSector,
                            std::uint64_t endSector) override;
    void addImageWithData_2(const std::string& name, const std::string& uid, std::uint64_t firstSector,
                            std::uint64_t endSector) override;

private:
    FoundFileList& m_images;
    QByteArray m_photoBytes; // of the photo being collected
};

} // namespace salvyn
