#include "regexp/LiteralSearch.h"

#include "regexp/WideCandidates.h"

#include <algorithm>
#include <string_view>

namespace {

// Whether the literal stands at `at`, where its first and last code units are known to stand.
// A loop rather than std::equal, whose call of memcmp cost more than the few units between.
bool StandsAt(const char16_t *text, qsizetype at, std::u16string_view literal)
{
    for (size_t i = 1; i + 1 < literal.size(); ++i) {
        if (text[at + qsizetype(i)] != literal[i])
            return false;
    }
    return true;
}

// One code unit at a time, from `from` to the last position where the literal fits.
qsizetype FindPlainly(const char16_t *text, qsizetype length, qsizetype from, std::u16string_view literal)
{
    const auto found = std::u16string_view(text, size_t(length)).find(literal, size_t(from));
    return found == std::u16string_view::npos ? -1 : qsizetype(found);
}

#ifdef TAVRELO_WIDE_CANDIDATES
// The literal's first and last code units are compared at 32 positions a step; where both
// stand, the rest of it is compared.
__attribute__((target("avx2"))) qsizetype FindWide(const char16_t *text, qsizetype length, qsizetype from,
                                                   std::u16string_view literal)
{
    const qsizetype last = qsizetype(literal.size()) - 1;
    const __m256i first = _mm256_set1_epi16(short(literal.front()));
    const __m256i final = _mm256_set1_epi16(short(literal.back()));
    qsizetype at = from;
    // Each step reads up to at + last + 31.
    for (; at + last + 32 <= length; at += 32) {
        quint64 candidates = WideCandidates(text, at, last, first, final);
        while (candidates != 0) {
            const qsizetype candidate = at + __builtin_ctzll(candidates) / 2;
            if (StandsAt(text, candidate, literal))
                return candidate;
            candidates &= candidates - 1;
            candidates &= candidates - 1;
        }
    }
    return FindPlainly(text, length, at, literal);
}
#endif

}

bool LiteralSearch::IsFast()
{
#ifdef TAVRELO_WIDE_CANDIDATES
    static const bool avx2 = __builtin_cpu_supports("avx2");
    return avx2;
#else
    return false;
#endif
}

qsizetype LiteralSearch::Find(QStringView text, qsizetype from, QStringView literal)
{
    const auto *units = reinterpret_cast<const char16_t *>(text.utf16());
    const std::u16string_view needle(reinterpret_cast<const char16_t *>(literal.utf16()), size_t(literal.size()));
    if (from < 0 || from > text.size() - literal.size())
        return -1;
#ifdef TAVRELO_WIDE_CANDIDATES
    if (IsFast())
        return FindWide(units, text.size(), from, needle);
#endif
    return FindPlainly(units, text.size(), from, needle);
}
