#include "app/mdl_All.h"

#include "app/mdl_ErrorFunction.h"
#include "xml/Cls_XML.h"

#include <QCoreApplication>

QString AppPath;
QString ExeName;
std::unique_ptr<Cls_MySettingFile> Settings;

QString SettingsFilePath()
{
    return Cls_XML::JoinPath_str(AppPath, ExeName + QStringLiteral(".xml"));
}

QString MissingFileMessage(const QString &strA_File)
{
    return QStringLiteral("以下のファイルがみあたりません\r\n『%1』").arg(strA_File);
}

bool LoadSettings()
{
    Settings = std::make_unique<Cls_MySettingFile>();
    Settings->Path(AppPath);
    Settings->Name(ExeName + QStringLiteral(".xml"));
    const bool isLoaded = Settings->LoadFile();
    if (!isLoaded)
        ShowMessageBox(MsgBox::Information, MissingFileMessage(SettingsFilePath()));
    return isLoaded;
}

void EndApplication()
{
    Settings.reset();
    // Leaving the loop rather than killing the process lets the desktop take over the
    // clipboard's last text.
    QCoreApplication::exit(0);
}
