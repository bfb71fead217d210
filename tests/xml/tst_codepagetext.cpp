#include "xml/Cls_XML.h"
#include "xml/CodePageText.h"

#include "base/ServiceSlot.h"
#include "base/mdl_ErrorFunction.h"

#include "RecordingPresenter.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using CodePageText::CodePage932;
using CodePageText::Encoding;

namespace {

const QString kCodePageText = QStringLiteral("\\~\uFF5E\uFF3C\uFFE0\u2460\u7E8A\u2170\uFF71日");
// Like Windows, the code page writes 纊 with its IBM code FA5C; ED40 reads as the same character.
const QByteArray kCodePageRead("\\~\x81\x60\x81\x5F\x81\x91\x87\x40\xED\x40\xFA\x40\xB1\x93\xfa");
const QByteArray kCodePageWritten("\\~\x81\x60\x81\x5F\x81\x91\x87\x40\xFA\x5C\xFA\x40\xB1\x93\xfa");

QByteArray inName(const QByteArray &bytes)
{
    return "<?xml version = '1.0' encoding = 'Shift_JIS'?>\r\n<Name>" + bytes + "</Name>\r\n";
}

QString inName(const QString &text)
{
    return QStringLiteral("<?xml version = '1.0' encoding = 'Shift_JIS'?>\r\n<Name>") + text + QStringLiteral("</Name>\r\n");
}

QByteArray utf16(const QString &text, bool littleEndian)
{
    QByteArray bytes(littleEndian ? "\xFF\xFE" : "\xFE\xFF");
    for (QChar c : text) {
        const char high = char(c.unicode() >> 8);
        const char low = char(c.unicode() & 0xFF);
        bytes.append(littleEndian ? low : high).append(littleEndian ? high : low);
    }
    return bytes;
}

}

class TestCodePageText : public QObject {
    Q_OBJECT

private slots:
    void everyCodecReadsAndWritesTheVectors_data();
    void everyCodecReadsAndWritesTheVectors();
    void encodingRule_data();
    void encodingRule();
    void plausibleText_data();
    void plausibleText();
    void missingCodecFailsClearly();
};

void TestCodePageText::everyCodecReadsAndWritesTheVectors_data()
{
    QTest::addColumn<int>("codec");
    const auto &codecs = CodePage932::SystemCodecs();
    // Qt finds the code page only where it was built with ICU; iconv is there with glibc.
    QVERIFY(!codecs.empty());
    for (size_t i = 0; i < codecs.size(); ++i)
        QTest::newRow(codecs[i].name) << int(i);
}

void TestCodePageText::everyCodecReadsAndWritesTheVectors()
{
    QFETCH(int, codec);
    const CodePage932 page(&CodePage932::SystemCodecs()[size_t(codec)]);
    QVERIFY(page.isAvailable());

    bool clean = false;
    QCOMPARE(page.decode(kCodePageRead, &clean), kCodePageText);
    QVERIFY(clean);
    QByteArray bytes;
    QVERIFY(page.encode(kCodePageText, &bytes));
    QCOMPARE(bytes, kCodePageWritten);

    // Controls are ASCII, as on Windows (ICU would swap 1A, 1C and 7F).
    const QByteArray controls("\x1A\x1C\x7F\t");
    QCOMPARE(page.decode(controls, &clean), QStringLiteral("\u001A\u001C\u007F\t"));
    QVERIFY(page.encode(QStringLiteral("\u001A\u001C\u007F\t"), &bytes));
    QCOMPARE(bytes, controls);

    // Bytes that start no character: each becomes one U+FFFD, and the next byte starts afresh.
    QCOMPARE(page.decode(QByteArray("\x80"
                                    "A\xA0\xFD\x81 \x82",
                                    7),
                         &clean),
             QStringLiteral("\uFFFDA\uFFFD\uFFFD\uFFFD \uFFFD"));
    QVERIFY(!clean);
    // A pair that has no character in the page.
    QCOMPARE(page.decode(QByteArray("\x85\x40"), &clean), QStringLiteral("\uFFFD"));
    QVERIFY(!clean);

    // Characters the page cannot hold are refused, named, never replaced by a look-alike.
    const QList<QPair<QString, QString>> refused = {
        {QStringLiteral("5€"), QStringLiteral("U+20AC")},
        {QStringLiteral("a\u203Eb"), QStringLiteral("U+203E")}, // overline: iconv would write "~"
        {QStringLiteral("\u00A5"), QStringLiteral("U+00A5")}, // yen sign: iconv would write "\"
        {QStringLiteral("x\U0001F600"), QStringLiteral("U+1F600")},
        {QString(QChar(0xD800)), QStringLiteral("U+D800")},
    };
    for (const auto &[text, name] : refused) {
        QString error;
        bytes = "kept";
        QVERIFY2(!page.encode(text, &bytes, &error), qPrintable(name));
        QCOMPARE(bytes, QByteArray("kept"));
        QVERIFY2(error.startsWith(name), qPrintable(error));
    }
}

