// Salvyn, the desktop app: `salvyn [IMAGE…]` opens the recovery wizard, with the given
// disk images already in the media list.
#include "app/appservices.h"
#include "app/mytablecontroller.h"

#include <QApplication>
#include <QStringList>
#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("salvyn"));
    QApplication::setApplicationDisplayName(QStringLiteral("Korvia - Salvyn"));
    QApplication::setApplicationVersion(QStringLiteral(SALVYN_VERSION));

    salvyn::DesktopServices desktop;
    salvyn::MyTableController controller(desktop.controllerServices());
    controller.awakeFromNib();
    for (const QString& image : QApplication::arguments().mid(1)) {
        const QString refusal = controller.addDiskImage(image);
        if (!refusal.isEmpty())
            std::fprintf(stderr, "salvyn: %s\n", qPrintable(refusal));
    }
    return QApplication::exec();
}
