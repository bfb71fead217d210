#include "regexp/LeadingLiteral.h"

#include <algorithm>

namespace {

bool IsLookBehindOnly(PatternItem::Kind kind)
{
    return kind == PatternItem::Kind::WordBoundary || kind == PatternItem::Kind::NotWordBoundary
           || kind == PatternItem::Kind::Lookbehind;
}

}

std::optional<char16_t> LiteralCodeUnit(const PatternItem &item, bool ignoreCase)
{
    if (item.set.size() != 1 || item.set.front().first != item.set.front().last)
        return std::nullopt;
    const char32_t c = item.set.front().first;
    if (c > 0xFFFF || (c >= 0xD800 && c <= 0xDFFF))
        return std::nullopt;
    const bool asciiLetter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
    if (ignoreCase && item.caseless && (c > 0x7F || asciiLetter))
        return std::nullopt;
    return char16_t(c);
}

QString LeadingLiteral(const TranslatedPattern &pattern, bool ignoreCase)
{
    const std::vector<PatternItem> &items = pattern.items;
    const bool topLevelAlternative = std::any_of(items.begin(), items.end(), [](const PatternItem &item) {
        return item.kind == PatternItem::Kind::Alternative && item.partner < 0;
    });
    if (topLevelAlternative)
        return {};
    size_t k = 0;
    while (k < items.size() && IsLookBehindOnly(items[k].kind))
        ++k;
    QString literal;
    for (; k < items.size() && items[k].kind == PatternItem::Kind::Character; ++k) {
        const bool quantified = k + 1 < items.size() && items[k + 1].kind == PatternItem::Kind::Quantifier;
        const std::optional<char16_t> unit = LiteralCodeUnit(items[k], ignoreCase);
        if (quantified || !unit)
            break;
        literal += QChar(*unit);
    }
    return literal;
}
