#include "settings/ColorText.h"

#include "base/mdl_ErrorFunction.h"
#include "xml/TextHelpers.h"

qint32 ToValue(const QString &text)
{
    quint32 value = 0;
    for (QChar c : TrimBlanks(text)) {
        const int digit = HexDigitValue(c);
        if (digit < 0)
            break;
        value = value * 16 + quint32(digit);
    }
    return qint32(value);
}

QString TrimColorText(QStringView text)
{
    const auto isBlank = [](QChar c) { return c == u' ' || c == u'\t'; };
    while (!text.isEmpty() && isBlank(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && isBlank(text.back()))
        text.chop(1);
    return text.toString();
}

qint32 ToColor(const QString &text)
{
    try {
        QString colorText = text;
        // A number written with decimal digits only stands for its six-digit form: 8080 is 008080.
        const QString trimmed = TrimBlanks(text);
        if (IsDecimalDigits(trimmed)) {
            QString digits = trimmed;
            while (digits.size() > 1 && digits.front() == u'0')
                digits.remove(0, 1);
            colorText = digits.rightJustified(6, u'0');
        }
        colorText = TrimColorText(colorText).replace(u'\t', u' ');
        const qint32 red = ToValue(colorText.mid(0, 2));
        const qint32 green = ToValue(colorText.mid(2, 2));
        const qint32 blue = ToValue(colorText.mid(4, 2));
        return red + 256 * green + 65536 * blue;
    } catch (...) {
        ShowTrappedError();
        return 0;
    }
}
