#pragma once

#include "base/mdl_ErrorFunction.h"

#include <QString>

class CancelToken;

// What is wrong with a pattern, by kind, for messages in the user's words; the engine's own
// English message says the rest.
enum class PatternFault {
    None, // not a syntax error: a work limit, or another failure
    MissingClosingParenthesis, // the pattern ends inside a group
    UnmatchedClosingParenthesis,
    MissingClosingBracket, // the pattern ends inside a class
    NothingToRepeat, // a quantifier with nothing before it
    TrailingBackslash,
    BadGroupName, // a group's name, or a reference to one, is malformed or unknown
    RangeOutOfOrder, // {3,2} or [z-a]
    UnboundedLookbehind, // a lookbehind this engine cannot write out
    Other, // any other syntax error
};

// A pattern that could not be compiled, or a match that ran into a work limit.
class RegExpError : public RuntimeError {
public:
    // engineMessage: the engine's own (English) words for it; patternOffset: the position in the
    // pattern (counted in characters from 0) where a syntax error was found, or -1 when the
    // error is not about the pattern's syntax.
    RegExpError(qint32 number, const QString &description, PatternFault fault, const QString &engineMessage,
                qint32 patternOffset);

    PatternFault fault() const { return m_fault; }
    QString engineMessage() const { return m_engineMessage; }
    qint32 patternOffset() const { return m_patternOffset; }

private:
    PatternFault m_fault;
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
