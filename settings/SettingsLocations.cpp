#include "settings/SettingsLocations.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QStringList ConfigurationFolders()
{
    QStringList folders = QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation);
    // On Windows Qt adds the program's own folder and its "data" folder: the file beside the
    // program is asked for first anyway, and those are neither the user's nor the system's.
    const QString own = QCoreApplication::applicationDirPath();
    folders.removeIf([&own](const QString &folder) {
        const QString clean = QDir::cleanPath(folder);
        return !own.isEmpty() && (clean == own || clean == own + QStringLiteral("/data"));
    });
    return folders;
}

QStringList SettingsFileCandidates(const QString &folder, const QString &baseName,
                                   const QStringList &configFolders, const QString &installedConfigFolder)
{
    const QString fileName = baseName + QStringLiteral(".xml");
    QStringList candidates{QDir::cleanPath(QDir(folder).absoluteFilePath(fileName))};
    QStringList folders = configFolders;
    if (!installedConfigFolder.isEmpty())
        folders.append(QDir(folder).absoluteFilePath(installedConfigFolder));
    for (const QString &configFolder : std::as_const(folders)) {
        const QString candidate = QDir::cleanPath(QDir(configFolder).absoluteFilePath(baseName + u'/' + fileName));
        if (!candidates.contains(candidate))
            candidates.append(candidate);
    }
    for (QString &candidate : candidates)
        candidate = QDir::toNativeSeparators(candidate);
    return candidates;
}

QStringList SettingsFileCandidates(const QString &folder, const QString &baseName)
{
    return SettingsFileCandidates(folder, baseName, ConfigurationFolders(),
                                  QStringLiteral(TAVRELO_INSTALLED_CONFIG_FOLDER));
}

QString FindSettingsFile(const QStringList &candidates)
{
    for (const QString &candidate : candidates) {
        if (QFileInfo(candidate).isFile())
            return candidate;
    }
    return candidates.value(0);
}
