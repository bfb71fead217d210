#include "regexp/LiteralPattern.h"

#include "regexp/LeadingLiteral.h"
#include "regexp/LiteralSearch.h"
#include "regexp/WideCandidates.h"

namespace {

bool IsWordUnit(char16_t unit)
{
    return (unit >= u'a' && unit <= u'z') || (unit >= u'A' && unit <= u'Z') || (unit >= u'0' && unit <= u'9') || unit == u'_';
}

bool IsAssertion(const PatternItem &item)
{
    return item.kind == PatternItem::Kind::WordBoundary || item.kind == PatternItem::Kind::NotWordBoundary;
}

}

std::optional<LiteralPattern> LiteralPattern::Of(const TranslatedPattern &pattern, bool ignoreCase)
{
    const std::vector<PatternItem> &items = pattern.items;
    size_t first = 0;
    size_t end = items.size();
    if (first < end && IsAssertion(items[first]))
        ++first;
    if (end > first && IsAssertion(items[end - 1]))
        --end;
    if (first == end)
        return std::nullopt;
    QString literal;
    for (size_t k = first; k < end; ++k) {
        const std::optional<char16_t> unit = items[k].kind == PatternItem::Kind::Character ? LiteralCodeUnit(items[k], ignoreCase)
                                                                                           : std::nullopt;
        if (!unit)
            return std::nullopt;
        literal += QChar(*unit);
    }
    // \b before a word character asks for a character that is not one before it, and so on.
    const auto beside = [](const PatternItem *assertion, char16_t unit) {
        if (!assertion)
            return Beside::Any;
        const bool boundary = assertion->kind == PatternItem::Kind::WordBoundary;
        return boundary == IsWordUnit(unit) ? Beside::NotWord : Beside::Word;
    };
    const char16_t front = literal.front().unicode();
    const char16_t back = literal.back().unicode();
    return LiteralPattern(literal, beside(first > 0 ? &items.front() : nullptr, front),
                          beside(end < items.size() ? &items.back() : nullptr, back));
}

LiteralPattern::LiteralPattern(QString literal, Beside before, Beside after)
    : m_literal(std::move(literal)), m_units(reinterpret_cast<const char16_t *>(m_literal.utf16()), size_t(m_literal.size())),
      m_before(before), m_after(after)
{
}

// Whether the literal, whose first and last code units are known to stand at `at`, stands there
// whole with the characters beside it that the assertions ask for. A loop rather than
// std::equal, whose call of memcmp cost more than the few units between; inline, as a call took
// a fifth of the time of a replace with a match every 35 characters.
inline bool LiteralPattern::passesAt(const char16_t *text, qsizetype length, qsizetype at) const
{
    const qsizetype size = qsizetype(m_units.size());
    for (qsizetype i = 1; i + 1 < size; ++i) {
        if (text[at + i] != m_units[size_t(i)])
            return false;
    }
    if (m_before != Beside::Any && (at > 0 && IsWordUnit(text[at - 1])) != (m_before == Beside::Word))
        return false;
    if (m_after != Beside::Any && (at + size < length && IsWordUnit(text[at + size])) != (m_after == Beside::Word))
        return false;
    return true;
}

qsizetype LiteralPattern::find(QStringView text, qsizetype from, qsizetype until, qsizetype *starts, qsizetype capacity) const
{
    const auto *units = reinterpret_cast<const char16_t *>(text.utf16());
    // No match starts where the literal no longer fits.
    until = std::min(until, text.size() - m_literal.size() + 1);
    if (from < 0 || from >= until || capacity <= 0)
        return 0;
#ifdef TAVRELO_WIDE_CANDIDATES
    if (LiteralSearch::IsFast())
        return findWide(units, text.size(), from, until, starts, capacity);
#endif
    return findPlainly(units, text.size(), from, until, starts, capacity);
}

// One position at a time.
qsizetype LiteralPattern::findPlainly(const char16_t *text, qsizetype length, qsizetype from, qsizetype until, qsizetype *starts,
                                      qsizetype capacity) const
{
    const char16_t front = m_units.front();
    const char16_t back = m_units.back();
    const qsizetype last = qsizetype(m_units.size()) - 1;
    qsizetype count = 0;
    for (qsizetype at = from; at < until; ++at) {
        if (text[at] == front && text[at + last] == back && passesAt(text, length, at)) {
            starts[count++] = at;
            if (count == capacity)
                break;
            at += last;
        }
    }
    return count;
}

#ifdef TAVRELO_WIDE_CANDIDATES
// 32 positions a step, as LiteralSearch does; the positions that a step cannot read to the end
// of are left to findPlainly.
__attribute__((target("avx2"))) qsizetype LiteralPattern::findWide(const char16_t *text, qsizetype length, qsizetype from,
                                                                   qsizetype until, qsizetype *starts, qsizetype capacity) const
{
    const qsizetype last = qsizetype(m_units.size()) - 1;
    const __m256i first = _mm256_set1_epi16(short(m_units.front()));
    const __m256i final = _mm256_set1_epi16(short(m_units.back()));
    qsizetype count = 0;
    // The first position where the next match may start: past the end of the one before.
    qsizetype free = from;
    qsizetype at = from;
    for (; at < until && at + last + 32 <= length; at += 32) {
        for (quint64 candidates = WideCandidates(text, at, last, first, final); candidates != 0;
             candidates &= candidates - 1, candidates &= candidates - 1) {
            const qsizetype candidate = at + __builtin_ctzll(candidates) / 2;
            if (candidate >= until)
                return count;
            if (candidate < free || !passesAt(text, length, candidate))
                continue;
            starts[count++] = candidate;
            if (count == capacity)
                return count;
            free = candidate + last + 1;
        }
    }
    return count + findPlainly(text, length, std::max(at, free), until, starts + count, capacity - count);
}
#endif
