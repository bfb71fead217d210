#include "xml/CodePageText.h"

#include "base/ServiceSlot.h"
#include "base/mdl_ErrorFunction.h"

#include <QList>
#include <QStringDecoder>

#include <algorithm>

namespace CodePageText {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool IsSingleByte(uchar b)
{
    return b < 0x80 || (b >= 0xA1 && b <= 0xDF);
}

bool IsLeadByte(uchar b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

bool IsTrailByte(uchar b)
{
    return b >= 0x40 && b <= 0xFC && b != 0x7F;
}

QString CodeName(char32_t code)
{
    return QStringLiteral("U+%1").arg(QString::number(uint(code), 16).toUpper().rightJustified(4, u'0'));
}

bool HasNonAscii(QByteArrayView bytes)
{
    return std::any_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<uchar>(c) >= 0x80; });
}

bool IsAsciiLetter(char32_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// Latin-1, Latin Extended, IPA and Additional letters, modifier letters and combining accents
// (decomposed text): French, German, Spanish, Nordic, Polish, Czech, Turkish, Azerbaijani,
// Vietnamese, the names of languages.
bool IsWesternLetter(char32_t c)
{
    return (c >= 0xC0 && c <= 0x36F && c != 0xD7 && c != 0xF7) || (c >= 0x1E00 && c <= 0x1EFF);
}

// Latin-1 signs: no-break space, ¡ ¢ £ ¥ § © « ® ° ± ² µ ¶ · » ¼ ½ ¿ × ÷.
bool IsWesternSymbol(char32_t c)
{
    return (c >= 0xA0 && c <= 0xBF) || c == 0xD7 || c == 0xF7;
}

// Whether the characters [first, end) stand apart as Western text does: by ASCII characters,
// Western letters or signs, general punctuation (the narrow blank in "« %s »"), or the ends of
// the text; not alone between the tags of a value
// ("<A>²</A>") nor beside other non-ASCII characters.
bool StandsApart(const QList<uint> &codes, qsizetype first, qsizetype end)
{
    const auto fits = [&codes](qsizetype at) {
        const uint c = at < 0 || at >= codes.size() ? 0 : codes[at];
        return c < 0x80 || IsWesternLetter(c) || IsWesternSymbol(c) || (c >= 0x2000 && c <= 0x206F);
    };
    const bool betweenTags = first > 0 && end < codes.size() && codes[first - 1] == u'>' && codes[end] == u'<';
    return fits(first - 1) && fits(end) && !betweenTags;
}

// Japanese text and the symbols both kinds of text use, wherever they stand.
bool IsJapaneseOrSymbol(char32_t c)
{
    struct Range {
        char32_t first;
        char32_t last;
    };
    static constexpr Range kRanges[] = {
        {0x2000, 0x206F}, // general punctuation
        {0x20A0, 0x20CF}, // currency signs
        {0x2100, 0x2BFF}, // letterlike, number forms, arrows, maths, technical, enclosed, boxes, shapes
        {0x2E80, 0x2FDF}, // CJK radicals
        {0x3000, 0x30FF}, // CJK punctuation, hiragana, katakana
        {0x3190, 0x319F}, // kanbun
        {0x31F0, 0x31FF}, // small katakana
        {0x3200, 0x33FF}, // enclosed CJK, CJK compatibility (㈱, ㌔)
        {0x3400, 0x4DBF}, // CJK extension A
        {0x4E00, 0x9FFF}, // CJK unified ideographs
        {0xF900, 0xFAFF}, // CJK compatibility ideographs
        {0xFE00, 0xFE0F}, // variation selectors
        {0xFE30, 0xFE4F}, // CJK compatibility forms
        {0xFF00, 0xFFEF}, // full-width and half-width forms
        {0x1F000, 0x1FAFF}, // emoji and pictographs
        {0x20000, 0x3134F}, // CJK extensions B to G
    };
    return std::any_of(std::begin(kRanges), std::end(kRanges),
                       [c](const Range &range) { return c >= range.first && c <= range.last; });
}

}

CodePage932::CodePage932(const NativeCodePage::Codec *codec)
{
    if (!codec)
        return;
    // The codec is asked once per character of the page; a codec that cannot even decode ASCII
    // counts as missing.
    std::u16string text;
    if (!codec->decode("A", text) || text != u"A")
        return;
    m_codec = codec;
    m_table.assign(0x10000, kReplacement);
    const auto fill = [&](std::string_view bytes, size_t index) {
        if (codec->decode(bytes, text) && text.size() == 1)
            m_table[index] = text.front();
    };
    // Bytes 00-7F are ASCII, as on Windows. ICU's "windows-31j" swaps three controls the IBM way
    // (1A, 1C and 7F read as U+001C, U+007F and U+001A), so they are not asked for.
    for (int b = 0; b < 0x80; ++b)
        m_table[size_t(b)] = char16_t(b);
    for (int b = 0xA1; b <= 0xDF; ++b) {
        const char byte = char(b);
        fill(std::string_view(&byte, 1), size_t(b));
    }
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!IsLeadByte(uchar(lead)))
            continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (!IsTrailByte(uchar(trail)))
                continue;
            const char pair[2] = {char(lead), char(trail)};
            fill(std::string_view(pair, 2), size_t(lead) << 8 | size_t(trail));
        }
    }
}

