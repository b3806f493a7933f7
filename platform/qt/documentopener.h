#pragma once
// Opens a document with the desktop's default application for it (the help file), or a
// folder in the file manager (the destination folder), without waiting for it.
// UI thread only. The caller has checked that it exists; `failed` runs later, with the
// desktop's reason, when the desktop could not open it (no application for it, no opener).
#include <QString>

#include <functional>

namespace salvyn {

class DocumentOpener {
public:
    using Failed = std::function<void(const QString& reason)>;
    virtual ~DocumentOpener() = default;
    virtual void openFile(const QString& path, Failed failed) = 0;
};

// Hands the file to the desktop's opener, xdg-open, and hears how it ended.
class DesktopDocumentOpener final : public DocumentOpener {
public:
    void openFile(const QString& path, Failed failed) override;
};

} // namespace salvyn
