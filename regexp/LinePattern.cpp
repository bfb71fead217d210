#include "regexp/LinePattern.h"

#include "regexp/LeadingLiteral.h"
#include "regexp/LiteralSearch.h"
#include "regexp/WideCandidates.h"

#include <algorithm>

namespace {

constexpr CodePointRange kLineTerminators[] = {{0x0A, 0x0A}, {0x0D, 0x0D}, {0x2028, 0x2029}};

bool IsLineTerminator(char16_t unit)
{
    return unit == u'\n' || unit == u'\r' || unit == 0x2028 || unit == 0x2029;
}

bool IsHigh(char16_t unit)
{
    return (unit & 0xFC00) == 0xD800;
}

bool IsLow(char16_t unit)
{
    return (unit & 0xFC00) == 0xDC00;
}

// Whether . matches no character that the unit at `at` is part of: a line terminator or a lone
// surrogate.
bool EndsLine(const char16_t *text, qsizetype length, qsizetype at)
{
    const char16_t unit = text[at];
    if (IsLineTerminator(unit))
        return true;
    if (IsHigh(unit))
        return at + 1 >= length || !IsLow(text[at + 1]);
    if (IsLow(unit))
        return at == 0 || !IsHigh(text[at - 1]);
    return false;
}

bool IsDot(const PatternItem &item)
{
    const std::vector<CodePointRange> dot = ComplementRanges(kLineTerminators);
    return item.kind == PatternItem::Kind::Character && item.set.size() == dot.size()
           && std::equal(dot.begin(), dot.end(), item.set.begin(),
                         [](const CodePointRange &a, const CodePointRange &b) { return a.first == b.first && a.last == b.last; });
}

bool IsGreedyStar(const PatternItem &item)
{
    return item.kind == PatternItem::Kind::Quantifier && item.min == 0 && item.max == UINT32_MAX && item.greedy;
}

// The first position at or after `at` where a line ends, or the text's length.
qsizetype LineEndPlainly(const char16_t *text, qsizetype length, qsizetype at)
{
    while (at < length && !EndsLine(text, length, at))
        ++at;
    return at;
}

#ifdef TAVRELO_WIDE_CANDIDATES
// 16 code units a step are compared with the line terminators and the surrogates; a surrogate
// that is part of a pair is stepped over.
__attribute__((target("avx2"))) qsizetype LineEndWide(const char16_t *text, qsizetype length, qsizetype at)
{
    const __m256i newline = _mm256_set1_epi16(u'\n');
    const __m256i ret = _mm256_set1_epi16(u'\r');
    const __m256i separators = _mm256_set1_epi16(short(0x2028));
    const __m256i notLowestBit = _mm256_set1_epi16(short(0xFFFE));
    const __m256i surrogates = _mm256_set1_epi16(short(0xD800));
    const __m256i surrogateBits = _mm256_set1_epi16(short(0xF800));
    while (at + 16 <= length) {
        const __m256i units = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(text + at));
        const __m256i ends = _mm256_or_si256(
            _mm256_or_si256(_mm256_cmpeq_epi16(units, newline), _mm256_cmpeq_epi16(units, ret)),
            _mm256_or_si256(_mm256_cmpeq_epi16(_mm256_and_si256(units, notLowestBit), separators),
                            _mm256_cmpeq_epi16(_mm256_and_si256(units, surrogateBits), surrogates)));
        const quint32 mask = quint32(_mm256_movemask_epi8(ends));
        if (mask == 0) {
            at += 16;
            continue;
        }
        at += __builtin_ctz(mask) / 2;
        if (EndsLine(text, length, at))
            return at;
        // The high half of a pair: its low half follows.
        at += 2;
    }
    return LineEndPlainly(text, length, at);
}
#endif

qsizetype LineEnd(const char16_t *text, qsizetype length, qsizetype at)
{
#ifdef TAVRELO_WIDE_CANDIDATES
    if (LiteralSearch::IsFast())
        return LineEndWide(text, length, at);
#endif
    return LineEndPlainly(text, length, at);
}

}

std::optional<LinePattern> LinePattern::Of(const TranslatedPattern &pattern, bool ignoreCase)
{
    const std::vector<PatternItem> &items = pattern.items;
    if (items.size() < 5 || !IsDot(items[0]) || !IsGreedyStar(items[1]) || !IsDot(items[items.size() - 2])
        || !IsGreedyStar(items.back()))
        return std::nullopt;
    QString literal;
    for (size_t k = 2; k + 2 < items.size(); ++k) {
        const std::optional<char16_t> unit = items[k].kind == PatternItem::Kind::Character ? LiteralCodeUnit(items[k], ignoreCase)
                                                                                           : std::nullopt;
        if (!unit || IsLineTerminator(*unit))
            return std::nullopt;
        literal += QChar(*unit);
    }
    return LinePattern(std::move(literal));
}

LinePattern::LinePattern(QString literal) : m_literal(std::move(literal))
{
}

bool LinePattern::find(QStringView text, qsizetype from, qsizetype match[2]) const
{
    const qsizetype found = LiteralSearch::Find(text, from, m_literal);
    if (found < 0)
        return false;
    const auto *units = reinterpret_cast<const char16_t *>(text.utf16());
    // The literal stands on the line from here, which the search has already read.
    qsizetype start = found;
    while (start > from && !EndsLine(units, text.size(), start - 1))
        --start;
    match[0] = start;
    match[1] = LineEnd(units, text.size(), found + m_literal.size());
    return true;
}
