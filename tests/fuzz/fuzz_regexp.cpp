// Pattern, replacement and text through RegExp::Replace with every flag combination, also as
// (?:pattern), which has no leading literal to scan for and is no literal, class or line pattern,
// so that the search by literal and the scans of those patterns must give the same text; and the possessive rewrite of
// the translated pattern against the pattern as translated, both made up of the translator's items. Input: one flag byte (bit 0:
// the parts are UTF-16 code units), then pattern NUL replacement NUL text.
#include "FuzzSupport.h"

#include "regexp/EcmaPatternTranslator.h"
#include "regexp/PcreCompileOptions.h"
#include "regexp/PossessiveRepeats.h"
#include "regexp/RegExp.h"

#include <initializer_list>
#include <memory>

namespace {

using Code = std::unique_ptr<pcre2_code, decltype(&pcre2_code_free)>;

Code compile(const QString &pattern, bool ignoreCase)
{
    int error = 0;
    PCRE2_SIZE offset = 0;
    return Code(pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.utf16()), pattern.size(),
                              kPcreCompileOptions | (ignoreCase ? PCRE2_CASELESS : 0u), &error, &offset, nullptr),
                &pcre2_code_free);
}

// Making a repeat possessive must not change any match: the match anchored at each start
// position, and its groups, are the same with and without the rewrite.
void checkPossessiveRewrite(const QString &pattern, const QString &text, bool ignoreCase)
{
    const TranslatedPattern translated = TranslateEcmaPattern(pattern);
    if (translated.errorCode != 0)
        return;
    TranslatedPattern rewritten = translated;
    MakeRepeatsPossessive(rewritten);
    if (rewritten.originalOffsets.size() != size_t(rewritten.pcrePattern.size()) + 1)
        fuzz::fail("possessive rewrite lost the pattern offsets", pattern);
    for (const TranslatedPattern *items : std::initializer_list<const TranslatedPattern *>{&translated, &rewritten}) {
        qsizetype at = 0;
        for (const PatternItem &item : items->items) {
            if (item.start != at || item.end <= item.start)
                fuzz::fail("the items do not follow each other", items->pcrePattern);
            at = item.end;
        }
        if (at != items->pcrePattern.size())
            fuzz::fail("the items do not make up the whole pattern", items->pcrePattern);
    }
    if (rewritten.pcrePattern == translated.pcrePattern)
        return;
    const Code before = compile(translated.pcrePattern, ignoreCase);
    const Code after = compile(rewritten.pcrePattern, ignoreCase);
    if (!before)
        return;
    if (!after)
        fuzz::fail("possessive rewrite does not compile", rewritten.pcrePattern);
    const std::unique_ptr<pcre2_match_context, decltype(&pcre2_match_context_free)> context(pcre2_match_context_create(nullptr),
                                                                                            &pcre2_match_context_free);
    pcre2_set_match_limit(context.get(), 100'000);
    const std::unique_ptr<pcre2_match_data, decltype(&pcre2_match_data_free)> first(
        pcre2_match_data_create_from_pattern(before.get(), nullptr), &pcre2_match_data_free);
    const std::unique_ptr<pcre2_match_data, decltype(&pcre2_match_data_free)> second(
        pcre2_match_data_create_from_pattern(after.get(), nullptr), &pcre2_match_data_free);
    const auto subject = reinterpret_cast<PCRE2_SPTR>(text.utf16());
    const qsizetype length = std::min<qsizetype>(text.size(), 256);
    for (qsizetype start = 0; start <= length; ++start) {
        const int a = pcre2_match(before.get(), subject, length, start, PCRE2_ANCHORED, first.get(), context.get());
        const int b = pcre2_match(after.get(), subject, length, start, PCRE2_ANCHORED, second.get(), context.get());
        if (a == PCRE2_ERROR_MATCHLIMIT || b == PCRE2_ERROR_MATCHLIMIT)
            return;
        if (a != b)
            fuzz::fail("possessive rewrite changed whether a match is found", rewritten.pcrePattern);
        const PCRE2_SIZE *x = pcre2_get_ovector_pointer(first.get());
        const PCRE2_SIZE *y = pcre2_get_ovector_pointer(second.get());
        for (int i = 0; i < 2 * a; ++i)
            if (x[i] != y[i])
                fuzz::fail("possessive rewrite changed a match or its groups", rewritten.pcrePattern);
    }
}

}

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
            const QString replaced = expression.Replace(text, replacement);
            expression.Pattern(QStringLiteral("(?:%1)").arg(pattern));
            try {
                if (expression.Replace(text, replacement) != replaced)
                    fuzz::fail("a search or scan without PCRE2 changed the result", pattern);
            } catch (const RegExpError &) {
                // The budget's callout stands elsewhere in the group: a limit may fall differently.
            }
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
    checkPossessiveRewrite(pattern, text, false);
    checkPossessiveRewrite(pattern, text, true);
    return 0;
}
