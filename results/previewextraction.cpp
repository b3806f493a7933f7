#include "results/previewextraction.h"

#include "platform/rawdevicepath.h"
#include "results/sectorcopy.h"
#include "scan/searchstate.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace salvyn {
namespace {

constexpr std::size_t kWriteBufferBytes = 1 << 20;

// A fresh, private file in the folder. Whatever sat at the name before (an old preview, or a
// link someone planted) is removed first, never followed or truncated through.
int createPreviewFile(const OpenPreviewFolder& folder, const std::string& name)
{
    if (!folder.isOpen())
        return -1;
    unlinkat(folder.fd(), name.c_str(), 0);
    return openat(folder.fd(), name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
}

} // namespace

PreviewExtraction::PreviewExtraction(SectorSourceOpener& opener, SearchState& state, const PreviewFolder& folder,
                                     PreviewHost& host)
    : m_opener(opener), m_state(state), m_folder(folder), m_host(host)
{
}

std::string PreviewExtraction::preview_file_path() const
{
    std::lock_guard lock(m_pathLock);
    return m_previewFilePath;
}

void PreviewExtraction::setPreview_file_path(std::string path)
{
    std::lock_guard lock(m_pathLock);
    m_previewFilePath = std::move(path);
}

PreviewWayOut PreviewExtraction::CreateFile_QuickLook_Preview(const std::string& mediumIdentifier,
                                                              const FoundFileRange& file)
{
    begin();
    const PreviewWayOut way = copy(mediumIdentifier, file);
    end(way, file.name);
    return way;
}

void PreviewExtraction::begin()
{
    m_host.beginSheet();
    m_state.beginPreview();
}

PreviewWayOut PreviewExtraction::copy(const std::string& mediumIdentifier, const FoundFileRange& file)
{
    SectorSourceOpening medium = m_opener.open(mediumIdentifier);
    if (!medium.stream)
        return PreviewWayOut::MediumNotOpened;
    return copyIntoPreviewFile(rawDevicePath(mediumIdentifier).value_or(mediumIdentifier), *medium.stream, file);
}

PreviewWayOut PreviewExtraction::copyIntoPreviewFile(const std::string& mediumPath, SectorStream& medium,
                                                     const FoundFileRange& file)
{
    if (m_folder.liesOnDiskOf(mediumPath))
        return PreviewWayOut::FileNotCreated;
    const OpenPreviewFolder folder = m_folder.openPrivate();
    if (folder.isOpen() && !m_previewFileName.empty())
        unlinkat(folder.fd(), m_previewFileName.c_str(), 0);

    m_previewFileName = PreviewFolder::previewFileName(file.name);
    setPreview_file_path(m_folder.path() + "/" + m_previewFileName);

    const int fd = createPreviewFile(folder, m_previewFileName);
    if (fd < 0)
        return PreviewWayOut::FileNotCreated;
    std::FILE* preview = fdopen(fd, "wb");
    if (!preview) {
        close(fd);
        return PreviewWayOut::FileNotCreated;
    }
    std::setvbuf(preview, nullptr, _IOFBF, kWriteBufferBytes);
    const CopyEnd end = copyFileSectors(medium, preview, file);
    // A file that could not be written whole (a full or failing disk) would show as a shorter
    // found file than it is, so it is not shown at all.
    if (std::fclose(preview) != 0 || end == CopyEnd::WriteFailed) {
        unlinkat(folder.fd(), m_previewFileName.c_str(), 0);
        return PreviewWayOut::FileNotCreated;
    }
    return end == CopyEnd::Stopped ? PreviewWayOut::Stopped : PreviewWayOut::Finished;
}

PreviewExtraction::CopyEnd PreviewExtraction::copyFileSectors(SectorStream& medium, std::FILE* preview,
                                                          const FoundFileRange& file)
{
    // A failed seek to the start would copy the medium's first sectors under this file's
    // name; an empty preview is the honest answer.
    if (file.File_Start_Sector != 0 && !medium.seekToSector(file.File_Start_Sector))
        return CopyEnd::Finished;

    const std::uint64_t sectors =
        file.File_End_Sector > file.File_Start_Sector ? file.File_End_Sector - file.File_Start_Sector : 0;
    // Sector by sector, so a stop leaves exactly the sectors copied before it.
    bool written = true;
    const SectorCopyEnd end = copySectors(
        medium, {file.File_Start_Sector, sectors * kSectorSize, true, 1}, [this] { return m_state.stop_now.load() == 0; },
        [preview, &written](std::span<const std::uint8_t> piece) {
            return written = std::fwrite(piece.data(), piece.size(), 1, preview) == 1;
        });
    if (!written)
        return CopyEnd::WriteFailed;
    return end.stopped ? CopyEnd::Stopped : CopyEnd::Finished;
}

void PreviewExtraction::end(PreviewWayOut way, const std::string& name)
{
    m_host.QuickLook_Preview_Thread(name, way);
    m_host.endSheet();
    // Only a final screen the worker handed over is shown here: a Stop the worker has not
    // taken yet stays in stop_now for its pass.
    if (m_state.endPreviewAndTakeHandoff())
        m_host.Final_or_Stop_Screen();
}

} // namespace salvyn
