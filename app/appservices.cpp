#include "app/appservices.h"

#include "app/modalwindowrunner.h"
#include "media/qt/diskinfoprovider.h"
#include "media/qt/volumelister.h"
#include "platform/qt/alertservice.h"
#include "platform/qt/documentopener.h"
#include "platform/qt/iconprovider.h"
#include "platform/qt/udisksopener.h"
#include "platform/rawsectoropener.h"
#include "platform/resourcefolder.h"
#include "results/ui/firstframegrabber.h"
#include "results/ui/folderchooser.h"
#include "results/ui/mediamovieplayer.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <cstdio>
#include <cstdlib>

namespace salvyn {

DesktopServices::DesktopServices()
    : m_alerts(std::make_unique<MessageBoxAlertService>()), m_documents(std::make_unique<DesktopDocumentOpener>()),
      m_icons(std::make_unique<ThemeIconProvider>()), m_opener(std::make_unique<RawSectorOpener>(udisksPrivilegedOpen())),
      m_folderChooser(std::make_unique<DialogFolderChooser>()),
      m_modalRunner(std::make_unique<ExecModalWindowRunner>())
{
}

DesktopServices::~DesktopServices() = default;

ControllerServices DesktopServices::controllerServices()
{
    ControllerServices services;
    services.alerts = m_alerts.get();
    services.documents = m_documents.get();
    services.icons = m_icons.get();
    services.opener = m_opener.get();
    services.folderChooser = m_folderChooser.get();
    services.modalRunner = m_modalRunner.get();
    services.moviePlayerIn = [icons = m_icons.get()](QWidget* movieView) {
        auto* player = new MediaMoviePlayer(*icons, movieView);
        auto* layout = new QVBoxLayout(movieView);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(player);
        return player;
    };
    services.frameDecoders = [] { return std::make_unique<FirstFrameGrabber>(); };
    services.volumeLister = std::make_unique<SystemVolumeLister>();
    services.diskInfoProvider = std::make_unique<LsblkDiskInfoProvider>();
    services.resourceFolder = QString::fromStdString(findResourceFolder());
    services.previewFolder = previewFolder();
    services.terminate = [](bool threadsStillRunning) {
        if (threadsStillRunning) {
            // A search thread stuck in a device read cannot be waited for; leaving without it is
            // not a clean end, and whoever started us should know.
            std::fputs("salvyn: a search was still waiting for the medium to answer a read; left without it\n",
                       stderr);
            std::_Exit(EXIT_FAILURE);
        }
        QCoreApplication::quit();
    };
    return services;
}

QString DesktopServices::previewFolder()
{
    // The session's runtime folder is private and kept in memory, so previews never touch a
    // disk at all, let alone the medium's; without one, the user's cache folder.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir())
        return runtime + QStringLiteral("/salvyn-preview");
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/preview");
}

} // namespace salvyn
