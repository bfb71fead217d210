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
//   3. the same in installedConfigFolder, a path relative to folder (the configuration folder
//      of an installation into a prefix other than the system's, such as ~/.local or /opt).
// A folder named twice is listed once, where it first appears.
QStringList SettingsFileCandidates(const QString &folder, const QString &baseName,
                                   const QStringList &configFolders, const QString &installedConfigFolder);
// The same with the desktop's configuration folders and this build's installation layout.
QStringList SettingsFileCandidates(const QString &folder, const QString &baseName);

// The first candidate that is a file, or the first candidate when none is.
QString FindSettingsFile(const QStringList &candidates);
