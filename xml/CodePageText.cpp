#include "xml/CodePageText.h"

#include <QStringDecoder>
#include <QTextCodec>

namespace CodePageText {

namespace {

QTextCodec *codePage932()
{
    // Qt's codec of this name is ICU's Windows variant (ibm-943_P15A-2003): 0x5C is a backslash
    // and the NEC and IBM extension rows decode.
    static QTextCodec *const codec = QTextCodec::codecForName("windows-31j");
    return codec;
}

bool hasMultiByteSequence(const QByteArray &bytes)
{
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return true;
    }
    return false;
}

}

QString DecodeCodePage932(const QByteArray &bytes, bool *clean)
{
    const QString text = codePage932()->toUnicode(bytes);
    // No code-page character maps to U+FFFD, so every one in the text stands for bad bytes.
    if (clean)
        *clean = !text.contains(QChar::ReplacementCharacter);
    return text;
}

DecodedText Decode(const QByteArray &bytes)
{
    static const QByteArray byteOrderMark("\xEF\xBB\xBF");
    if (bytes.startsWith(byteOrderMark)) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        DecodedText result{utf8(QByteArrayView(bytes).sliced(byteOrderMark.size())), Encoding::Utf8, true};
        result.clean = !utf8.hasError();
        return result;
    }
    if (hasMultiByteSequence(bytes)) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString text = utf8(bytes);
        if (!utf8.hasError())
            return {std::move(text), Encoding::Utf8, true};
    }
    DecodedText result;
    result.text = DecodeCodePage932(bytes, &result.clean);
    return result;
}

bool EncodeCodePage932(const QString &text, QByteArray *bytes, QString *error)
{
    QTextCodec::ConverterState state(QTextCodec::ConvertInvalidToNull);
    QByteArray encoded = codePage932()->fromUnicode(text.constData(), int(text.size()), &state);
    if (state.invalidChars > 0 || state.remainingChars > 0) {
        if (error) {
            // Find the first character that does not survive on its own, for the message.
            *error = QStringLiteral("a character cannot be written in code page 932");
            for (qsizetype i = 0; i < text.size(); ++i) {
                const qsizetype length =
                    (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) ? 2 : 1;
                QTextCodec::ConverterState one(QTextCodec::ConvertInvalidToNull);
                codePage932()->fromUnicode(text.constData() + i, int(length), &one);
                if (one.invalidChars > 0 || one.remainingChars > 0) {
                    const char32_t code = length == 2 ? QChar::surrogateToUcs4(text.at(i), text.at(i + 1))
                                                      : text.at(i).unicode();
                    *error = QStringLiteral("U+%1 cannot be written in code page 932")
                                 .arg(QString::number(uint(code), 16).toUpper().rightJustified(4, u'0'));
                    break;
                }
                i += length - 1;
            }
        }
        return false;
    }
    *bytes = std::move(encoded);
    return true;
}

QString NormalizeLineEnds(const QString &text)
{
    QString result;
    result.reserve(text.size() + text.count(u'\r') + 2);
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text.at(i);
        result.append(c);
        if (c == u'\r' && (i + 1 >= size || text.at(i + 1) != u'\n'))
            result.append(u'\n');
    }
    if (!result.isEmpty() && !result.endsWith(QStringLiteral("\r\n")))
        result.append(QStringLiteral("\r\n"));
    return result;
}

}
