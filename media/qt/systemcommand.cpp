#include "media/qt/systemcommand.h"

#include <QProcess>
#include <QStandardPaths>

namespace salvyn {

std::optional<QByteArray> runSystemCommand(const QString& utility, const QStringList& arguments,
                                           std::chrono::milliseconds limit)
{
    static const QStringList kSystemFolders{QStringLiteral("/usr/bin"), QStringLiteral("/bin"),
                                            QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")};
    const QString program = QStandardPaths::findExecutable(utility, kSystemFolders);
    if (program.isEmpty())
        return std::nullopt;

    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(QIODevice::ReadOnly);
    if (!process.waitForStarted(static_cast<int>(limit.count())))
        return std::nullopt;
    if (!process.waitForFinished(static_cast<int>(limit.count()))) {
        process.kill();
        process.waitForFinished();
        return std::nullopt;
    }
    if (process.exitStatus() != QProcess::NormalExit)
        return std::nullopt;
    return process.readAllStandardOutput();
}

} // namespace salvyn
