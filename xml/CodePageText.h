#pragma once

#include "platform/NativeCodePage.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <vector>

// The text encodings of settings files: code page 932 (Windows-31J, where byte 0x5C is a
// backslash), UTF-8, which today's editors write by default, and UTF-16 with its byte-order mark
// (Notepad's "Unicode").
namespace CodePageText {

enum class Encoding { CodePage932, Utf8, Utf16LE, Utf16BE };

struct DecodedText {
    QString text;
    Encoding encoding = Encoding::CodePage932;
    // False when some bytes had no character in the encoding (they became U+FFFD).
    bool clean = true;
    // Without a byte-order mark, the bytes also decode cleanly in the other of UTF-8 and code
    // page 932, into this different text; empty when there was no such doubt.
    QString otherReading;
};

// Code page 932 through one of the system's codecs. Bytes are split into characters by the code
// page's own structure (single bytes 00-7F and A1-DF, lead bytes 81-9F and E0-FC), and each
// character is looked up in a table the codec filled once, so every codec treats bad bytes alike:
// each byte that starts no character becomes one U+FFFD.
class CodePage932 {
public:
    explicit CodePage932(const NativeCodePage::Codec *codec);

    // The codec to use: the system's preferred one unless a test installed another.
    static const CodePage932 &Current();
    // Every code page 932 codec of this system, for tests.
    static const std::vector<NativeCodePage::Codec> &SystemCodecs();

    bool isAvailable() const { return m_codec != nullptr; }
    QString name() const;
    // Throws RuntimeError when no codec is available.
    QString decode(QByteArrayView bytes, bool *clean = nullptr) const;
    // Fails, naming the first character it cannot represent, instead of writing a substitute.
    bool encode(const QString &text, QByteArray *bytes, QString *error = nullptr) const;

private:
    const NativeCodePage::Codec *m_codec = nullptr;
    std::vector<char16_t> m_table; // by byte (0-FF) or by lead and trail byte (lead * 256 + trail)
};

// Whether Decode also tells the other reading of bytes that decode cleanly both ways. A reader
// that needs only the text skips it: plausible UTF-8 is then taken without asking the code page
// at all, which spares building its table and loading the system's converter.
enum class OtherReading { Told, Skipped };

// A byte-order mark decides (UTF-8, UTF-16 LE or BE; the mark is dropped). Without one, bytes
// that are valid UTF-8 with multi-byte sequences are UTF-8 when the decoded text is plausible
// (IsPlausibleText) or when they are no clean code page 932; all else is code page 932.
DecodedText Decode(const QByteArray &bytes, OtherReading other = OtherReading::Told);
QString DecodeCodePage932(const QByteArray &bytes, bool *clean = nullptr);

// Whether a text decoded from UTF-8 looks like what a settings file holds: Japanese (kana,
// kanji, CJK punctuation, full- and half-width forms), Western letters inside words that hold
// ASCII letters, the symbols of both (punctuation, currency, arrows, maths, boxes, enclosed
// numbers, emoji). Code page 932 read as UTF-8 gives Arabic, Hebrew, Greek, Cyrillic, Latin
// Extended letters and C1 controls where half-width katakana stood.
bool IsPlausibleText(QStringView text);

// Encodes in code page 932. Fails, naming the first character it cannot represent, instead of
// writing a substitute.
bool EncodeCodePage932(const QString &text, QByteArray *bytes, QString *error = nullptr);

// Joins lines as the settings reader sees them: CR LF and a lone CR end a line, a lone LF stays
// inside its line, and every line, the last one too, is followed by CR LF.
QString NormalizeLineEnds(const QString &text);

}
