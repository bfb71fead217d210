#pragma once

#include <QString>
#include <QStringView>

// Where an element stands in a text, by the one rule every settings lookup rests on: the first
// opening tag "<name>" in a range, then the first closing tag "</name>" after that tag's "<";
// exact and case-sensitive.
struct ElementSpan {
    qsizetype open = -1; // the opening tag's "<", or -1 when there is none
    qsizetype contentStart = -1; // just after the opening tag
    qsizetype close = -1; // the closing tag's "<", or -1 when there is none

    bool hasOpen() const { return open >= 0; }
    bool isComplete() const { return open >= 0 && close >= 0; }
    // Empty unless both tags are there; empty too when the closing tag overlaps the opening one.
    qsizetype contentLength() const { return isComplete() && close > contentStart ? close - contentStart : 0; }
    QStringView content(QStringView text) const { return text.sliced(qMax<qsizetype>(0, contentStart), contentLength()); }
};

// The element named name in text[begin, end); end -1 is the end of the text.
ElementSpan FindElement(QStringView text, QStringView name, qsizetype begin = 0, qsizetype end = -1);
// The element whose opening tag stands at open (-1: none), found by other means such as an index;
// its closing tag is searched up to end.
ElementSpan ElementAt(QStringView text, QStringView name, qsizetype open, qsizetype end = -1);

QString OpenTag(QStringView name);
QString CloseTag(QStringView name);
