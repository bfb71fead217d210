#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QString>

// Makes the entry at path one of the kinds that are no readable settings file: "folder", "fifo",
// "zero" (a link to /dev/zero), "large" (one byte over the 256 MB cap, sparse, so without the disk
// space) or "private" (not readable); "missing" makes nothing. Returns an empty text, or why this
// machine cannot make it, for QSKIP.
inline QString MakeUnreadableEntry(const QString &path, const QString &kind)
{
    QFile file(path);
    if (kind == QLatin1String("folder"))
        return QDir().mkdir(path) ? QString() : QStringLiteral("cannot make a folder");
    if (kind == QLatin1String("fifo"))
        return QProcess::execute(QStringLiteral("mkfifo"), {path}) == 0 ? QString() : QStringLiteral("mkfifo is not available");
    if (kind == QLatin1String("zero")) {
        return QFile::exists(QStringLiteral("/dev/zero")) && QFile::link(QStringLiteral("/dev/zero"), path)
                   ? QString()
                   : QStringLiteral("no /dev/zero to link to");
    }
    if (kind == QLatin1String("large"))
        return file.open(QIODevice::WriteOnly) && file.resize((qint64(256) << 20) + 1)
                   ? QString()
                   : QStringLiteral("no room for a sparse file");
    if (kind == QLatin1String("private")) {
        if (!file.open(QIODevice::WriteOnly) || file.write("<myItem/>") <= 0)
            return QStringLiteral("cannot write a file");
        file.close();
        file.setPermissions(QFileDevice::WriteOwner);
        return QFileInfo(path).isReadable() ? QStringLiteral("this user reads every file") : QString();
    }
    return QString();
}
