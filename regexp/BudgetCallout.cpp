#include "regexp/BudgetCallout.h"

#include <algorithm>

namespace {

const QString kBudgetCallout = QStringLiteral("(?C)");

enum class Repeat { Once, StarOrPlus, Other };

// How the character item at k is repeated: once when no quantifier follows it, StarOrPlus for *
// and +, Other for ? and {n,m}.
Repeat RepeatOf(const TranslatedPattern &pattern, size_t k)
{
    const std::vector<PatternItem> &items = pattern.items;
    if (k + 1 >= items.size() || items[k + 1].kind != PatternItem::Kind::Quantifier)
        return Repeat::Once;
    const QChar written = pattern.pcrePattern.at(items[k + 1].start);
    return written == u'*' || written == u'+' ? Repeat::StarOrPlus : Repeat::Other;
}

bool IsCharacter(const std::vector<PatternItem> &items, size_t k)
{
    return k < items.size() && items[k].kind == PatternItem::Kind::Character;
}

}

qsizetype BudgetCalloutPlace(const TranslatedPattern &pattern, bool jit)
{
    const std::vector<PatternItem> &items = pattern.items;
    if (std::any_of(items.begin(), items.end(),
                    [](const PatternItem &item) { return item.kind == PatternItem::Kind::Alternative; }))
        return 0;
    size_t k = 0;
    for (; k < items.size(); ++k) {
        const PatternItem &item = items[k];
        const bool isPlainGroup = item.kind == PatternItem::Kind::GroupOpen && item.group != PatternItem::Group::Lookahead;
        if (!isPlainGroup && item.kind != PatternItem::Kind::WordBoundary && item.kind != PatternItem::Kind::NotWordBoundary
            && item.kind != PatternItem::Kind::StartAnchor)
            break;
    }
    if (!IsCharacter(items, k))
        return 0;
    const Repeat first = RepeatOf(pattern, k);
    k += first == Repeat::Once ? 1 : 2;
    qsizetype place = items[k - 1].end;
    if (first == Repeat::Once || (jit && first == Repeat::StarOrPlus)) {
        for (; IsCharacter(items, k) && RepeatOf(pattern, k) == Repeat::Once; ++k)
            place = items[k].end;
    }
    return place;
}

QString WithBudgetCallout(const TranslatedPattern &pattern, qsizetype place)
{
    return pattern.pcrePattern.left(place) + kBudgetCallout + pattern.pcrePattern.mid(place);
}

size_t WithoutBudgetCallout(size_t offset, qsizetype place)
{
    const size_t callout = size_t(place);
    return offset <= callout ? offset : offset - std::min<size_t>(offset - callout, size_t(kBudgetCallout.size()));
}
