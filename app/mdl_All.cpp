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

QString MissingFileMessage(const QString &strA_File, SettingsFileProblem problem)
{
    QString reason;
    switch (problem) {
    case SettingsFileProblem::Missing:
        reason = QStringLiteral("以下のファイルがみあたりません");
        break;
    case SettingsFileProblem::NotRegularFile:
        reason = QStringLiteral("以下は通常のファイルではないため、読み込みませんでした");
        break;
    case SettingsFileProblem::NoPermission:
        reason = QStringLiteral("以下のファイルを読む権限がありません");
        break;
    case SettingsFileProblem::TooLarge:
        reason = QStringLiteral("以下のファイルは %1 MB を超えるため、読み込みませんでした").arg(SettingsFileLimit::Bytes >> 20);
        break;
    case SettingsFileProblem::None:
    case SettingsFileProblem::ReadFailed:
        reason = QStringLiteral("以下のファイルを読み込めませんでした");
        break;
    }
    return reason + QStringLiteral("\r\n『%1』").arg(strA_File);
}

bool LoadSettings()
{
    Settings = std::make_unique<Cls_MySettingFile>();
    Settings->Path(AppPath);
    Settings->Name(ExeName + QStringLiteral(".xml"));
    const bool isLoaded = Settings->LoadFile();
    if (!isLoaded)
        ShowMessageBox(MsgBox::Information, MissingFileMessage(SettingsFilePath(), CheckSettingsFile(SettingsFilePath())));
    return isLoaded;
}

void EndApplication()
{
    Settings.reset();
    // Leaving the loop rather than killing the process lets the desktop take over the
    // clipboard's last text.
    QCoreApplication::exit(0);
}
