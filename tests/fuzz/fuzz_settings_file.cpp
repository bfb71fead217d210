// A settings file loaded and every item used on a text, as the window does at start and on clicks.
// Input: the file's bytes, then optionally the marker of four NUL bytes, a flag byte (bit 0: the
// text is UTF-16 code units) and the clipboard text.
#include "FuzzSupport.h"

#include "cli/SettingsCheck.h"
#include "settings/Cls_MySettingFile.h"
#include "settings/ColorText.h"
#include "settings/SettingsSchema.h"
#include "xml/CodePageText.h"

#include <QFile>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArrayView input = fuzz::bytes(data, size);
    QString clipboard = QStringLiteral("2024-01-02 「a」 x  y\r\nz");
    const qsizetype marker = input.indexOf(QByteArrayView("\0\0\0\0", 4));
    if (marker >= 0) {
        const QByteArrayView rest = input.sliced(marker + 4);
        clipboard = rest.isEmpty() ? QString() : fuzz::text(rest.sliced(1), rest[0] & 1);
        input = input.first(marker);
    }

    QFile file(fuzz::folder() + QStringLiteral("/tavrelo.xml"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(input.data(), input.size()) != input.size())
        fuzz::fail("cannot write the settings file");
    file.close();

    Cls_MySettingFile settings;
    settings.Path(fuzz::folder());
    settings.Name(QStringLiteral("tavrelo.xml"));
    if (!settings.LoadFile())
        fuzz::fail("an existing file did not load");

    settings.GetTitle();
    settings.GetLink();
    settings.IsShowVersion();
    for (const QString &key : SettingsSchema::ColorElements) {
        const qint32 color = ToColor(settings.Color().Gets(key));
        if (color < 0 || color > 0xFFFFFF)
            fuzz::fail("colour outside RRGGBB");
    }

    // The store's indexed lookup finds what a plain first-match search finds.
    const QString text = CodePageText::Decode(QByteArray(input.data(), input.size())).text;
    Cls_XML store;
    store.SetFileItem(text, QString());
    for (const QString &name : {SettingsSchema::DataSetting, SettingsSchema::ItemElement(0), QStringLiteral("A<B"),
                                QStringLiteral("a>b"), QString(), text.left(3)}) {
        if (store.Gets(name) != Cls_XML::ExtractElement_str(text, name))
            fuzz::fail("indexed and plain lookups disagree", name);
    }

    // The checker reads every value the palette reads, and the same.
    CheckedValues checked;
    CheckSettings(QByteArray(input.data(), input.size()), &checked);
    const auto agrees = [&](const QString &path, const QString &palette) {
        if (checked.value(path) != palette)
            fuzz::fail("the checker and the palette read different values", path);
    };
    const QString section = SettingsSchema::DataSetting + u'/';
    agrees(section + SettingsSchema::Title, settings.GetTitle());
    agrees(section + SettingsSchema::Link, settings.GetLink());
    agrees(section + SettingsSchema::Version, settings.GetVersion());
    for (const QString &key : SettingsSchema::ColorElements)
        agrees(SettingsSchema::ColorSetting + u'/' + key, settings.Color().Gets(key));

    for (qint32 index = 0; index < SettingsSchema::ItemCount; ++index) {
        const bool positioned = settings.SetDataPrepare(index);
        const QString item = section + SettingsSchema::ItemElement(index) + u'/';
        if (positioned) {
            agrees(item + SettingsSchema::Name, settings.GetName());
            agrees(item + SettingsSchema::Reg, settings.GetReg());
            agrees(item + SettingsSchema::Replace, settings.GetReplaceString());
            agrees(item + SettingsSchema::Data, settings.GetData());
        } else if (checked.contains(item + SettingsSchema::Name)) {
            fuzz::fail("the checker read an item the palette does not have", QString::number(index));
        }
        const GeneratedText generated = settings.DataGet(index, clipboard);
        if (!positioned && (generated.ok() || !generated.text.isEmpty()))
            fuzz::fail("a missing item produced a text");
        if (!generated.ok() && !generated.text.isEmpty())
            fuzz::fail("a failed item gave a text", QString::number(index));
        // The rewrite itself gives the same text as the item does.
        if (positioned && settings.isReg() && generated.text != settings.RegExpExecute(index, clipboard).text)
            fuzz::fail("DataGet and RegExpExecute disagree", QString::number(index));
    }
    return 0;
}
