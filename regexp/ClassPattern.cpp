#include "regexp/ClassPattern.h"

#include "regexp/LiteralSearch.h"
#include "regexp/WideCandidates.h"

#include <algorithm>

namespace {

// A wide step tests each range on its own; \s, of ten ranges, is about the most a class is
// written with.
constexpr size_t kMostRanges = 10;

bool HasAsciiLetter(const CodePointRange &range)
{
    const auto overlaps = [&range](char32_t first, char32_t last) { return range.first <= last && range.last >= first; };
    return overlaps(u'A', u'Z') || overlaps(u'a', u'z');
}

}

std::optional<ClassPattern> ClassPattern::Of(const TranslatedPattern &pattern, bool ignoreCase)
{
    if (pattern.items.size() != 1 || pattern.items.front().kind != PatternItem::Kind::Character)
        return std::nullopt;
    const PatternItem &item = pattern.items.front();
    if (item.set.empty() || item.set.size() > kMostRanges)
        return std::nullopt;
    for (const CodePointRange &range : item.set) {
        // Surrogates would match halves of pairs, and astral code points are pairs.
        if (range.last > 0xFFFF || (range.first <= 0xDFFF && range.last >= 0xD800))
            return std::nullopt;
        if (ignoreCase && item.caseless && (range.last > 0x7F || HasAsciiLetter(range)))
            return std::nullopt;
    }
    return ClassPattern(item.set);
}

ClassPattern::ClassPattern(std::vector<CodePointRange> ranges) : m_ranges(std::move(ranges))
{
}

bool ClassPattern::contains(char16_t unit) const
{
    return std::any_of(m_ranges.begin(), m_ranges.end(),
                       [unit](const CodePointRange &range) { return unit >= range.first && unit <= range.last; });
}

qsizetype ClassPattern::find(QStringView text, qsizetype from, qsizetype until, qsizetype *starts, qsizetype capacity) const
{
    const auto *units = reinterpret_cast<const char16_t *>(text.utf16());
    until = std::min(until, text.size());
    if (from < 0 || from >= until || capacity <= 0)
        return 0;
#ifdef TAVRELO_WIDE_CANDIDATES
    if (LiteralSearch::IsFast())
        return findWide(units, from, until, starts, capacity);
#endif
    return findPlainly(units, from, until, starts, capacity);
}

qsizetype ClassPattern::findPlainly(const char16_t *text, qsizetype from, qsizetype until, qsizetype *starts,
                                    qsizetype capacity) const
{
    qsizetype count = 0;
    for (qsizetype at = from; at < until && count < capacity; ++at) {
        if (contains(text[at]))
            starts[count++] = at;
    }
    return count;
}

#ifdef TAVRELO_WIDE_CANDIDATES
// 16 code units a step: a unit is in a range when its distance above the range's first code
// point, taken unsigned, is at most the range's width.
__attribute__((target("avx2"))) qsizetype ClassPattern::findWide(const char16_t *text, qsizetype from, qsizetype until,
                                                                 qsizetype *starts, qsizetype capacity) const
{
    __m256i firsts[kMostRanges];
    __m256i widths[kMostRanges];
    const size_t ranges = m_ranges.size();
    for (size_t r = 0; r < ranges; ++r) {
        firsts[r] = _mm256_set1_epi16(short(m_ranges[r].first));
        widths[r] = _mm256_set1_epi16(short(m_ranges[r].last - m_ranges[r].first));
    }
    qsizetype count = 0;
    qsizetype at = from;
    for (; at + 16 <= until; at += 16) {
        const __m256i units = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(text + at));
        __m256i in = _mm256_setzero_si256();
        for (size_t r = 0; r < ranges; ++r) {
            const __m256i above = _mm256_sub_epi16(units, firsts[r]);
            in = _mm256_or_si256(in, _mm256_cmpeq_epi16(_mm256_min_epu16(above, widths[r]), above));
        }
        // Two bits for each unit; the odd ones go.
        for (quint32 found = quint32(_mm256_movemask_epi8(in)) & 0x55555555u; found != 0; found &= found - 1) {
            starts[count++] = at + __builtin_ctz(found) / 2;
            if (count == capacity)
                return count;
        }
    }
    return count + findPlainly(text, at, until, starts + count, capacity - count);
}
#endif