const std::vector<NativeCodePage::Codec> &CodePage932::SystemCodecs()
{
    static const std::vector<NativeCodePage::Codec> codecs = NativeCodePage::Codecs();
    return codecs;
}

const CodePage932 &CodePage932::Current()
{
    static const CodePage932 system(SystemCodecs().empty() ? nullptr : &SystemCodecs().front());
    return ServiceSlot<const CodePage932>::Current(system);
}

QString CodePage932::name() const
{
    return m_codec ? QString::fromLatin1(m_codec->name) : QStringLiteral("none");
}

QString CodePage932::decode(QByteArrayView bytes, bool *clean) const
{
    if (!m_codec)
        throw RuntimeError(ErrorNumber::InvalidProcedureCall,
                           ErrorDescription(ErrorNumber::InvalidProcedureCall,
                                            QStringLiteral("this system has no code page 932 codec to read the file")));
    QString text;
    text.reserve(bytes.size());
    bool ok = true;
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size;) {
        const uchar b = uchar(bytes[i]);
        char16_t c = kReplacement;
        if (IsLeadByte(b) && i + 1 < size && IsTrailByte(uchar(bytes[i + 1]))) {
            c = m_table[size_t(b) << 8 | uchar(bytes[i + 1])];
            i += 2;
        } else {
            if (IsSingleByte(b))
                c = m_table[b];
            i += 1;
        }
        ok = ok && c != kReplacement;
        text.append(QChar(c));
    }
    if (clean)
        *clean = ok;
    return text;
}

bool CodePage932::encode(const QString &text, QByteArray *bytes, QString *error) const
{
    if (!m_codec) {
        if (error)
            *error = QStringLiteral("this system has no code page 932 codec to write the file");
        return false;
    }
    // ASCII is written as it is (see the table), the rest through the codec; a codec that writes
    // a look-alike for a character the page lacks is caught by reading the bytes back.
    const auto encodes = [this](QStringView part, std::string &out) {
        out.clear();
        for (qsizetype i = 0; i < part.size();) {
            qsizetype end = i;
            const bool ascii = part.at(i).unicode() < 0x80;
            while (end < part.size() && (part.at(end).unicode() < 0x80) == ascii)
                ++end;
            if (ascii) {
                for (qsizetype k = i; k < end; ++k)
                    out.push_back(char(part.at(k).unicode()));
            } else {
                std::string piece;
                const QStringView run = part.sliced(i, end - i);
                if (!m_codec->encode(std::u16string_view(reinterpret_cast<const char16_t *>(run.utf16()), size_t(run.size())),
                                     piece))
                    return false;
                out += piece;
            }
            i = end;
        }
        bool clean = false;
        return decode(QByteArrayView(out.data(), qsizetype(out.size())), &clean) == part && clean;
    };
    std::string encoded;
    if (encodes(text, encoded)) {
        *bytes = QByteArray(encoded.data(), qsizetype(encoded.size()));
        return true;
    }
    if (error) {
        *error = QStringLiteral("a character cannot be written in code page 932");
        for (qsizetype i = 0; i < text.size();) {
            const qsizetype length = (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) ? 2
                                                                                                                              : 1;
            if (!encodes(QStringView(text).sliced(i, length), encoded)) {
                *error = CodeName(length == 2 ? QChar::surrogateToUcs4(text.at(i), text.at(i + 1)) : text.at(i).unicode())
                         + QStringLiteral(" cannot be written in code page 932");
                break;
            }
            i += length;
        }
    }
    return false;
}

