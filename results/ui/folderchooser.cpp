#include "results/ui/folderchooser.h"

#include <QFileDialog>

namespace salvyn {

void DialogFolderChooser::chooseFolder(QWidget* parent, const QString& start, Done done)
{
    auto* dialog = new QFileDialog(parent, QString(), start);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOption(QFileDialog::ShowDirsOnly, true);
    QObject::connect(dialog, &QFileDialog::finished, dialog, [dialog, done = std::move(done)](int result) {
        const QStringList chosen = dialog->selectedFiles();
        if (result == QDialog::Accepted && !chosen.isEmpty())
            done(1, chosen.first());
        else
            done(0, QString());
    });
    dialog->open();
}

} // namespace salvyn
