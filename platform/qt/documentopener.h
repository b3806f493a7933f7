#pragma once
// Opens a document with the desktop's default application for it (the help file), or a
// folder in the file manager (the destination folder).
// UI thread only. The caller has checked that it exists and ignores the outcome.
#include <QString>

namespace salvyn {

class DocumentOpener {
public:
    virtual ~DocumentOpener() = default;
    virtual void openFile(const QString& path) = 0;
};

// Hands the file to the desktop (xdg-open behind QDesktopServices).
class DesktopDocumentOpener final : public DocumentOpener {
public:
    void openFile(const QString& path) override;
};

} // namespace salvyn