bool IsPlausibleText(QStringView text)
{
    const QList<uint> codes = text.toUcs4();
    const qsizetype size = codes.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char32_t c = codes[i];
        if (c < 0x80 || IsJapaneseOrSymbol(c))
            continue;
        if (IsWesternLetter(c)) {
            // A word of Latin letters needs an ASCII one, as in "café" or "Łódź"; a word of
            // accented letters alone is a half-width katakana pair (ﾃｽ reads "ý"), except a
            // one-letter word a blank away from another word, such as "é" in "Ele é bom" or "è" in
            // "C'è" (not "404ı" nor "` é").
            qsizetype first = i;
            while (first > 0 && (IsAsciiLetter(codes[first - 1]) || IsWesternLetter(codes[first - 1])))
                --first;
            qsizetype end = i;
            while (end < size && (IsAsciiLetter(codes[end]) || IsWesternLetter(codes[end])))
                ++end;
            const bool hasAscii = std::any_of(codes.begin() + first, codes.begin() + end,
                                              [](uint code) { return IsAsciiLetter(code); });
            // The other word may be a placeholder such as "%s"; the gap a blank or an apostrophe.
            const auto isWord = [&codes](qsizetype at) {
                return IsAsciiLetter(codes[at]) || IsWesternLetter(codes[at]) || codes[at] == u'%';
            };
            const auto isGap = [&codes](qsizetype at) { return codes[at] == u' ' || codes[at] == u'\''; };
            const bool oneLetterWord = end - first == 1 && StandsApart(codes, first, end)
                                       && ((first > 1 && isGap(first - 1) && isWord(first - 2))
                                           || (end + 1 < size && isGap(end) && isWord(end + 1)));
            if (!hasAscii && !oneLetterWord)
                return false;
            i = end - 1;
            continue;
        }
        if (IsWesternSymbol(c)) {
            // Signs stand by words, digits, blanks or punctuation ("© 2024", "20°C", "»<«",
            // "¿¿¿???"), not alone between tags or other non-ASCII characters as a misread
            // katakana pair does.
            qsizetype end = i;
            while (end < size && IsWesternSymbol(codes[end]))
                ++end;
            // and touch something written: a character other than a blank or a bracket, or a
            // word a blank away.
            const auto isWritten = [&codes](qsizetype at) {
                const uint code = codes[at];
                return (code < 0x80 && code != u' ' && code != u'<' && code != u'>') || IsWesternLetter(code);
            };
            const auto isWordish = [&codes](qsizetype at) {
                return IsAsciiLetter(codes[at]) || (codes[at] >= u'0' && codes[at] <= u'9') || codes[at] == u'%';
            };
            const bool touches = (i > 0 && isWritten(i - 1)) || (end < size && isWritten(end))
                                 || (i > 1 && codes[i - 1] == u' ' && isWordish(i - 2))
                                 || (end + 1 < size && codes[end] == u' ' && isWordish(end + 1));
            if (!StandsApart(codes, i, end) || !touches)
                return false;
            i = end - 1;
            continue;
        }
        return false;
    }
    return true;
}

QString DecodeCodePage932(const QByteArray &bytes, bool *clean)
{
    return CodePage932::Current().decode(bytes, clean);
}

DecodedText Decode(const QByteArray &bytes, OtherReading other)
{
    const auto unicode = [&bytes](QStringDecoder::Encoding encoding, qsizetype markSize, Encoding kind) {
        QStringDecoder decoder(encoding, QStringDecoder::Flag::Stateless);
        DecodedText result{decoder(QByteArrayView(bytes).sliced(markSize)), kind, true, QString()};
        result.clean = !decoder.hasError();
        return result;
    };
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return unicode(QStringDecoder::Utf8, 3, Encoding::Utf8);
    if (bytes.startsWith("\xFF\xFE"))
        return unicode(QStringDecoder::Utf16LE, 2, Encoding::Utf16LE);
    if (bytes.startsWith("\xFE\xFF"))
        return unicode(QStringDecoder::Utf16BE, 2, Encoding::Utf16BE);
    // ASCII reads the same in both, and needs no codec.
    if (!HasNonAscii(bytes))
        return DecodedText{QString::fromLatin1(bytes), Encoding::CodePage932, true, QString()};

    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString utf8Text = utf8(bytes);
    if (utf8.hasError()) {
        DecodedText result;
        result.text = DecodeCodePage932(bytes, &result.clean);
        return result;
    }
    // Valid UTF-8: code page 932 only when its reading is clean and the UTF-8 one improbable.
    const bool isPlausible = IsPlausibleText(utf8Text);
    if (isPlausible && other == OtherReading::Skipped)
        return DecodedText{std::move(utf8Text), Encoding::Utf8, true, QString()};
    bool codePageClean = false;
    QString codePageText;
    if (CodePage932::Current().isAvailable())
        codePageText = CodePage932::Current().decode(bytes, &codePageClean);
    if (!codePageClean)
        return DecodedText{std::move(utf8Text), Encoding::Utf8, true, QString()};
    if (isPlausible)
        return DecodedText{std::move(utf8Text), Encoding::Utf8, true, std::move(codePageText)};
    return DecodedText{std::move(codePageText), Encoding::CodePage932, true, std::move(utf8Text)};
}

bool EncodeCodePage932(const QString &text, QByteArray *bytes, QString *error)
{
    return CodePage932::Current().encode(text, bytes, error);
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
