#pragma once

#include "base/mdl_ErrorFunction.h"

#include <QString>

class CancelToken;

// A pattern that could not be compiled, or a match that ran into a work limit.
class RegExpError : public RuntimeError {
public:
    // engineCode: PCRE2's error code (PCRE2_ERROR_...), which the translator's own errors use
    // too; patternOffset: the position in the pattern (counted in characters from 0) where a
    // syntax error was found, or -1 when the error is not about the pattern's syntax.
    RegExpError(qint32 number, const QString &description, int engineCode, const QString &engineMessage,
                qint32 patternOffset);

    int engineCode() const { return m_engineCode; }
    QString engineMessage() const { return m_engineMessage; }
    qint32 patternOffset() const { return m_patternOffset; }

private:
    int m_engineCode;
    QString m_engineMessage;
    qint32 m_patternOffset;
};

// A regular expression with ECMAScript's grammar and replacement rules, shaped like the
// scripting engine's RegExp object: set IgnoreCase, Global and Pattern, then call Replace.
class RegExp {
public:
    bool IgnoreCase() const { return m_ignoreCase; }
    void IgnoreCase(bool vData) { m_ignoreCase = vData; }
    bool Global() const { return m_global; }
    void Global(bool vData) { m_global = vData; }
    QString Pattern() const { return m_pattern; }
    void Pattern(const QString &vData) { m_pattern = vData; }

    // The text with the first match (every match, when Global) replaced, as ECMAScript's
    // String.prototype.replace does. Throws RegExpError for an invalid pattern or when the
    // match runs into a work limit (the whole replace has a time budget that grows with the
    // text), and RuntimeError UserInterrupt soon after the cancel token is cancelled.
    QString Replace(const QString &text, const QString &replacement, const CancelToken *cancel = nullptr) const;

private:
    bool m_ignoreCase = false;
    bool m_global = false;
    QString m_pattern;
};
