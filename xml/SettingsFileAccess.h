#pragma once

#include <QByteArray>
#include <QString>

// Only a regular file (links followed) is read as a settings file, and only up to a cap, so that
// a FIFO, a device such as /dev/zero or a runaway file is refused at once instead of hanging the
// start or filling the memory.
namespace SettingsFileLimit {
// Five times the 50 MB settings file that must load.
constexpr qint64 Bytes = qint64(256) << 20;
}

enum class SettingsFileProblem {
    None,
    Missing,
    NotRegularFile,
    NoPermission,
    TooLarge,
    ReadFailed,
};

// What keeps the file at the path from being read, as far as its directory entry tells.
SettingsFileProblem CheckSettingsFile(const QString &path);
// Reads the whole file into bytes (cleared on failure); ReadFailed also for a read that breaks off.
SettingsFileProblem ReadSettingsFile(const QString &path, QByteArray &bytes);
// The problem in a few English words, for the command line: "not a regular file".
QString SettingsFileProblemText(SettingsFileProblem problem);
