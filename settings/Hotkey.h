#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

// A global key of the settings file, in the portable text form of a key sequence: modifiers and
// one key joined by "+", "Ctrl+Alt+1". Modifiers are Ctrl, Alt, Shift and Meta (also written Win
// or Super); the key is a letter, a digit, F1 to F24 or a named key (Insert, Home, Space, ...).
// Letter case and blanks around the parts do not matter.
struct Hotkey {
    enum Modifier : unsigned { Ctrl = 1, Alt = 2, Shift = 4, Meta = 8 };

    unsigned modifiers = 0;
    // Qt's key code (Qt::Key): letters upper case, Qt::Key_F1 and on, Qt::Key_Insert and so on.
    int key = 0;

    // The key as the palette shows it: modifiers in the order Ctrl, Alt, Shift, Meta, then the
    // key, "Ctrl+Alt+1".
    QString text() const;
    bool operator==(const Hotkey &) const = default;
};

// Why a key text is not a key.
enum class HotkeyFault {
    None,
    Unreadable, // junk, an unknown name, two keys, or a modifier without a key
    NoModifier, // a letter, digit or named key with Shift at most: it would take that key from typing
};

struct HotkeyReading {
    std::optional<Hotkey> key;
    HotkeyFault fault = HotkeyFault::None;
};

// Reads a key text. An empty text (blanks only) is no key and no fault: the item has no key.
HotkeyReading ReadHotkey(QStringView text);

// One key of the settings file and what it does.
struct HotkeyAssignment {
    enum class Target { Item, Join, Palette };
    Target target = Target::Item;
    qint32 item = -1; // the item's index, for Target::Item
    QString written; // the text as the file writes it
    Hotkey key;
};

// A key of the settings file that the palette does not take, and why.
struct HotkeyRefusal {
    enum class Reason { Unreadable, NoModifier, Duplicate };
    Reason reason = Reason::Unreadable;
    HotkeyAssignment assignment; // key is set only for Duplicate
    // For Duplicate: the assignment that had the key first.
    HotkeyAssignment first;
};

// The keys to take: every readable key once, the first assignment of a key winning, in the
// order given; the others refused with their reason.
struct HotkeyPlan {
    QList<HotkeyAssignment> keys;
    QList<HotkeyRefusal> refusals;
};

// Plans the keys of written assignments (target, item and written text set; key not yet read).
// Assignments with an empty text are left out.
HotkeyPlan PlanHotkeys(const QList<HotkeyAssignment> &written);
