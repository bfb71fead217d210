#include "regexp/PossessiveRepeats.h"

#include "regexp/CodePointRanges.h"

#include <iterator>

namespace {

using CharacterSet = std::vector<CodePointRange>;

const CharacterSet kDigits(std::begin(kDigitRanges), std::end(kDigitRanges));
const CharacterSet kWordCharacters(std::begin(kWordRanges), std::end(kWordRanges));

// \w and the characters that IgnoreCase may take for an ASCII letter (İ ı ſ and the Kelvin
// sign): characters and ranges meant to stay apart from \w must also stay apart from these.
const CharacterSet kWordAndCaseMates = {{u'0', u'9'},   {u'A', u'Z'},   {u'_', u'_'},    {u'a', u'z'},
                                        {0x130, 0x131}, {0x17F, 0x17F}, {0x212A, 0x212A}};

bool Intersect(const CharacterSet &a, const CharacterSet &b)
{
    for (const CodePointRange &x : a)
        for (const CodePointRange &y : b)
            if (x.first <= y.last && y.first <= x.last)
                return true;
    return false;
}

// Whether what follows the repeat of \w or \d at `after` can only go on from a position where
// the repeat gave back one of its characters: then giving back never leads to a match. Optional
// items of other characters must match empty there; the first required one fails; $ fails
// before such a character, and \b between two of them once the repeat has taken one.
bool GivingBackNeverMatches(const std::vector<PatternItem> &items, size_t after, bool word, bool takesOne)
{
    size_t k = after;
    while (k < items.size()) {
        const PatternItem &item = items[k];
        const bool quantified = k + 1 < items.size() && items[k + 1].kind == PatternItem::Kind::Quantifier;
        switch (item.kind) {
        case PatternItem::Kind::Character:
            if (Intersect(item.set, word ? (item.caseless ? kWordAndCaseMates : kWordCharacters) : kDigits))
                return false;
            if (!quantified || items[k + 1].min > 0)
                return true;
            k += 2;
            break;
        case PatternItem::Kind::GroupClose:
            if (items[size_t(item.partner)].group == PatternItem::Group::Lookahead || quantified)
                return false;
            ++k;
            break;
        case PatternItem::Kind::Alternative:
            // This alternative ends here: what follows is the group's end.
            k = item.partner < 0 ? items.size() : size_t(item.partner);
            break;
        case PatternItem::Kind::EndAnchor: return true;
        case PatternItem::Kind::WordBoundary: return takesOne;
        default: return false;
        }
    }
    return true;
}

}

void MakeRepeatsPossessive(TranslatedPattern &pattern)
{
    std::vector<PatternItem> &items = pattern.items;
    const QStringView before(pattern.pcrePattern);
    QString text;
    std::vector<qint32> offsets;
    text.reserve(before.size() + 4);
    offsets.reserve(pattern.originalOffsets.size() + 4);
    const auto copy = [&](qsizetype from, qsizetype to) {
        text += before.sliced(from, to - from);
        offsets.insert(offsets.end(), pattern.originalOffsets.begin() + from, pattern.originalOffsets.begin() + to);
    };
    bool isRewritten = false;
    for (size_t k = 0; k < items.size(); ++k) {
        PatternItem &item = items[k];
        const qsizetype start = text.size();
        const QStringView written = before.sliced(item.start, item.end - item.start);
        PatternItem *repeat = k + 1 < items.size() ? &items[k + 1] : nullptr;
        if (repeat && repeat->kind == PatternItem::Kind::Quantifier && repeat->greedy
            && (written == u"[\\w]" || written == u"[\\d]")
            && GivingBackNeverMatches(items, k + 2, written == u"[\\w]", repeat->min > 0)) {
            // [\w]+ becomes \w++.
            copy(item.start + 1, item.start + 3);
            item.start = start;
            item.end = text.size();
            const qsizetype repeatStart = text.size();
            copy(repeat->start, repeat->end);
            text += u'+';
            offsets.push_back(pattern.originalOffsets[size_t(repeat->end - 1)]);
            repeat->start = repeatStart;
            repeat->end = text.size();
            isRewritten = true;
            ++k;
            continue;
        }
        copy(item.start, item.end);
        item.start = start;
        item.end = text.size();
    }
    if (!isRewritten)
        return;
    offsets.push_back(pattern.originalOffsets.back());
    pattern.pcrePattern = text;
    pattern.originalOffsets = std::move(offsets);
}
