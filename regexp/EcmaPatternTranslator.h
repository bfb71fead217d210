#pragma once

#include "regexp/CodePointRanges.h"

#include <QHash>
#include <QString>

#include <vector>

// One item of a translated pattern as the translator wrote it, so that what comes after it (the
// possessive rewrite, the placement of the work budget's callout) need not read PCRE2's syntax
// again. The items follow each other and together make up the whole translated pattern.
struct PatternItem {
    enum class Kind {
        Character, // matches one character of a known set: a literal, a class, ., \w, \d, \s...
        Quantifier, // repeats the item or group before it
        GroupOpen, // ( (?: (?= or (?!
        GroupClose, // )
        Alternative, // |
        StartAnchor, // ^
        EndAnchor, // $
        WordBoundary, // \b
        NotWordBoundary, // \B
        BackReference, // \g{n}
        Lookbehind, // a whole lookbehind, written out in the form PCRE2 accepts
    };
    enum class Group { Capture, NonCapture, Lookahead };

    Kind kind = Kind::Character;
    // Where it stands in the translated pattern.
    qsizetype start = 0;
    qsizetype end = 0;
    // Character: the characters it matches, and whether IgnoreCase widens them (it widens
    // characters and ranges, not \w, \d, \W and \D).
    std::vector<CodePointRange> set;
    bool caseless = false;
    // Quantifier: its bounds (max UINT32_MAX: unbounded) and whether it is greedy, not lazy.
    quint32 min = 0;
    quint32 max = 0;
    bool greedy = true;
    // GroupOpen.
    Group group = Group::Capture;
    // GroupClose: the index of its GroupOpen; Alternative: of the GroupClose of the group it
    // divides, -1 at the top level.
    qsizetype partner = -1;
};

// An ECMAScript pattern (without the u flag) rewritten in PCRE2's syntax, so that PCRE2 compiled
// with the options RegExp uses gives it ECMAScript's meaning. Every escape, class and quantifier
// is written out explicitly; grammar errors ECMAScript would raise are found here.
struct TranslatedPattern {
    QString pcrePattern;
    // pcrePattern item by item; empty after an error.
    std::vector<PatternItem> items;
    // For each code unit of pcrePattern, and one past its end: the offset in the original
    // pattern it came from, to report PCRE2's error positions in the user's terms.
    std::vector<qint32> originalOffsets;
    qint32 captureCount = 0;
    // Named groups become plain numbered groups; their names live here.
    QHash<QString, qint32> groupNumbers;
    // A PCRE2 compile error code for a grammar error found while translating, 0 if none.
    int errorCode = 0;
    qint32 errorOffset = -1;
    // The translator's own message for the error, when PCRE2's would not fit.
    QString errorMessage;
};

TranslatedPattern TranslateEcmaPattern(const QString &pattern);
