#include "ui/PaletteKeys.h"

#include "platform/NativeGlobalKeys.h"
#include "platform/NativePaste.h"
#include "settings/Cls_MySettingFile.h"

namespace {

const QString kJoinName = QStringLiteral("空白詰め＋先頭大文字化");

QString Quoted(const QString &text)
{
    return QStringLiteral("「%1」").arg(text.trimmed());
}

}

PaletteKeys::PaletteKeys(QObject *parent) : QObject(parent)
{
}

PaletteKeys::~PaletteKeys() = default;

void PaletteKeys::take(Cls_MySettingFile &settings, const QList<ButtonItem> &buttons)
{
    m_itemNames.clear();
    for (const ButtonItem &item : buttons)
        m_itemNames.insert(item.index, item.name);
    m_plan = PlanHotkeys(settings.HotkeyAssignments(buttons));
    m_notTaken.clear();
    m_isUnavailable = false;

    std::vector<NativeGlobalKeys::Key> keys;
    for (qsizetype id = 0; id < m_plan.keys.size(); ++id) {
        const HotkeyAssignment &assignment = m_plan.keys[id];
        keys.push_back({int(id), assignment.key.modifiers, assignment.key.key, assignment.key.text().toStdString(),
                        ownerName(assignment).toStdString()});
    }
    // No grabber before the settings give a key: a palette without keys leaves the desktop alone.
    if (!m_grabber && !keys.empty()) {
        NativeGlobalKeys::Listener listener;
        listener.pressed = [this](int id) { pressed(id); };
        listener.taken = [this](const std::vector<NativeGlobalKeys::Result> &results) { taken(results); };
        m_grabber = NativeGlobalKeys::Make(std::move(listener));
    }
    if (m_grabber)
        m_grabber->take(keys);
    emit changed();
}

void PaletteKeys::taken(const std::vector<NativeGlobalKeys::Result> &results)
{
    m_notTaken.clear();
    m_isUnavailable = false;
    for (const NativeGlobalKeys::Result &result : results) {
        if (result.id < 0 || result.id >= m_plan.keys.size())
            continue;
        const QString key = m_plan.keys[result.id].key.text();
        switch (result.outcome) {
        case NativeGlobalKeys::Outcome::Taken: break;
        case NativeGlobalKeys::Outcome::InUse:
            m_notTaken.insert(result.id, QStringLiteral("%1 は他のプログラムが使用中です").arg(key));
            break;
        case NativeGlobalKeys::Outcome::NoSuchKey:
            m_notTaken.insert(result.id, QStringLiteral("%1 はこのキーボードにありません").arg(key));
            break;
        case NativeGlobalKeys::Outcome::Refused:
            m_notTaken.insert(result.id, QStringLiteral("%1 はデスクトップに割り当てられませんでした").arg(key));
            break;
        case NativeGlobalKeys::Outcome::Unavailable:
            m_isUnavailable = true;
            m_notTaken.insert(result.id, QStringLiteral("%1 はこのデスクトップでは使えません").arg(key));
            break;
        }
    }
    emit changed();
}

void PaletteKeys::pressed(int id)
{
    if (id < 0 || id >= m_plan.keys.size())
        return;
    // Asked at once, before anything can move the focus; the run itself waits for the event
    // that brought the key to end.
    const std::uint64_t target = NativePaste::FocusedProgram();
    const HotkeyAssignment assignment = m_plan.keys[id];
    QMetaObject::invokeMethod(
        this,
        [this, assignment, target] {
            switch (assignment.target) {
            case HotkeyAssignment::Target::Item: emit itemPressed(assignment.item, target); break;
            case HotkeyAssignment::Target::Join: emit joinPressed(target); break;
            case HotkeyAssignment::Target::Palette: emit palettePressed(); break;
            }
        },
        Qt::QueuedConnection);
}

QString PaletteKeys::ownerName(const HotkeyAssignment &assignment) const
{
    switch (assignment.target) {
    case HotkeyAssignment::Target::Join: return kJoinName;
    case HotkeyAssignment::Target::Palette: return QStringLiteral("パレットを手前に表示");
    case HotkeyAssignment::Target::Item: break;
    }
    return m_itemNames.value(assignment.item);
}

QString PaletteKeys::refusalLine(const HotkeyRefusal &refusal) const
{
    const QString owner = ownerName(refusal.assignment);
    switch (refusal.reason) {
    case HotkeyRefusal::Reason::Unreadable:
        return QStringLiteral("%1（%2）はキーとして読めません").arg(Quoted(refusal.assignment.written), owner);
    case HotkeyRefusal::Reason::NoModifier:
        return QStringLiteral("%1（%2）には Ctrl、Alt か Win が必要です").arg(Quoted(refusal.assignment.written), owner);
    case HotkeyRefusal::Reason::Duplicate: break;
    }
    return QStringLiteral("%1（%2）は「%3」と重なっています").arg(refusal.assignment.key.text(), owner, ownerName(refusal.first));
}

QStringList PaletteKeys::refusals() const
{
    QStringList lines;
    if (m_isUnavailable)
        lines.append(QStringLiteral("このデスクトップではグローバルキーを使えません。ボタンはそのまま使えます。"));
    for (const HotkeyRefusal &refusal : m_plan.refusals)
        lines.append(refusalLine(refusal));
    if (!m_isUnavailable) {
        for (auto it = m_notTaken.cbegin(); it != m_notTaken.cend(); ++it)
            lines.append(QStringLiteral("%1（%2）").arg(it.value(), ownerName(m_plan.keys[it.key()])));
    }
    return lines;
}

QString PaletteKeys::tipOf(HotkeyAssignment::Target target, qint32 item) const
{
    for (qsizetype id = 0; id < m_plan.keys.size(); ++id) {
        const HotkeyAssignment &assignment = m_plan.keys[id];
        if (assignment.target == target && assignment.item == item)
            return m_notTaken.value(int(id), assignment.key.text());
    }
    for (const HotkeyRefusal &refusal : m_plan.refusals) {
        if (refusal.assignment.target == target && refusal.assignment.item == item)
            return refusalLine(refusal);
    }
    return QString();
}

QString PaletteKeys::itemKeyTip(qint32 item) const
{
    return tipOf(HotkeyAssignment::Target::Item, item);
}

QString PaletteKeys::joinKeyTip() const
{
    return tipOf(HotkeyAssignment::Target::Join, -1);
}
