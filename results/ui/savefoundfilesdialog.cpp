#include "results/ui/savefoundfilesdialog.h"

#include "results/ui/sizetext.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace salvyn {

namespace {

constexpr int kBarSteps = 1000;

QLabel* plainLabel(QWidget* parent, const char* name)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText); // file names come from the signature lists
    return label;
}

} // namespace

SaveFoundFilesDialog::SaveFoundFilesDialog(QWidget* parent)
    : QDialog(parent), m_currentFile(plainLabel(this, "_save_current_file")), m_files(plainLabel(this, "_save_files")),
      m_bytes(plainLabel(this, "_save_bytes")), m_bar(new QProgressBar(this)), m_cancel(new QPushButton(this))
{
    setObjectName(QStringLiteral("SaveFoundFiles_Window"));
    setWindowTitle(QStringLiteral("Saving Found Files"));
    setWindowModality(Qt::WindowModal);
    m_bar->setRange(0, kBarSteps);
    m_cancel->setObjectName(QStringLiteral("_save_cancel"));
    m_cancel->setText(QStringLiteral("Cancel"));
    m_currentFile->setMinimumWidth(360);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_currentFile);
    layout->addWidget(m_bar);
    layout->addWidget(m_files);
    layout->addWidget(m_bytes);
    layout->addLayout(buttons);
    connect(m_cancel, &QPushButton::clicked, this, &SaveFoundFilesDialog::requestCancel);
}

void SaveFoundFilesDialog::showStatus(const SaveStatus& status)
{
    m_currentFile->setText(status.currentFile.empty() ? QString()
                                                      : QStringLiteral("Saving ") + QString::fromStdString(status.currentFile));
    m_files->setText(QStringLiteral("Files: ") + QString::number(status.filesDone) + QStringLiteral(" of ")
                     + QString::number(status.fileCount));
    if (status.byteCount == 0 && status.filesDone < status.fileCount) { // the lengths are being measured
        m_bytes->setText(QStringLiteral("Measuring the files\u2026"));
        m_bar->setValue(0);
        return;
    }
    m_bytes->setText(sizeText(status.bytesDone) + QStringLiteral(" of ") + sizeText(status.byteCount));
    const double part = status.byteCount == 0 ? 1.0 : static_cast<double>(status.bytesDone) / status.byteCount;
    m_bar->setValue(static_cast<int>(std::min(part, 1.0) * kBarSteps));
}

void SaveFoundFilesDialog::finish()
{
    m_finished = true;
    done(QDialog::Accepted);
}

void SaveFoundFilesDialog::reject()
{
    if (m_finished)
        QDialog::reject();
    else
        requestCancel();
}

void SaveFoundFilesDialog::requestCancel()
{
    if (!m_cancel->isEnabled())
        return;
    m_cancel->setEnabled(false);
    m_cancel->setText(QStringLiteral("Cancelling…"));
    emit cancelRequested();
}

} // namespace salvyn
