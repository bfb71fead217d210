#pragma once

#include "settings/Cls_MySettingFile.h"

#include <QString>

class CancelToken;

// The built-in button's conversion: in every CR LF separated line, the words are joined and
// every word after the first gets an upper-case initial ("get user name" -> "getUserName").

// Shows a failure in the error box and returns what was converted up to it.
QString ConvertLines(const QString &text);
// The conversion made in full, or a failure (out of memory above all, or the token cancelled)
// with its reason and no text, so that a partial text is never taken for the result. Never throws.
GeneratedText ConvertAllLines(const QString &text, const CancelToken *cancel = nullptr);
QString JoinWords(const QString &line);
// The word as it is at the start of a line (position 1 or less), else with an upper-case initial.
QString ConvertWord(const QString &word, qint32 startPosition);
// The piece from startPosition (counted from 1) up to the next delimiter, or to the end. Returns
// the delimiter's position + 1, or 1 when no delimiter follows.
qint32 NextToken(const QString &source, const QString &delimiter, qint32 startPosition, QString &piece);
