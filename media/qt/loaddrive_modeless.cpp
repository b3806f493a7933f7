#include "media/qt/loaddrive_modeless.h"

#include <QLabel>
#include <QVBoxLayout>

namespace salvyn {

LoadDrive_Modeless::LoadDrive_Modeless(QWidget* controlPanel)
    : QDialog(controlPanel)
{
    setObjectName(QStringLiteral("LoadDisk_Window"));
    setWindowModality(Qt::WindowModal);
    setWindowTitle(QStringLiteral("Korvia - Salvyn"));
    auto* message = new QLabel(QStringLiteral("Looking for storage media…"), this);
    message->setTextFormat(Qt::PlainText);
    message->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(32, 24, 32, 24);
    layout->addWidget(message);
}

} // namespace salvyn
