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
    // Read in pieces rather than asking for the cap at once, which would reserve 256 MB for every
    // file; the cap still holds for a file that grew after it was measured.
    constexpr qint64 kPiece = qint64(1) << 20;
    bytes.reserve(qsizetype(qMin(file.size(), SettingsFileLimit::Bytes)));
    while (bytes.size() <= SettingsFileLimit::Bytes) {
        const QByteArray piece = file.read(kPiece);
        if (piece.isEmpty())
            break;
        bytes.append(piece);
    }
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
    case SettingsFileProblem::None: break;
    case SettingsFileProblem::Missing: return QStringLiteral("no such file");
    case SettingsFileProblem::NotRegularFile: return QStringLiteral("not a regular file");
    case SettingsFileProblem::NoPermission: return QStringLiteral("permission denied");
    case SettingsFileProblem::TooLarge: return QStringLiteral("larger than %1 MB").arg(SettingsFileLimit::Bytes >> 20);
    case SettingsFileProblem::ReadFailed: return QStringLiteral("read error");
    }
    return QString();
}
