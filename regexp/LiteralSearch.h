#pragma once

#include <QStringView>

// A search for a few code units in a long text, which reads 32 code units a step with AVX2:
// over 5 M characters it took 0.3 ms where PCRE2's scan for a first code unit took 0.7 to 1.2 ms.
class LiteralSearch {
public:
    // Whether this processor runs the wide search; without it PCRE2's own scan is as fast.
    static bool IsFast();

    // The first position at or after `from` where `literal` (not empty) stands in `text`, or -1.
    static qsizetype Find(QStringView text, qsizetype from, QStringView literal);
};
