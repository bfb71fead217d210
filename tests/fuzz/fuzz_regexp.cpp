// Pattern, replacement and text through RegExp::Replace with every flag combination.
// Input: one flag byte (bit 0: the parts are UTF-16 code units), then pattern NUL replacement NUL text.
#include "FuzzSupport.h"

#include "settings/RegExp.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const bool asUtf16 = data[0] & 1;
    const QList<QByteArrayView> parts = fuzz::split(fuzz::bytes(data + 1, size - 1), 3);
    const QString pattern = fuzz::text(parts.value(0), asUtf16);
    const QString replacement = fuzz::text(parts.value(1), asUtf16);
    const QString text = fuzz::text(parts.value(2), asUtf16);

    int syntaxErrors = 0;
    for (int flags = 0; flags < 4; ++flags) {
        RegExp expression;
        expression.Global(flags & 1);
        expression.IgnoreCase(flags & 2);
        expression.Pattern(pattern);
        try {
            expression.Replace(text, replacement);
        } catch (const RegExpError &e) {
            if (e.patternOffset() >= 0)
                ++syntaxErrors;
            if (e.patternOffset() > pattern.size())
                fuzz::fail("syntax error offset beyond the pattern", pattern);
        }
    }
    // Whether a pattern compiles does not depend on the flags.
    if (syntaxErrors != 0 && syntaxErrors != 4)
        fuzz::fail("syntax error only under some flags", pattern);
    return 0;
}
