#include "settings/SettingsFileLoad.h"

#include <QDir>
#include <QFileInfo>

SettingsFileLoad LoadSettingsFile(const QString &path)
{
    SettingsFileLoad load{std::make_unique<Cls_MySettingFile>()};
    const QFileInfo info(path);
    load.settings->Path(QDir::toNativeSeparators(info.absolutePath()));
    load.settings->Name(info.fileName());
    if (!load.settings->LoadFile()) {
        load.problem = CheckSettingsFile(path);
        if (load.problem == SettingsFileProblem::None)
            load.problem = SettingsFileProblem::ReadFailed;
    }
    return load;
}
