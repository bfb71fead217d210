#pragma once

// The comparison that the scans for a literal make 32 code units a step with AVX2: where the
// literal's first code unit stands and, `last` units further on, its last one. On other
// processors the scans leave the work to std::u16string_view::find or PCRE2.
#if defined(__x86_64__) || defined(__i386__)
#define TAVRELO_WIDE_CANDIDATES 1
#include <immintrin.h>

#include <QtGlobal>

// Two bits for each of the positions at to at + 31 (bit 2i and 2i + 1 for at + i): set where the
// literal's first unit stands there and its last unit `last` units further on. Reads the units
// from at to at + last + 31.
__attribute__((target("avx2"))) inline quint64 WideCandidates(const char16_t *text, qsizetype at, qsizetype last, __m256i first,
                                                              __m256i final)
{
    const auto *step = reinterpret_cast<const __m256i *>(text + at);
    const auto *stepEnd = reinterpret_cast<const __m256i *>(text + at + last);
    const __m256i low = _mm256_and_si256(_mm256_cmpeq_epi16(_mm256_loadu_si256(step), first),
                                         _mm256_cmpeq_epi16(_mm256_loadu_si256(stepEnd), final));
    const __m256i high = _mm256_and_si256(_mm256_cmpeq_epi16(_mm256_loadu_si256(step + 1), first),
                                          _mm256_cmpeq_epi16(_mm256_loadu_si256(stepEnd + 1), final));
    // Packing would reorder the lanes, so the halves stay apart.
    return quint32(_mm256_movemask_epi8(low)) | quint64(quint32(_mm256_movemask_epi8(high))) << 32;
}
#endif
