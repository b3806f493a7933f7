#include "platform/qt/documentopener.h"

#include <QDesktopServices>
#include <QUrl>

namespace salvyn {

void DesktopDocumentOpener::openFile(const QString& path)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace salvyn
