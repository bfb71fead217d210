#include "xml/SettingsFileAccess.h"

#include <QFile>
#include <QFileInfo>

SettingsFileProblem CheckSettingsFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return SettingsFileProblem::Missing;
    if (!info.isFile())
        return SettingsFileProblem::NotRegularFile;
    if (!info.isReadable())
        return SettingsFileProblem::NoPermission;
    if (info.size() > SettingsFileLimit::Bytes)
        return SettingsFileProblem::TooLarge;
    return SettingsFileProblem::None;
}

SettingsFileProblem ReadSettingsFile(const QString &path, QByteArray &bytes)
{
    bytes.clear();
    const SettingsFileProblem problem = CheckSettingsFile(path);
    if (problem != SettingsFileProblem::None)
        return problem;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return file.error() == QFileDevice::PermissionsError ? SettingsFileProblem::NoPermission
                                                              : SettingsFileProblem::ReadFailed;
    }
    // One byte beyond the cap tells a file that grew after it was measured.
    bytes = file.read(SettingsFileLimit::Bytes + 1);
    // A read that fails part way must not pass for a complete, shorter file.
    const bool isBroken = file.error() != QFileDevice::NoError;
    const bool isTooLarge = bytes.size() > SettingsFileLimit::Bytes;
    if (isBroken || isTooLarge) {
        bytes.clear();
        return isBroken ? SettingsFileProblem::ReadFailed : SettingsFileProblem::TooLarge;
    }
    return SettingsFileProblem::None;
}

QString SettingsFileProblemText(SettingsFileProblem problem)
{
    switch (problem) {
    case SettingsFileProblem::None:
        break;
    case SettingsFileProblem::Missing:
        return QStringLiteral("no such file");
    case SettingsFileProblem::NotRegularFile:
        return QStringLiteral("not a regular file");
    case SettingsFileProblem::NoPermission:
        return QStringLiteral("permission denied");
    case SettingsFileProblem::TooLarge:
        return QStringLiteral("larger than %1 MB").arg(SettingsFileLimit::Bytes >> 20);
    case SettingsFileProblem::ReadFailed:
        return QStringLiteral("read error");
    }
    return QString();
}
