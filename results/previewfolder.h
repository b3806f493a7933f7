#pragma once
// The private folder that holds preview files ("dprv" or "dprv.<type>"). Recovered data is
// private, so the folder is the user's own, mode 0700, and is refused when it is a link, not
// a folder, or someone else's: a shared folder would let another user plant links where we
// write. Everything inside is reached through the opened folder, never by a path walk that
// could be swapped under us. Any thread; one caller at a time per folder.
#include <string>
#include <string_view>

namespace salvyn {

// An open descriptor of the preview folder, closed with its owner.
class OpenPreviewFolder {
public:
    explicit OpenPreviewFolder(int fd = -1) : m_fd(fd) {}
    ~OpenPreviewFolder();
    OpenPreviewFolder(OpenPreviewFolder&& other) noexcept : m_fd(other.m_fd) { other.m_fd = -1; }
    OpenPreviewFolder& operator=(OpenPreviewFolder&& other) noexcept;
    OpenPreviewFolder(const OpenPreviewFolder&) = delete;
    OpenPreviewFolder& operator=(const OpenPreviewFolder&) = delete;

    bool isOpen() const { return m_fd >= 0; }
    int fd() const { return m_fd; }

private:
    int m_fd;
};

class PreviewFolder {
public:
    // Longest type kept in a preview file's name; longer ones give the bare "dprv".
    static constexpr std::size_t maxTypeLength = 64;

    explicit PreviewFolder(std::string path);
    const std::string& path() const { return m_path; }

    // Opens the folder, creating it (and its parents) when missing. Refused (not open) when
    // the path is a link or not a folder, or the folder belongs to another user; a folder of
    // ours that others may enter is closed down to 0700 first.
    OpenPreviewFolder openPrivate() const;

    // Whether the folder, or where it would be made, lies on the disk of the medium at
    // `mediumPath`: previews written there could overwrite the very sectors being recovered.
    bool liesOnDiskOf(const std::string& mediumPath) const;

    // The preview file's name for a found file: "dprv." + the found file's type, or the bare
    // "dprv" when the type is empty, longer than maxTypeLength characters or holds control
    // characters. The type never holds a '/', so the name stays inside the folder.
    static std::string previewFileName(std::string_view foundFileName);

    // Whether a folder entry is a preview file: "dprv", or "dprv." followed by one type.
    static bool isPreviewFileName(std::string_view entryName);

    // Deletes every preview file in the folder: entries named as above that are not
    // folders; a link is removed, never what it points to. Failures are skipped. Answers how
    // many were deleted; a folder that is not ours is left alone.
    int removePreviewFiles() const;

private:
    OpenPreviewFolder openExisting() const;

    std::string m_path;
};

} // namespace salvyn
