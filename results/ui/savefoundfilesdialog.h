#pragma once
// The progress of a save: the file being written, files and bytes done of all, and Cancel.
// Window-modal over the main window, so the wizard takes no clicks while files are saved.
// Closing it (Esc, the close box) asks for a cancel like the button; the saver closes it.
// UI thread only.
#include "results/savejob.h"

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

namespace salvyn {

class SaveFoundFilesDialog final : public QDialog {
    Q_OBJECT
public:
    explicit SaveFoundFilesDialog(QWidget* parent);

    void showStatus(const SaveStatus& status);
    // Closes the dialog for good once the save has ended.
    void finish();

    QPushButton* cancelButton() const { return m_cancel; }

signals:
    void cancelRequested();

protected:
    void reject() override;

private:
    void requestCancel();

    QLabel* m_currentFile;
    QLabel* m_files;
    QLabel* m_bytes;
    QProgressBar* m_bar;
    QPushButton* m_cancel;
    bool m_finished = false;
};

} // namespace salvyn
