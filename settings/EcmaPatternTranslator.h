#pragma once

#include <QHash>
#include <QString>

#include <vector>

// An ECMAScript pattern (without the u flag) rewritten in PCRE2's syntax, so that PCRE2 compiled
// with the options RegExp uses gives it ECMAScript's meaning. Every escape, class and quantifier
// is written out explicitly; grammar errors ECMAScript would raise are found here.
struct TranslatedPattern {
    QString pcrePattern;
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
