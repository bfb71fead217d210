#include "ui/PaletteNotices.h"

#include "services/mdl_All.h"
#include "settings/SettingsReload.h"

NoticeLine::NoticeLine(const QString &name, const QString &text, QWidget *frame) : QLabel(frame)
{
    setObjectName(name);
    setFont(frame->font());
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setText(text);
    setVisible(false);
}

void NoticeLine::setMessage(const QString &message)
{
    setToolTip(message);
    setAccessibleDescription(message);
}

ReloadNotice::ReloadNotice(QWidget *frame) : NoticeLine(QStringLiteral("Lbl_Notice"), Text(), frame)
{
}

bool ReloadNotice::tell(const ReloadRefusal &refusal)
{
    setMessage(Message(refusal));
    return isHidden();
}

QString ReloadNotice::Text()
{
    return QStringLiteral("！設定を読み直せません");
}

QString ReloadNotice::Message(const ReloadRefusal &refusal)
{
    // A tooltip's lines end in LF alone.
    const QString kept = QStringLiteral("設定ファイルを読み直せませんでした。ボタンは前のままです。\n");
    const QString maybeBeingWritten = QStringLiteral("。保存の途中かもしれません");
    QString reason;
    switch (refusal.fault) {
    case ReloadFault::None:
    case ReloadFault::Unreadable:
        return kept + MissingFileMessage({refusal.file}, refusal.problem).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    case ReloadFault::Empty: reason = QStringLiteral("以下のファイルは空です") + maybeBeingWritten; break;
    case ReloadFault::UnclosedDataSetting:
        reason = QStringLiteral("以下のファイルの <DataSetting> に終わりの </DataSetting> がありません") + maybeBeingWritten;
        break;
    case ReloadFault::UnclosedColorSetting:
        reason = QStringLiteral("以下のファイルの <ColorSetting> に終わりの </ColorSetting> がありません") + maybeBeingWritten;
        break;
    case ReloadFault::NoDataSetting: reason = QStringLiteral("以下のファイルに <DataSetting> がありません"); break;
    }
    return kept + QStringLiteral("%1\n『%2』").arg(reason, refusal.file);
}

KeyNotice::KeyNotice(QWidget *frame) : NoticeLine(QStringLiteral("Lbl_KeyNotice"), Text(), frame)
{
}

void KeyNotice::tell(const QStringList &refusals)
{
    // A tooltip's lines end in LF alone.
    setMessage(refusals.join(u'\n'));
    setVisible(!refusals.isEmpty());
}

QString KeyNotice::Text()
{
    return QStringLiteral("！使えないキーがあります");
}
