// The word joining of the built-in button, with the guarantees it gives for any text.
// Input: one flag byte (bit 0: the text is UTF-16 code units), then the text.
#include "FuzzSupport.h"

#include "settings/WordJoining.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const QString text = fuzz::text(fuzz::bytes(data + 1, size - 1), data[0] & 1);
    const QString result = ConvertLines(text);

    // Every space is a separator or trimmed away; nothing else is removed or added, and only
    // word initials change case, which never makes or breaks a CR or an LF.
    QString withoutSpaces = text;
    withoutSpaces.remove(u' ');
    if (result.contains(u' '))
        fuzz::fail("a space remains", result);
    if (result.count(QStringLiteral("\r\n")) != withoutSpaces.count(QStringLiteral("\r\n")))
        fuzz::fail("line breaks not kept", text);
    if (result.count(u'\r') != text.count(u'\r') || result.count(u'\n') != text.count(u'\n'))
        fuzz::fail("CR or LF count changed", text);
    const bool hasCasedCharacter = std::any_of(text.begin(), text.end(),
                                               [](QChar c) { return c.isSurrogate() || QString(c).toUpper() != QString(c); });
    if (!hasCasedCharacter && result != withoutSpaces)
        fuzz::fail("text without cased letters changed beyond its spaces", text);
    return 0;
}
