#pragma once
// Asks the user for a folder without blocking: the chooser is shown window-modal over its
// parent, opened at `start` (the folder chosen before, when there is one), and `done` runs
// once when it closes, with 1 and the chosen folder's full path
// for OK, or 0 and no path otherwise. UI thread only.
#include <QString>

#include <functional>

class QWidget;

namespace salvyn {

class FolderChooser {
public:
    using Done = std::function<void(int resultCode, const QString& path)>;
    virtual ~FolderChooser() = default;
    virtual void chooseFolder(QWidget* parent, const QString& start, Done done) = 0;
};

// The desktop's folder dialog: one folder, folders only, links resolved to their targets.
class DialogFolderChooser final : public FolderChooser {
public:
    void chooseFolder(QWidget* parent, const QString& start, Done done) override;
};

} // namespace salvyn
