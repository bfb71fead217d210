#pragma once

#include <QString>

// The built-in button's conversion: in every CR LF separated line, the words are joined and
// every word after the first gets an upper-case initial ("get user name" -> "getUserName").

QString ConvertLines(const QString &text);
QString JoinWords(const QString &line);
// The word as it is at the start of a line (position 1 or less), else with an upper-case initial.
QString ConvertWord(const QString &word, qint32 startPosition);
// The piece from startPosition (counted from 1) up to the next delimiter, or to the end. Returns
// the delimiter's position + 1, or 1 when no delimiter follows.
qint32 NextToken(const QString &source, const QString &delimiter, qint32 startPosition, QString &piece);