void TestCodePageText::encodingRule_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("encoding");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("doubt");

    const int cp932 = int(Encoding::CodePage932);
    const int utf8 = int(Encoding::Utf8);
    // Half-width katakana whose code page bytes are also valid UTF-8.
    QTest::newRow("ﾘｽﾄｱ is no Arabic and Latin")
        << inName(QByteArray("\xD8\xBD\xC4\xB1")) << cp932 << inName(QStringLiteral("ﾘｽﾄｱ")) << true;
    QTest::newRow("ﾏｲﾅｽ is no Greek and Latin")
        << inName(QByteArray("\xCF\xB2\xC5\xBD")) << cp932 << inName(QStringLiteral("ﾏｲﾅｽ")) << true;
    QTest::newRow("ﾗｼﾞｵ is no Hebrew and Thaana")
        << inName(QByteArray("\xD7\xBC\xDE\xB5")) << cp932 << inName(QStringLiteral("ﾗｼﾞｵ")) << true;
    QTest::newRow("ﾃｽﾄｱ is no ý ı") << inName(QByteArray("\xC3\xBD\xC4\xB1")) << cp932 << inName(QStringLiteral("ﾃｽﾄｱ")) << true;
    QTest::newRow("ﾂｲ is no lone ²") << inName(QByteArray("\xC2\xB2")) << cp932 << inName(QStringLiteral("ﾂｲ")) << true;
    QTest::newRow("code page 932 that is not UTF-8") << inName(kCodePageRead) << cp932 << inName(kCodePageText) << false;
    QTest::newRow("ASCII") << QByteArray("<A>\\</A>") << cp932 << "<A>\\</A>" << false;

    // UTF-8 without a mark.
    QTest::newRow("Japanese UTF-8") << inName(QStringLiteral("日付とﾘｽﾄ").toUtf8()) << utf8 << inName(QStringLiteral("日付とﾘｽﾄ"))
                                    << false;
    QTest::newRow("UTF-8 under the Shift_JIS declaration")
        << inName(QStringLiteral("今日").toUtf8()) << utf8 << inName(QStringLiteral("今日")) << true;
    QTest::newRow("café") << inName(QStringLiteral("café").toUtf8()) << utf8 << inName(QStringLiteral("café")) << true;
    QTest::newRow("Ele é bom") << inName(QStringLiteral("Ele é bom").toUtf8()) << utf8 << inName(QStringLiteral("Ele é bom"))
                               << true;
    QTest::newRow("© 2024") << inName(QStringLiteral("© 2024 ±5 20°C").toUtf8()) << utf8
                            << inName(QStringLiteral("© 2024 ±5 20°C")) << true;
    QTest::newRow("Łódź") << inName(QStringLiteral("Łódź").toUtf8()) << utf8 << inName(QStringLiteral("Łódź")) << false;
    QTest::newRow("arrows, boxes, emoji") << inName(QStringLiteral("→■①😀").toUtf8()) << utf8 << inName(QStringLiteral("→■①😀"))
                                          << false;
    // Improbable as UTF-8, yet the code page cannot read it either: UTF-8.
    QTest::newRow("Russian") << inName(QStringLiteral("Привет").toUtf8()) << utf8 << inName(QStringLiteral("Привет")) << false;
    // Improbable as UTF-8 and clean code page 932: the code page wins, as for ﾏｲﾅｽ.
    QTest::newRow("Greek that is clean code page 932")
        << inName(QStringLiteral("Ελλάδα").toUtf8()) << cp932 << inName(QStringLiteral("ﾎ偏ｻﾎｻﾎｬﾎｴﾎｱ")) << true;

    // Byte-order marks decide, and are dropped.
    QTest::newRow("UTF-8 mark") << QByteArray("\xEF\xBB\xBF") + inName(QByteArray("\xD8\xBD\xC4\xB1")) << utf8
                                << inName(QStringLiteral("ؽı")) << false;
    QTest::newRow("UTF-16 LE mark (Notepad's Unicode)")
        << utf16(inName(QStringLiteral("ﾘｽﾄｱ日")), true) << int(Encoding::Utf16LE) << inName(QStringLiteral("ﾘｽﾄｱ日")) << false;
    QTest::newRow("UTF-16 BE mark") << utf16(inName(QStringLiteral("ﾘｽﾄｱ日")), false) << int(Encoding::Utf16BE)
                                    << inName(QStringLiteral("ﾘｽﾄｱ日")) << false;
}

