#include "platform/qt/documentopener.h"

#include <QProcess>

namespace salvyn {

void DesktopDocumentOpener::openFile(const QString& path, Failed failed)
{
    auto* opener = new QProcess;
    opener->setProcessChannelMode(QProcess::ForwardedOutputChannel);
    opener->setReadChannel(QProcess::StandardError);
    // xdg-open ends once the application has been started, or at once when there is none.
    QObject::connect(opener, &QProcess::finished, opener, [opener, failed](int exitCode, QProcess::ExitStatus status) {
        if (status != QProcess::NormalExit || exitCode != 0) {
            const QString said = QString::fromLocal8Bit(opener->readAllStandardError()).trimmed();
            failed(said.isEmpty() ? QStringLiteral("The desktop has no application to open it (xdg-open ended with %1).")
                                        .arg(exitCode)
                                  : said);
        }
        opener->deleteLater();
    });
    QObject::connect(opener, &QProcess::errorOccurred, opener, [opener, failed](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        failed(QStringLiteral("The desktop's opener xdg-open could not be started: ") + opener->errorString());
        opener->deleteLater();
    });
    opener->start(QStringLiteral("xdg-open"), {path});
}

} // namespace salvyn
