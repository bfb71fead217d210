#include "settings/WordJoining.h"

#include "base/CancelToken.h"
#include "base/mdl_ErrorFunction.h"
#include "xml/TextHelpers.h"

namespace {

const QString kCrLf = QStringLiteral("\r\n");

}

qint32 NextToken(const QString &source, const QString &delimiter, qint32 startPosition, QString &piece)
{
    const qsizetype start = qMax<qsizetype>(startPosition, 1) - 1;
    const qsizetype found = start < source.size() ? source.indexOf(delimiter, start) : -1;
    if (found >= 0) {
        piece = source.mid(start, found - start);
        return qint32(found + 2);
    }
    piece = start < source.size() ? source.mid(start) : QString();
    return 1;
}

QString ConvertWord(const QString &word, qint32 startPosition)
{
    if (startPosition <= 1 || word.isEmpty())
        return word;
    // A surrogate pair is one character; its case mapping may change its length. A lone high
    // surrogate is a character of its own, and what follows it keeps its case.
    const qsizetype first = word.at(0).isHighSurrogate() && word.size() > 1 && word.at(1).isLowSurrogate() ? 2 : 1;
    return word.left(first).toUpper() + word.mid(first);
}

namespace {

// Appends the line with its words joined; the token is looked at once per word.
void AppendJoinedWords(const QString &line, QString &result, const CancelToken *cancel)
{
    qint32 start = 1;
    QString piece;
    for (;;) {
        ThrowIfCancelled(cancel);
        const qint32 marker = NextToken(line, QStringLiteral(" "), start, piece);
        if (marker <= 1)
            break;
        result += ConvertWord(piece, start);
        start = marker;
    }
    result += ConvertWord(piece, start);
}

// Appends the conversion line by line, so that on a failure the result holds what was made.
void AppendConvertedLines(const QString &text, QString &result, const CancelToken *cancel)
{
    result.reserve(text.size());
    qint32 start = 1;
    QString line;
    for (;;) {
        const qint32 marker = NextToken(text, kCrLf, start, line);
        line = TrimBlanks(line);
        if (marker <= 1)
            break;
        AppendJoinedWords(line, result, cancel);
        result += kCrLf;
        start = marker + 1;
    }
    AppendJoinedWords(line, result, cancel);
}

}

QString JoinWords(const QString &line)
{
    QString result;
    result.reserve(line.size());
    AppendJoinedWords(line, result, nullptr);
    return result;
}

QString ConvertLines(const QString &text)
{
    QString result;
    try {
        AppendConvertedLines(text, result, nullptr);
    } catch (...) {
        ShowTrappedError();
    }
    return result;
}

GeneratedText ConvertAllLines(const QString &text, const CancelToken *cancel)
{
    GeneratedText generated;
    try {
        AppendConvertedLines(text, generated.text, cancel);
    } catch (...) {
        // What was built so far is dropped with it.
        generated = GeneratedText::FromTrappedError();
    }
    return generated;
}
