#pragma once

#include <QByteArray>
#include <QString>

// The text encodings of settings files: code page 932 (Windows-31J, where byte 0x5C is a
// backslash), and UTF-8, which today's editors write by default.
namespace CodePageText {

enum class Encoding { CodePage932, Utf8 };

struct DecodedText {
    QString text;
    Encoding encoding = Encoding::CodePage932;
    // False when some bytes had no character in the encoding (they became U+FFFD).
    bool clean = true;
};

// UTF-8 when the bytes begin with its byte-order mark (which is dropped), or when they are valid
// UTF-8 with at least one multi-byte sequence; code page 932 otherwise.
DecodedText Decode(const QByteArray &bytes);
QString DecodeCodePage932(const QByteArray &bytes, bool *clean = nullptr);

// Encodes in code page 932. Fails, naming the first character it cannot represent, instead of
// writing a substitute.
bool EncodeCodePage932(const QString &text, QByteArray *bytes, QString *error = nullptr);

// Joins lines as the settings reader sees them: CR LF and a lone CR end a line, a lone LF stays
// inside its line, and every line, the last one too, is followed by CR LF.
QString NormalizeLineEnds(const QString &text);

}
