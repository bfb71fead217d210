#include "app/mdl_All.h"

#include "app/mdl_ErrorFunction.h"
#include "settings/SettingsLocations.h"

#include <QCoreApplication>
#include <QFileInfo>

QString AppPath;
QString ExeName;
std::unique_ptr<Cls_MySettingFile> Settings;

QString MissingFileMessage(const QStringList &strA_Files)
{
    QString prompt = QStringLiteral("以下のファイルがみあたりません");
    for (const QString &file : strA_Files)
        prompt += QStringLiteral("\r\n『%1』").arg(file);
    return prompt;
}

bool LoadSettings()
{
    Settings = std::make_unique<Cls_MySettingFile>();
    // The file beside the program first; an installed palette's folder is not the user's to
    // edit, so when that file is missing the configuration folders are asked.
    const QStringList candidates = SettingsFileCandidates(AppPath, ExeName);
    const QString file = FindSettingsFile(candidates);
    Settings->Path(file == candidates.first() ? AppPath : QFileInfo(file).absolutePath());
    Settings->Name(ExeName + QStringLiteral(".xml"));
    const bool isLoaded = Settings->LoadFile();
    if (!isLoaded)
        ShowMessageBox(MsgBox::Information, MissingFileMessage(candidates));
    return isLoaded;
}

void EndApplication()
{
    Settings.reset();
    // Leaving the loop rather than killing the process lets the desktop take over the
    // clipboard's last text.
    QCoreApplication::exit(0);
}
