// Items written by Cls_XML and read back must keep their values.
// Input: key NUL value NUL key NUL value ..., UTF-8.
//
// The store finds an element by the first "<key>" in the file and the first "</key>" after it,
// and the reader decodes and re-ends lines; only the inputs for which that reading is unambiguous
// are checked:
// - a key must be non-empty and new (otherwise AddItem_bln refuses it, by design);
// - keys and values must survive code page 932 on their own (otherwise saving fails, by design);
// - no lone CR: the reader turns it into CR LF, and a CR at the end of a value is followed by "<";
// - the written file must not read as UTF-8 (half-width katakana pairs can form valid UTF-8
//   sequences, and the reader then takes the file for UTF-8);
// - a key is checked only when its opening and closing tags each occur once in the whole file:
//   otherwise another item's key or value, the declaration or the top tag holds one of its tags
//   and the first match is not the item itself.
#include "FuzzSupport.h"

#include "xml/CodePageText.h"
#include "xml/Cls_XML.h"

#include <QFile>
#include <QSet>
#include <QTemporaryDir>

namespace {

const QString kFileName = QStringLiteral("roundtrip.xml");
QTemporaryDir *folder = nullptr;

bool survivesCodePage932(const QString &text)
{
    QByteArray bytes;
    return CodePageText::encodeCodePage932(text, &bytes) && CodePageText::decodeCodePage932(bytes) == text;
}

bool hasLoneCarriageReturn(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == u'\r' && (i + 1 == text.size() || text.at(i + 1) != u'\n'))
            return true;
    }
    return false;
}

}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::installSilentPresenter();
    folder = new QTemporaryDir;
    if (!folder->isValid())
        fuzz::fail("no temporary folder");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QList<QByteArrayView> parts = fuzz::split(fuzz::bytes(data, size), 64);
    QList<QPair<QString, QString>> items;
    QSet<QString> keys;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString key = QString::fromUtf8(parts[i]);
        const QString value = QString::fromUtf8(parts[i + 1]);
        if (key.isEmpty() || keys.contains(key) || !survivesCodePage932(key) || !survivesCodePage932(value)
            || hasLoneCarriageReturn(key) || hasLoneCarriageReturn(value))
            continue;
        keys.insert(key);
        items.append({key, value});
    }

    Cls_XML writer;
    writer.SaveFilePath_Prop(folder->path());
    for (const auto &[key, value] : items) {
        if (!writer.AddItem_bln(key, value))
            fuzz::fail("a new key was refused", key);
    }
    if (!writer.SaveFile_bln(kFileName))
        fuzz::fail("saving failed");

    QFile file(folder->filePath(kFileName));
    if (!file.open(QIODevice::ReadOnly))
        fuzz::fail("the saved file is missing");
    if (CodePageText::decode(file.readAll()).encoding != CodePageText::Encoding::CodePage932)
        return 0;

    Cls_XML reader;
    reader.SaveFilePath_Prop(folder->path());
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
