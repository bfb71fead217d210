#pragma once

#include <algorithm>
#include <span>
#include <vector>

inline constexpr char32_t kLastCodePoint = 0x10FFFF;

// The code points from first to last, both included.
struct CodePointRange {
    char32_t first;
    char32_t last;
};

// ECMAScript's \d and \w, ASCII only.
inline constexpr CodePointRange kDigitRanges[] = {{u'0', u'9'}};
inline constexpr CodePointRange kWordRanges[] = {{u'0', u'9'}, {u'A', u'Z'}, {u'_', u'_'}, {u'a', u'z'}};

// The ranges sorted by their start, overlapping and adjacent ones joined.
inline std::vector<CodePointRange> MergedRanges(std::vector<CodePointRange> ranges)
{
    std::sort(ranges.begin(), ranges.end(), [](const CodePointRange &a, const CodePointRange &b) { return a.first < b.first; });
    std::vector<CodePointRange> merged;
    for (const CodePointRange &r : ranges) {
        if (!merged.empty() && r.first <= merged.back().last + 1)
            merged.back().last = std::max(merged.back().last, r.last);
        else
            merged.push_back(r);
    }
    return merged;
}

// Every code point that sorted, merged ranges leave out.
inline std::vector<CodePointRange> ComplementRanges(std::span<const CodePointRange> ranges)
{
    std::vector<CodePointRange> out;
    char32_t next = 0;
    for (const CodePointRange &r : ranges) {
        if (r.first > next)
            out.push_back({next, r.first - 1});
        next = r.last + 1;
    }
    if (next <= kLastCodePoint)
        out.push_back({next, kLastCodePoint});
    return out;
}
