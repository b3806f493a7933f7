#pragma once
// Where the search worker reports found files in the desktop app: straight into the
// found-file list, which takes finds from any thread, makes thumbnails off the UI thread
// and counts a raw file in its results row before the report returns.
#include "results/foundfilesink.h"

namespace salvyn {

class FoundFileList;

class FoundFileListSink final : public FoundFileSink {
public:
    explicit FoundFileListSink(FoundFileList& images) : m_images(images) {}

    void addImageWithDataAt(std::span<const std::uint8_t> bytes, const std::string& name, const std::string& uid,
                            std::uint64_t firstSector) override;
    void addImageWithData_2(const std::string& name, const std::string& uid, std::uint64_t firstSector,
                            std::uint64_t endSector) override;

private:
    FoundFileList& m_images;
};

} // namespace salvyn
