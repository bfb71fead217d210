#include "settings/Hotkey.h"

#include <QHash>
#include <QStringList>

namespace {

struct NamedKey {
    QString name; // as the palette writes it
    int key;
    // Typing never needs it: it may stand without a modifier.
    bool isTypingFree = false;
};

// The named keys, the name the palette writes first; then other spellings of them.
const QList<NamedKey> &NamedKeys()
{
    static const QList<NamedKey> keys{
        {QStringLiteral("Insert"), Qt::Key_Insert},
        {QStringLiteral("Delete"), Qt::Key_Delete},
        {QStringLiteral("Home"), Qt::Key_Home},
        {QStringLiteral("End"), Qt::Key_End},
        {QStringLiteral("PageUp"), Qt::Key_PageUp},
        {QStringLiteral("PageDown"), Qt::Key_PageDown},
        {QStringLiteral("Left"), Qt::Key_Left},
        {QStringLiteral("Up"), Qt::Key_Up},
        {QStringLiteral("Right"), Qt::Key_Right},
        {QStringLiteral("Down"), Qt::Key_Down},
        {QStringLiteral("Space"), Qt::Key_Space},
        {QStringLiteral("Tab"), Qt::Key_Tab},
        {QStringLiteral("Return"), Qt::Key_Return},
        {QStringLiteral("Enter"), Qt::Key_Enter},
        {QStringLiteral("Escape"), Qt::Key_Escape},
        {QStringLiteral("Backspace"), Qt::Key_Backspace},
        {QStringLiteral("Pause"), Qt::Key_Pause, true},
        {QStringLiteral("Print"), Qt::Key_Print, true},
        {QStringLiteral("ScrollLock"), Qt::Key_ScrollLock, true},
        {QStringLiteral("Ins"), Qt::Key_Insert},
        {QStringLiteral("Del"), Qt::Key_Delete},
        {QStringLiteral("PgUp"), Qt::Key_PageUp},
        {QStringLiteral("PgDown"), Qt::Key_PageDown},
        {QStringLiteral("Esc"), Qt::Key_Escape},
        {QStringLiteral("PrintScreen"), Qt::Key_Print, true},
    };
    return keys;
}

const QList<QPair<QString, unsigned>> &ModifierNames()
{
    static const QList<QPair<QString, unsigned>> names{
        {QStringLiteral("Ctrl"), Hotkey::Ctrl},  {QStringLiteral("Control"), Hotkey::Ctrl},
        {QStringLiteral("Alt"), Hotkey::Alt},    {QStringLiteral("Shift"), Hotkey::Shift},
        {QStringLiteral("Meta"), Hotkey::Meta},  {QStringLiteral("Win"), Hotkey::Meta},
        {QStringLiteral("Super"), Hotkey::Meta},
    };
    return names;
}

std::optional<unsigned> ModifierOf(QStringView part)
{
    for (const auto &[name, modifier] : ModifierNames()) {
        if (part.compare(name, Qt::CaseInsensitive) == 0)
            return modifier;
    }
    return std::nullopt;
}

// The key of one part, and whether it may stand without a modifier.
std::optional<NamedKey> KeyOf(QStringView part)
{
    if (part.size() == 1) {
        const QChar c = part.at(0).toUpper();
        if ((c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9'))
            return NamedKey{QString(c), c.unicode()};
        return std::nullopt;
    }
    if (part.size() <= 3 && (part.at(0) == u'F' || part.at(0) == u'f')) {
        bool ok = false;
        const int number = part.sliced(1).toInt(&ok, 10);
        if (ok && number >= 1 && number <= 24 && !part.sliced(1).startsWith(u'0'))
            return NamedKey{QStringLiteral("F%1").arg(number), Qt::Key_F1 + number - 1, true};
        return std::nullopt;
    }
    for (const NamedKey &named : NamedKeys()) {
        if (part.compare(named.name, Qt::CaseInsensitive) == 0)
            return named;
    }
    return std::nullopt;
}

QString KeyName(int key)
{
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return QString(QChar(key));
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return QStringLiteral("F%1").arg(key - Qt::Key_F1 + 1);
    for (const NamedKey &named : NamedKeys()) {
        if (named.key == key)
            return named.name;
    }
    return QString();
}

}

QString Hotkey::text() const
{
    QStringList parts;
    for (const auto &[modifier, name] :
         {std::pair{Ctrl, "Ctrl"}, std::pair{Alt, "Alt"}, std::pair{Shift, "Shift"}, std::pair{Meta, "Meta"}}) {
        if (modifiers & modifier)
            parts.append(QString::fromLatin1(name));
    }
    parts.append(KeyName(key));
    return parts.join(u'+');
}

HotkeyReading ReadHotkey(QStringView text)
{
    const QStringView trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return {};
    Hotkey hotkey;
    std::optional<NamedKey> key;
    for (const QStringView part : trimmed.split(u'+')) {
        const QStringView name = part.trimmed();
        if (const std::optional<unsigned> modifier = ModifierOf(name); modifier && !key) {
            hotkey.modifiers |= *modifier;
            continue;
        }
        // One key, last: "Ctrl+A+B", "A+Ctrl" and "Ctrl+" are no keys.
        if (key || !(key = KeyOf(name)))
            return {std::nullopt, HotkeyFault::Unreadable};
    }
    if (!key)
        return {std::nullopt, HotkeyFault::Unreadable};
    hotkey.key = key->key;
    if (!key->isTypingFree && (hotkey.modifiers & ~unsigned(Hotkey::Shift)) == 0)
        return {std::nullopt, HotkeyFault::NoModifier};
    return {hotkey, HotkeyFault::None};
}

HotkeyPlan PlanHotkeys(const QList<HotkeyAssignment> &written)
{
    HotkeyPlan plan;
    QHash<QString, qsizetype> taken; // by the key's text, to its place in plan.keys
    for (HotkeyAssignment assignment : written) {
        const HotkeyReading reading = ReadHotkey(assignment.written);
        if (reading.fault != HotkeyFault::None) {
            plan.refusals.append(
                {reading.fault == HotkeyFault::NoModifier ? HotkeyRefusal::Reason::NoModifier : HotkeyRefusal::Reason::Unreadable,
                 assignment,
                 {}});
            continue;
        }
        if (!reading.key)
            continue;
        assignment.key = *reading.key;
        const QString text = assignment.key.text();
        if (const auto first = taken.constFind(text); first != taken.cend()) {
            plan.refusals.append({HotkeyRefusal::Reason::Duplicate, assignment, plan.keys[*first]});
            continue;
        }
        taken.insert(text, plan.keys.size());
        plan.keys.append(assignment);
    }
    return plan;
}
