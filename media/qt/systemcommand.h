#pragma once
// Runs a system utility (lsblk, udevadm) as a child process: found in the system's own
// program folders, never through a shell or the user's PATH, with nothing on its input
// and a time limit. UI or any thread with an event dispatcher.
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <chrono>
#include <optional>

namespace salvyn {

inline constexpr std::chrono::milliseconds kSystemCommandTimeLimit{10000};

// The utility's standard output, or none when it is missing, cannot start, crashes or is
// still running after the limit (it is then killed). The exit code is not looked at: a
// utility that fails writes nothing its callers can use.
std::optional<QByteArray> runSystemCommand(const QString& utility, const QStringList& arguments,
                                           std::chrono::milliseconds limit = kSystemCommandTimeLimit);

} // namespace salvyn
