#pragma once

#include "settings/Cls_MySettingFile.h"
#include "xml/SettingsFileAccess.h"

#include <QString>

#include <memory>

// A settings file as start-up, a reload and tavrelo-cli all read it: the settings object, and
// when the file could not be read, why.
struct SettingsFileLoad {
    // Always made; its sections are empty when the file could not be read.
    std::unique_ptr<Cls_MySettingFile> settings;
    // None when the file was read; a file that passed every check and still did not load broke
    // off while it was read (ReadFailed).
    SettingsFileProblem problem = SettingsFileProblem::None;
};

// Reads the settings file at this path: its folder and name apart, code page 932 or UTF-8, the
// date placeholders filled in.
SettingsFileLoad LoadSettingsFile(const QString &path);
