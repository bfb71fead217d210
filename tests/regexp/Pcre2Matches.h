#pragma once

// PCRE2's own matches of a translated pattern: what the scans that stand in for PCRE2 must find.
#include "regexp/EcmaPatternTranslator.h"
#include "regexp/PcreCompileOptions.h"

#include <QList>
#include <QString>

#include <limits>
#include <memory>
#include <utility>
#include <vector>

using Matches = QList<std::pair<qsizetype, qsizetype>>;

// The matches of the pattern from `from`, each search going on from the end of the match
// before, that start before `until`: at most `capacity`.
inline Matches Pcre2Matches(const QString &pattern, bool ignoreCase, const QString &text, qsizetype from,
                            qsizetype until = std::numeric_limits<qsizetype>::max(),
                            qsizetype capacity = std::numeric_limits<qsizetype>::max())
{
    const TranslatedPattern translated = TranslateEcmaPattern(pattern);
    int error = 0;
    PCRE2_SIZE errorOffset = 0;
    const std::unique_ptr<pcre2_code, decltype(&pcre2_code_free)> code(
        pcre2_compile(reinterpret_cast<PCRE2_SPTR>(translated.pcrePattern.utf16()), translated.pcrePattern.size(),
                      kPcreCompileOptions | (ignoreCase ? PCRE2_CASELESS : 0u), &error, &errorOffset, nullptr),
        &pcre2_code_free);
    const std::unique_ptr<pcre2_match_data, decltype(&pcre2_match_data_free)> data(
        pcre2_match_data_create_from_pattern(code.get(), nullptr), &pcre2_match_data_free);
    Matches matches;
    PCRE2_SIZE at = PCRE2_SIZE(from);
    while (matches.size() < capacity && at <= PCRE2_SIZE(text.size())
           && pcre2_match(code.get(), reinterpret_cast<PCRE2_SPTR>(text.utf16()), text.size(), at, 0, data.get(), nullptr) > 0) {
        const PCRE2_SIZE *ovector = pcre2_get_ovector_pointer(data.get());
        if (qsizetype(ovector[0]) >= until)
            break;
        matches.append({qsizetype(ovector[0]), qsizetype(ovector[1])});
        at = ovector[1];
    }
    return matches;
}

// Only where those matches start.
inline QList<qsizetype> Pcre2Starts(const QString &pattern, bool ignoreCase, const QString &text, qsizetype from, qsizetype until,
                                    qsizetype capacity)
{
    QList<qsizetype> starts;
    for (const auto &match : Pcre2Matches(pattern, ignoreCase, text, from, until, capacity))
        starts.append(match.first);
    return starts;
}

// The starts that a scan standing in for PCRE2 (LiteralPattern, ClassPattern) finds, with the
// same bounds.
template <typename Scan>
QList<qsizetype> ScanStarts(const Scan &scan, const QString &text, qsizetype from, qsizetype until, qsizetype capacity)
{
    std::vector<qsizetype> starts(size_t(capacity) + 1);
    const qsizetype found = scan.find(text, from, until, starts.data(), capacity);
    return QList<qsizetype>(starts.begin(), starts.begin() + found);
}

// A text of at least `length` code units of the pieces in a fixed pseudo-random order, for
// comparing a scan with PCRE2 from every start position.
inline QString MixedText(const QList<QString> &pieces, qsizetype length = 300)
{
    quint32 state = 7;
    QString text;
    while (text.size() < length) {
        state = state * 1664525u + 1013904223u;
        text += pieces[qsizetype((state >> 8) % quint32(pieces.size()))];
    }
    return text;
}

// PCRE2 starts no search inside a surrogate pair, and no replace does.
inline bool InsideSurrogatePair(const QString &text, qsizetype at)
{
    return at > 0 && at < text.size() && text.at(at - 1).isHighSurrogate() && text.at(at).isLowSurrogate();
}
