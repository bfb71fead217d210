#pragma once

#include <QString>
#include <QStringList>

// The configuration folders of the desktop, the user's first, then the system's: on Linux
// $XDG_CONFIG_HOME (~/.config), then each of $XDG_CONFIG_DIRS (/etc/xdg).
QStringList ConfigurationFolders();

// The files a program named baseName that lies in folder reads its settings from, in the order
// it looks for them:
//   1. folder/baseName.xml, the file beside the program (a renamed copy, a portable folder);
//   2. configFolder/baseName/baseName.xml for each of configFolders, in their order;
//   3. the same in each of installedConfigFolders, relative to folder or absolute (the
//      configuration folder of the installation the program belongs to, see below).
// A folder named twice is listed once, where it first appears.
QStringList SettingsFileCandidates(const QString &folder, const QString &baseName, const QStringList &configFolders,
                                   const QStringList &installedConfigFolders);

// The configuration folders of the installation a program in folder belongs to: configured, the
// one of the layout the build was configured for, relative to the program's folder (../etc/xdg
// for ~/.local, ../../etc/xdg for /usr); and for a program in packageProgramFolder (/usr/bin,
// where the Debian package puts it whatever the configured prefix) also packageConfigFolder
// (/etc/xdg, where the package puts the example).
QStringList InstallationConfigFolders(const QString &folder, const QString &configured, const QString &packageProgramFolder,
                                      const QString &packageConfigFolder);
// The same with the desktop's configuration folders and this build's installation layout.
QStringList SettingsFileCandidates(const QString &folder, const QString &baseName);

// The first candidate that is a file; empty when none is.
QString FindSettingsFile(const QStringList &candidates);
