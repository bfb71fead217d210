#pragma once

#include "settings/Cls_MySettingFile.h"
#include "xml/SettingsFileAccess.h"

#include <QString>
#include <QStringList>

#include <memory>

// Values that live for the whole run, set once during start-up.
extern QString AppPath;
extern QString ExeName;
// The one settings object; empty before LoadSettings and after EndApplication.
extern std::unique_ptr<Cls_MySettingFile> Settings;

// Creates Settings and reads ExeName + ".xml" from AppPath or, when it is not there, from the
// configuration folders (SettingsFileCandidates). A file that cannot be read is announced once;
// start-up goes on with an empty palette.
bool LoadSettings();
// The prompt that announces a settings file that could not be read: with the reason, and the
// places looked at (all of them when the file is missing, else the one that was found).
QString MissingFileMessage(const QStringList &strA_Files, SettingsFileProblem problem = SettingsFileProblem::Missing);
// Releases Settings and leaves the event loop, so that the process ends.
void EndApplication();
