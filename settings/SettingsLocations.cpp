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

QStringList SettingsFileCandidates(const QString &folder, const QString &baseName, const QStringList &configFolders,
                                   const QStringList &installedConfigFolders)
{
    const QString fileName = baseName + QStringLiteral(".xml");
    QStringList candidates{QDir::cleanPath(QDir(folder).absoluteFilePath(fileName))};
    QStringList folders = configFolders;
    for (const QString &installed : installedConfigFolders) {
        if (!installed.isEmpty())
            folders.append(QDir(folder).absoluteFilePath(installed));
    }
    for (const QString &configFolder : std::as_const(folders)) {
        const QString candidate = QDir::cleanPath(QDir(configFolder).absoluteFilePath(baseName + u'/' + fileName));
        if (!candidates.contains(candidate))
            candidates.append(candidate);
    }
    for (QString &candidate : candidates)
        candidate = QDir::toNativeSeparators(candidate);
    return candidates;
}

QStringList InstallationConfigFolders(const QString &folder, const QString &configured, const QString &packageProgramFolder,
                                      const QString &packageConfigFolder)
{
    QStringList folders{configured};
    // The folder as the system names it: /bin is a link to /usr/bin where /usr is merged.
    const QString real = QFileInfo(folder).canonicalFilePath();
    const QString packaged = QFileInfo(packageProgramFolder).canonicalFilePath();
    if (!packageProgramFolder.isEmpty() && !packageConfigFolder.isEmpty()
        && QDir::cleanPath(real.isEmpty() ? folder : real)
               == QDir::cleanPath(packaged.isEmpty() ? packageProgramFolder : packaged))
        folders.append(packageConfigFolder);
    return folders;
}

QStringList SettingsFileCandidates(const QString &folder, const QString &baseName)
{
    return SettingsFileCandidates(folder, baseName, ConfigurationFolders(),
                                  InstallationConfigFolders(folder, QStringLiteral(TAVRELO_INSTALLED_CONFIG_FOLDER),
                                                            QStringLiteral(TAVRELO_PACKAGE_PROGRAM_FOLDER),
                                                            QStringLiteral(TAVRELO_PACKAGE_CONFIG_FOLDER)));
}

QString FindSettingsFile(const QStringList &candidates)
{
    for (const QString &candidate : candidates) {
        if (QFileInfo(candidate).isFile())
            return candidate;
    }
    return QString();
}