void TestCodePageText::encodingRule()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, encoding);
    QFETCH(QString, text);
    QFETCH(bool, doubt);
    const CodePageText::DecodedText decoded = CodePageText::Decode(bytes);
    QCOMPARE(int(decoded.encoding), encoding);
    QCOMPARE(decoded.text, text);
    QVERIFY(decoded.clean);
    QCOMPARE(!decoded.otherReading.isEmpty(), doubt);
    // A reader that needs no other reading gets the same text.
    const CodePageText::DecodedText textOnly = CodePageText::Decode(bytes, CodePageText::OtherReading::Skipped);
    QCOMPARE(int(textOnly.encoding), encoding);
    QCOMPARE(textOnly.text, text);
    QVERIFY(textOnly.clean);

    // The store reads the same, lines joined by CR LF.
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("s.xml")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    Cls_XML store;
    store.SaveFilePath_Prop(dir.path());
    QVERIFY(store.OnlyReadFile_bln(QStringLiteral("s.xml")));
    QCOMPARE(store.FileData(), CodePageText::NormalizeLineEnds(text));
}

void TestCodePageText::plausibleText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("plausible");

    QTest::newRow("kana and kanji") << QStringLiteral("設定ファイルの「名前」を変える。") << true;
    QTest::newRow("half- and full-width forms") << QStringLiteral("ﾘｽﾄ　ＡＢＣ（１）") << true;
    QTest::newRow("French") << QStringLiteral("Déjà vu, naïve façade") << true;
    QTest::newRow("German") << QStringLiteral("Größe ändern") << true;
    QTest::newRow("signs by numbers and words") << QStringLiteral("£5 ½ « oui » ¿qué?") << true;
    QTest::newRow("sign between tags") << QStringLiteral("<A>²</A>") << false;
    QTest::newRow("accented letters alone") << QStringLiteral("<A>ýı</A>") << false;
    QTest::newRow("Arabic") << QStringLiteral("ؽ") << false;
    QTest::newRow("Hebrew") << QStringLiteral("\u05FC") << false;
    QTest::newRow("Cyrillic") << QStringLiteral("д") << false;
    QTest::newRow("C1 control") << QStringLiteral("a\u0085b") << false;
    QTest::newRow("Hangul") << QStringLiteral("한") << false;
    QTest::newRow("private use") << QStringLiteral("\uE000") << false;
}

void TestCodePageText::plausibleText()
{
    QFETCH(QString, text);
    QFETCH(bool, plausible);
    QCOMPARE(CodePageText::IsPlausibleText(text), plausible);
}

void TestCodePageText::missingCodecFailsClearly()
{
    const CodePage932 none(nullptr);
    QVERIFY(!none.isAvailable());
    ServiceSlot<const CodePage932>::Install(&none);

    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("s.xml")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(inName(kCodePageRead));
    file.close();
    RecordingPresenter boxes;
    Cls_XML store;
    store.MsgDisplayFlg_Prop(true);
    store.SaveFilePath_Prop(dir.path());
    QVERIFY(!store.OnlyReadFile_bln(QStringLiteral("s.xml")));
    QCOMPARE(boxes.boxes.size(), 1);
    const QString number = QString::number(ErrorNumber::InvalidProcedureCall) + u' ';
    QVERIFY2(boxes.boxes[0].prompt.startsWith(number) && boxes.boxes[0].prompt.contains(QStringLiteral("code page 932")),
             qPrintable(boxes.boxes[0].prompt));

    // ASCII and marked Unicode need no code page.
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("\xEF\xBB\xBF<Name>\xE6\x97\xA5</Name>");
    file.close();
    QVERIFY(store.ReadFile_bln(QStringLiteral("s.xml"), false));
    QCOMPARE(store.Gets(QStringLiteral("Name")), QStringLiteral("日"));

    store.AddItem_bln(QStringLiteral("Name"), QStringLiteral("A"));
    QVERIFY(!store.SaveFile_bln(QStringLiteral("out.xml")));
    QCOMPARE(boxes.boxes.size(), 2);
    QVERIFY2(boxes.boxes[1].prompt.contains(QStringLiteral("code page 932")), qPrintable(boxes.boxes[1].prompt));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("out.xml"))));

    ServiceSlot<const CodePage932>::Install(nullptr);
    QVERIFY(store.SaveFile_bln(QStringLiteral("out.xml")));
}

QTEST_GUILESS_MAIN(TestCodePageText)
#include "tst_codepagetext.moc"
