// Items written by Cls_XML and read back must keep their values.
// Input: key NUL value NUL key NUL value ..., UTF-8.
//
// The store finds an element by the first "<key>" and the first "</key>" after it, and the reader
// decodes and re-ends lines, so only inputs that read back unambiguously are checked: keys new and
// non-empty, keys and values that survive code page 932 and hold no lone CR (the reader makes it
// CR LF), and keys whose opening and closing tags each occur once in the whole file.
//
// Every file is read back. The one allowed change is a file whose code page 932 bytes also form
// plausible UTF-8 text, which the reader then takes for UTF-8: such files are counted (printed at
// the end of the run), and none of them may hold a key or value of half-width katakana without
// ASCII letters.
#include "FuzzSupport.h"

#include "xml/Cls_XML.h"
#include "xml/CodePageText.h"

#include <QFile>
#include <QSet>

#include <algorithm>
#include <cstdio>

namespace {

const QString kFileName = QStringLiteral("roundtrip.xml");

bool survives(const QString &text) // code page 932, without lone CRs
{
    QByteArray bytes;
    return CodePageText::EncodeCodePage932(text, &bytes) && CodePageText::DecodeCodePage932(bytes) == text
           && text.count(u'\r') == text.count(QStringLiteral("\r\n"));
}

bool isHalfWidthKatakana(QChar c)
{
    return c.unicode() >= 0xFF61 && c.unicode() <= 0xFF9F;
}

// Words of half-width katakana, like the names "ﾘｽﾄｱ" or "ﾗｼﾞｵ ｶｾｯﾄ": these must never read back as
// UTF-8. A mix with other letters ("ﾃＩ", whose bytes C3 82 68 are also "Âh") is one of the rare
// texts whose code page 932 bytes are plausible UTF-8 too, and only counted.
bool isKatakanaText(const QString &text)
{
    return std::any_of(text.begin(), text.end(), isHalfWidthKatakana)
           && std::all_of(text.begin(), text.end(), [](QChar c) { return isHalfWidthKatakana(c) || c == u' '; });
}

struct ReadAsUtf8Count {
    long files = 0;
    long all = 0;
    ~ReadAsUtf8Count() { std::fprintf(stderr, "round trip: %ld of %ld written files read back as UTF-8\n", files, all); }
};

ReadAsUtf8Count readAsUtf8;

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QList<QByteArrayView> parts = fuzz::split(fuzz::bytes(data, size), 64);
    QList<QPair<QString, QString>> items;
    QSet<QString> keys;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString key = QString::fromUtf8(parts[i]);
        const QString value = QString::fromUtf8(parts[i + 1]);
        if (!key.isEmpty() && !keys.contains(key) && survives(key) && survives(value)) {
            keys.insert(key);
            items.append({key, value});
        }
    }

    Cls_XML writer;
    writer.SaveFilePath_Prop(fuzz::folder());
    for (const auto &[key, value] : items) {
        if (!writer.AddItem_bln(key, value))
            fuzz::fail("a new key was refused", key);
    }
    if (!writer.SaveFile_bln(kFileName))
        fuzz::fail("saving failed");

    QFile file(fuzz::folder() + '/' + kFileName);
    if (!file.open(QIODevice::ReadOnly))
        fuzz::fail("the saved file is missing");
    const CodePageText::DecodedText decoded = CodePageText::Decode(file.readAll());
    ++readAsUtf8.all;
    if (decoded.encoding != CodePageText::Encoding::CodePage932) {
        ++readAsUtf8.files;
        for (const auto &[key, value] : items) {
            if (isKatakanaText(key) || isKatakanaText(value))
                fuzz::fail("a half-width katakana word read back as UTF-8", decoded.text);
        }
        if (!CodePageText::IsPlausibleText(decoded.text))
            fuzz::fail("an implausible UTF-8 reading was taken", decoded.text);
        return 0;
    }

    Cls_XML reader;
    reader.SaveFilePath_Prop(fuzz::folder());
    if (!reader.ReadFile_bln(kFileName, false))
        fuzz::fail("reading failed");
    const QString fileText = writer.GetFileItemAll_str();
    for (const auto &[key, value] : items) {
        if (fileText.count(Cls_XML::OpenTag_str(key)) != 1 || fileText.count(Cls_XML::CloseTag_str(key)) != 1)
            continue;
        if (reader.Gets(key) != value)
            fuzz::fail("value changed on the round trip", key);
    }
    return 0;
}
