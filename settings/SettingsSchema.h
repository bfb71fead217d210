#pragma once

#include "xml/TextHelpers.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

// What the palette reads from its settings file: two sections with their elements, and in
// DataSetting the items Item1 to Item100, each with its own elements. The model, the window,
// tavrelo-cli and its check all read the file by these names.
namespace SettingsSchema {

inline const QString ColorSetting = QStringLiteral("ColorSetting");
inline const QString DataSetting = QStringLiteral("DataSetting");

// The colours of ColorSetting.
inline const QString Base = QStringLiteral("Base");
inline const QString Title = QStringLiteral("Title"); // in ColorSetting a colour, in DataSetting the caption
inline const QString Label = QStringLiteral("Label");
inline const QString Back = QStringLiteral("Back");
// DataSetting's own, looked up in the whole section, items included.
inline const QString Link = QStringLiteral("Link");
inline const QString Version = QStringLiteral("Version");
inline const QString JoinKey = QStringLiteral("JoinKey"); // the global key of the built-in button
inline const QString PaletteKey = QStringLiteral("PaletteKey"); // the global key that brings the palette forward
// An item's.
inline const QString Name = QStringLiteral("Name");
inline const QString Reg = QStringLiteral("Reg");
inline const QString Replace = QStringLiteral("Replace");
inline const QString Data = QStringLiteral("Data");
inline const QString Key = QStringLiteral("Key"); // its global key
inline const QString Paste = QStringLiteral("Paste"); // a run by its key pastes the result where the user types
inline const QString Restore = QStringLiteral("Restore"); // and then gives the clipboard back

inline const QStringList ColorElements = {Base, Title, Label, Back};
inline const QStringList WindowElements = {Title, Link, Version, JoinKey, PaletteKey};
inline const QStringList ItemElements = {Name, Reg, Replace, Data, Key, Paste, Restore};
// The elements that are switches: "true" in any letter case switches them on.
inline const QStringList SwitchElements = {Version, Paste, Restore};

// Items are elements named ItemPrefix and a number; the palette reads Item1 to Item100, the
// item indexes 0 to ItemCount - 1.
inline const QString ItemPrefix = QStringLiteral("Item");
constexpr qint32 ItemCount = 100;

// The element of the item with this index: "Item" and index + 1 in decimal (Item1 for 0).
inline QString ItemElement(qint64 index)
{
    return ItemPrefix + QString::number(index + 1);
}

// The number of an item element as ItemElement names it: ItemPrefix and decimal digits without
// a leading zero ("Item3" is 3), whatever its size; nothing for Item0, Item01, item3 or a number
// beyond 64 bits.
inline std::optional<qint64> ItemNumber(QStringView element)
{
    if (!element.startsWith(ItemPrefix))
        return std::nullopt;
    const QStringView digits = element.sliced(ItemPrefix.size());
    if (!IsDecimalDigits(digits) || digits.startsWith(u'0'))
        return std::nullopt;
    bool ok = false;
    const qint64 number = digits.toLongLong(&ok, 10);
    return ok ? std::optional<qint64>(number) : std::nullopt;
}

// How the palette takes an element named ItemPrefix and decimal digits: as one of its items, or
// never, and why. Anything else is no item element at all.
enum class ItemElementReading {
    Item, // Item1 to Item100
    NotAnItem, // not ItemPrefix and decimal digits
    FromZero, // Item0: items are numbered from Item1
    LeadingZero, // Item01
    BeyondLast, // Item101 and beyond
};

inline ItemElementReading ReadItemElement(QStringView element)
{
    if (!element.startsWith(ItemPrefix) || !IsDecimalDigits(element.sliced(ItemPrefix.size())))
        return ItemElementReading::NotAnItem;
    const QStringView digits = element.sliced(ItemPrefix.size());
    if (digits == u"0")
        return ItemElementReading::FromZero;
    if (digits.startsWith(u'0'))
        return ItemElementReading::LeadingZero;
    const std::optional<qint64> number = ItemNumber(element);
    return number && *number <= ItemCount ? ItemElementReading::Item : ItemElementReading::BeyondLast;
}

// Whether a switch (Version, Paste, Restore) of this text is on: "true" in any letter case,
// nothing else.
inline bool IsSwitchOn(QStringView value)
{
    return value.toString().toLower() == QStringLiteral("true");
}

}
