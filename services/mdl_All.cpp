#include "services/mdl_All.h"

#include "base/mdl_ErrorFunction.h"
#include "settings/SettingsFileLoad.h"
#include "settings/SettingsLocations.h"

#include <QCoreApplication>

QString AppPath;
QString ExeName;
std::unique_ptr<Cls_MySettingFile> Settings;

QString MissingFileMessage(const QStringList &strA_Files, SettingsFileProblem problem)
{
    QString reason;
    switch (problem) {
    case SettingsFileProblem::Missing: reason = QStringLiteral("以下のファイルがみあたりません"); break;
    case SettingsFileProblem::NotRegularFile:
        reason = QStringLiteral("以下は通常のファイルではないため、読み込みませんでした");
        break;
    case SettingsFileProblem::NoPermission: reason = QStringLiteral("以下のファイルを読む権限がありません"); break;
    case SettingsFileProblem::TooLarge:
        reason = QStringLiteral("以下のファイルは %1 MB を超えるため、読み込みませんでした").arg(SettingsFileLimit::Bytes >> 20);
        break;
    case SettingsFileProblem::None:
    case SettingsFileProblem::ReadFailed: reason = QStringLiteral("以下のファイルを読み込めませんでした"); break;
    }
    for (const QString &file : strA_Files)
        reason += QStringLiteral("\r\n『%1』").arg(file);
    return reason;
}

bool LoadSettings()
{
    // The file beside the program first; an installed palette's folder is not the user's to
    // edit, so when that file is missing the configuration folders are asked.
    const QStringList candidates = SettingsFileCandidates(AppPath, ExeName);
    const QString found = FindSettingsFile(candidates);
    const QString file = found.isEmpty() ? candidates.first() : found;
    SettingsFileLoad load = LoadSettingsFile(file);
    Settings = std::move(load.settings);
    if (load.problem == SettingsFileProblem::None)
        return true;
    // A file that is there but cannot be read is named alone, with its reason; when there is
    // none, every place looked at is named.
    ShowMessageBox(MsgBox::Information, load.problem == SettingsFileProblem::Missing ? MissingFileMessage(candidates)
                                                                                     : MissingFileMessage({file}, load.problem));
    return false;
}

void EndApplication()
{
    Settings.reset();
    // Leaving the loop rather than killing the process lets the desktop take over the
    // clipboard's last text.
    QCoreApplication::exit(0);
}
