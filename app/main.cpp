// Salvyn, the desktop app: `salvyn [IMAGE…]` opens the recovery wizard, with the given
// disk images already in the media list.
#include "app/appservices.h"
#include "app/mytablecontroller.h"
#include "platform/resourcefolder.h"

#include <QApplication>
#include <QIcon>
#include <QStringList>
#include <cstdio>
#include <cstring>

namespace {

constexpr const char* kHelpText =
    "Usage: salvyn [IMAGE...]\n"
    "Get lost photos, videos, music and documents back from memory cards, USB sticks\n"
    "and disk images.\n"
    "\n"
    "Opens the recovery wizard. Each IMAGE, a disk image file, is added to its list of\n"
    "media; memory cards and USB sticks that are plugged in are listed by themselves.\n"
    "The medium is only read, never written to.\n"
    "\n"
    "Options:\n"
    "  -h, --help     show this help and exit\n"
    "  -V, --version  show the version and exit\n"
    "\n"
    "salvyn-scan(1) runs the same search from a terminal.\n";

// --help and --version are answered before any window system is needed, so they work on a
// console and at build time.
bool answeredWithoutWindows(int argc, char** argv)
{
    for (int k = 1; k < argc; ++k) {
        if (std::strcmp(argv[k], "--help") == 0 || std::strcmp(argv[k], "-h") == 0) {
            std::fputs(kHelpText, stdout);
            return true;
        }
        if (std::strcmp(argv[k], "--version") == 0 || std::strcmp(argv[k], "-V") == 0) {
            std::printf("salvyn %s\n", SALVYN_VERSION);
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    if (answeredWithoutWindows(argc, argv))
        return 0;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("salvyn"));
    QApplication::setApplicationDisplayName(QStringLiteral("Korvia - Salvyn"));
    QApplication::setApplicationVersion(QStringLiteral(SALVYN_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("salvyn"));
    QApplication::setWindowIcon(QIcon::fromTheme(
        QStringLiteral("salvyn"), QIcon(QString::fromStdString(salvyn::findResourceFolder() + "/salvyn.svg"))));

    salvyn::DesktopServices desktop;
    salvyn::MyTableController controller(desktop.controllerServices());
    controller.awakeFromNib();
    for (const QString& image : QApplication::arguments().mid(1)) {
        if (const auto refusal = controller.addDiskImage(image))
            std::fprintf(stderr, "salvyn: %s\n", qPrintable(refusal->reason));
    }
    return QApplication::exec();
}
