#pragma once

#include "regexp/LiteralPattern.h"

class CancelToken;
class ClassPattern;

// The text with the first match of a literal pattern (every match, when global) replaced by
// `replacement`, the same text for every match: the match is always the literal, and a
// replacement that reads the text around it ($` or $') is left to PCRE2's road. Throws
// RuntimeError UserInterrupt soon after the cancel token is cancelled.
QString ReplaceLiteral(const LiteralPattern &pattern, const QString &text, QStringView replacement, bool global,
                       const CancelToken *cancel);

// The same for a class pattern, when `replacement` does not insert the match ($&): the match is
// one code unit of the class, and the replacement the same text for every match.
QString ReplaceLiteral(const ClassPattern &pattern, const QString &text, QStringView replacement, bool global,
                       const CancelToken *cancel);
