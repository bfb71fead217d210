#include "services/mdl_All.h"

#include "base/mdl_ErrorFunction.h"
#include "settings/SettingsLocations.h"
#include "settings/SettingsReload.h"

#include <QCoreApplication>
#include <QFileInfo>

QString AppPath;
QString ExeName;
std::unique_ptr<Cls_MySettingFile> Settings;

QString MissingFileMessage(const QStringList &strA_Files, SettingsFileProblem problem)
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
    for (const QString &file : strA_Files)
        reason += QStringLiteral("\r\n『%1』").arg(file);
    return reason;
}

QString ReloadRefusedNotice()
{
    return QStringLiteral("！設定を読み直せません");
}

QString ReloadRefusedMessage(const ReloadRefusal &refusal)
{
    // A tooltip's lines end in LF alone.
    const QString kept = QStringLiteral("設定ファイルを読み直せませんでした。ボタンは前のままです。\n");
    const QString maybeBeingWritten = QStringLiteral("。保存の途中かもしれません");
    QString reason;
    switch (refusal.fault) {
    case ReloadFault::None:
    case ReloadFault::Unreadable:
        return kept
            + MissingFileMessage({refusal.file}, refusal.problem == SettingsFileProblem::None ? SettingsFileProblem::ReadFailed
                                                                                              : refusal.problem)
                  .replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    case ReloadFault::Empty:
        reason = QStringLiteral("以下のファイルは空です") + maybeBeingWritten;
        break;
    case ReloadFault::UnclosedDataSetting:
        reason = QStringLiteral("以下のファイルの <DataSetting> に終わりの </DataSetting> がありません") + maybeBeingWritten;
        break;
    case ReloadFault::UnclosedColorSetting:
        reason = QStringLiteral("以下のファイルの <ColorSetting> に終わりの </ColorSetting> がありません") + maybeBeingWritten;
        break;
    case ReloadFault::NoDataSetting:
        reason = QStringLiteral("以下のファイルに <DataSetting> がありません");
        break;
    }
    return kept + QStringLiteral("%1\n『%2』").arg(reason, refusal.file);
}

namespace {

// A file that is there but cannot be read is named alone, with its reason; when there is none,
// every place looked at is named.
void ReportUnreadableFile(const QStringList &candidates, const QString &file)
{
    const SettingsFileProblem problem = CheckSettingsFile(file);
    if (problem == SettingsFileProblem::Missing)
        ShowMessageBox(MsgBox::Information, MissingFileMessage(candidates));
    else
        ShowMessageBox(MsgBox::Information,
                       MissingFileMessage({file}, problem == SettingsFileProblem::None ? SettingsFileProblem::ReadFailed : problem));
}

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
        ReportUnreadableFile(candidates, file);
    return isLoaded;
}

void EndApplication()
{
    Settings.reset();
    // Leaving the loop rather than killing the process lets the desktop take over the
    // clipboard's last text.
    QCoreApplication::exit(0);
}
