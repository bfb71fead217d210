#pragma once

#include <QString>
#include <QStringView>

// Colour texts of the settings file: six hexadecimal digits RRGGBB. A colour value packs them as
// red + 256 * green + 65536 * blue.

qint32 ToColor(const QString &text);
// The colour text as the palette reads its digits: blanks and tabs around it removed.
QString TrimColorText(QStringView text);
// The leading hexadecimal digits of a short text, after blanks are removed; 0 when there are none.
qint32 ToValue(const QString &text);

constexpr int ColorRed(qint32 color)
{
    return color & 0xFF;
}
constexpr int ColorGreen(qint32 color)
{
    return (color >> 8) & 0xFF;
}
constexpr int ColorBlue(qint32 color)
{
    return (color >> 16) & 0xFF;
}
