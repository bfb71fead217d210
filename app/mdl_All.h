#pragma once

#include "settings/Cls_MySettingFile.h"
#include "xml/SettingsFileAccess.h"

#include <QString>

#include <memory>

// Values that live for the whole run, set once during start-up.
extern QString AppPath;
extern QString ExeName;
// The one settings object; empty before LoadSettings and after EndApplication.
extern std::unique_ptr<Cls_MySettingFile> Settings;

// Creates Settings and reads ExeName + ".xml" from AppPath. A file that cannot be read is
// announced once; start-up goes on with an empty palette.
bool LoadSettings();
// The full path of the settings file that LoadSettings looks for.
QString SettingsFilePath();
// The prompt that announces a settings file that could not be read, with the reason: missing,
// not a regular file, no permission, too large or a failed read.
QString MissingFileMessage(const QString &strA_File, SettingsFileProblem problem = SettingsFileProblem::Missing);
// Releases Settings and leaves the event loop, so that the process ends.
void EndApplication();
