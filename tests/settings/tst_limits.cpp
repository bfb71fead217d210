#include "settings/Cls_MySettingFile.h"
#include "settings/WordJoining.h"

#include "RecordingPresenter.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A settings object loaded from the given bytes, kept in its own temporary folder.
struct LoadedBytes {
    explicit LoadedBytes(const QByteArray &bytes)
    {
        QFile file(dir.filePath(QStringLiteral("tavrelo.xml")));
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
        file.close();
        settings.Path(dir.path());
        settings.Name(QStringLiteral("tavrelo.xml"));
        loaded = settings.LoadFile();
    }

    QTemporaryDir dir;
    Cls_MySettingFile settings;
    bool loaded = false;
};

QByteArray dataSetting(const QByteArray &items)
{
    return "<DataSetting>\r\n<Title>T</Title>\r\n" + items + "</DataSetting>\r\n";
}

QByteArray item(int number, const QByteArray &content)
{
    const QByteArray tag = "Item" + QByteArray::number(number);
    return '<' + tag + '>' + content + "</" + tag + ">\r\n";
}

const qsizetype kLarge = 4 * 1024 * 1024;

}

class TestLimits : public QObject {
    Q_OBJECT

private slots:
    void largeTextThroughEachButton_data();
    void largeTextThroughEachButton();
    void largeSettingsFile();
    void thousandItems();
    void binaryBytesInFile_data();
    void binaryBytesInFile();
    void loneSurrogatesThroughDataGet_data();
    void loneSurrogatesThroughDataGet();
    void loneSurrogatesThroughConvertLines_data();
    void loneSurrogatesThroughConvertLines();
};

void TestLimits::largeTextThroughEachButton_data()
{
    QTest::addColumn<QByteArray>("itemContent");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    const QString letters = QString(kLarge, u'a');
    QTest::newRow("rewrite every character") << QByteArray("<Reg>a</Reg><Replace>b</Replace>") << letters
                                             << QString(kLarge, u'b');
    const QString dates = QStringLiteral("2024-01-02 ").repeated(kLarge / 11);
    QTest::newRow("rewrite with groups") << QByteArray("<Reg>(\\d{4})-(\\d{2})-(\\d{2})</Reg><Replace>$3.$2.$1</Replace>")
                                         << dates << QStringLiteral("02.01.2024 ").repeated(kLarge / 11);
    QTest::newRow("no match keeps the text") << QByteArray("<Reg>z</Reg>") << letters << letters;
    QTest::newRow("fixed text ignores it") << QByteArray("<Data>fixed</Data>") << letters << QStringLiteral("fixed");
}

void TestLimits::largeTextThroughEachButton()
{
    QFETCH(QByteArray, itemContent);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    RecordingPresenter presenter;
    LoadedBytes file(dataSetting(item(1, itemContent)));
    QVERIFY(file.loaded);

    const GeneratedText generated = file.settings.GenerateText(0, text);
    QVERIFY2(generated.ok, qPrintable(generated.error));
    QCOMPARE(generated.text.size(), expected.size());
    QVERIFY(generated.text == expected);
    QVERIFY(presenter.boxes.isEmpty());
}

void TestLimits::largeSettingsFile()
{
    const QByteArray data = QByteArray("line of fixed text\r\n").repeated(kLarge / 20);
    LoadedBytes file(dataSetting(item(1, "<Name>big</Name><Data>" + data + "</Data>") + item(2, "<Reg>x</Reg><Replace>y</Replace>")));
    QVERIFY(file.loaded);
    QCOMPARE(file.settings.DataGet(0, QString()).size(), data.size());
    QVERIFY(file.settings.DataGet(0, QString()) == QString::fromLatin1(data));
    QCOMPARE(file.settings.DataGet(1, QStringLiteral("xax")), QStringLiteral("yay"));
}

void TestLimits::thousandItems()
{
    QByteArray items;
    for (int number = 1; number <= 1000; ++number)
        items += item(number, "<Name>name " + QByteArray::number(number) + "</Name><Data>d</Data>");
    LoadedBytes file(dataSetting(items));
    QVERIFY(file.loaded);
    // The window reads the first hundred; a longer item number must not be found by a shorter one.
    for (int index = 0; index < 100; ++index) {
        QVERIFY(file.settings.SetDataPrepare(index));
        QCOMPARE(file.settings.GetName(), QStringLiteral("name %1").arg(index + 1));
    }
    QVERIFY(file.settings.SetDataPrepare(999));
    QCOMPARE(file.settings.GetName(), QStringLiteral("name 1000"));
    QVERIFY(!file.settings.SetDataPrepare(1000));
}

void TestLimits::binaryBytesInFile_data()
{
    QTest::addColumn<QByteArray>("damage");

    QTest::newRow("NUL bytes") << QByteArray("a\0\0b\0", 5);
    QTest::newRow("invalid UTF-8 after valid") << QByteArray("\xE6\x97\xA5\xC3\x28\xF8\x88\x80\x80\x80");
    QTest::newRow("truncated UTF-8 with mark") << QByteArray("\xEF\xBB\xBF\xE6\x97");
    QTest::newRow("code page 932 invalid lead bytes") << QByteArray("\x80\xA0\xFD\xFE\xFF");
    QTest::newRow("code page 932 lead byte without trail") << QByteArray("\x81");
    QTest::newRow("code page 932 lead byte before NUL") << QByteArray("\x81\0x", 3);
    QTest::newRow("every byte") << [] {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all += char(b);
        return all;
    }();
}

void TestLimits::binaryBytesInFile()
{
    QFETCH(QByteArray, damage);
    RecordingPresenter presenter;
    for (const QByteArray &bytes : {dataSetting(item(1, "<Name>" + damage + "</Name><Reg>a</Reg><Replace>b</Replace>")),
                                    dataSetting(item(1, "<Name>n</Name><Reg>a</Reg><Replace>b</Replace>")) + damage,
                                    damage + dataSetting(item(1, "<Name>n</Name><Reg>a</Reg><Replace>b</Replace>"))}) {
        LoadedBytes file(bytes);
        QVERIFY(file.loaded);
        QCOMPARE(file.settings.GetTitle(), QStringLiteral("T"));
        QCOMPARE(file.settings.DataGet(0, QStringLiteral("cat")), QStringLiteral("cbt"));
    }
    QVERIFY(presenter.boxes.isEmpty());
}

void TestLimits::loneSurrogatesThroughDataGet_data()
{
    QTest::addColumn<QByteArray>("itemContent");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    const QString high(QChar(0xD800));
    const QString low(QChar(0xDC00));
    QTest::newRow("lone high, no match") << QByteArray("<Reg>z</Reg>") << u'a' + high + u'b' << u'a' + high + u'b';
    QTest::newRow("lone low, no match") << QByteArray("<Reg>z</Reg>") << low + u'a' << low + u'a';
    QTest::newRow("reversed pair, no match") << QByteArray("<Reg>z</Reg>") << low + high << low + high;
    QTest::newRow("lone high at the end") << QByteArray("<Reg>a</Reg><Replace>b</Replace>") << u'a' + high
                                          << u'b' + high;
    QTest::newRow("around a match") << QByteArray("<Reg>a</Reg><Replace>b</Replace>") << high + u'a' + low
                                    << high + u'b' + low;
    // The engine matches nothing, not even a dot, against a lone surrogate in the text.
    QTest::newRow("dot does not match it") << QByteArray("<Reg>x.</Reg><Replace>y</Replace>") << u'x' + high + u'z'
                                           << u'x' + high + u'z';
    QTest::newRow("fixed text") << QByteArray("<Data>d</Data>") << high << QStringLiteral("d");
}

void TestLimits::loneSurrogatesThroughDataGet()
{
    QFETCH(QByteArray, itemContent);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    RecordingPresenter presenter;
    LoadedBytes file(dataSetting(item(1, itemContent)));
    QVERIFY(file.loaded);
    QCOMPARE(file.settings.DataGet(0, text), expected);
    QVERIFY(presenter.boxes.isEmpty());
}

void TestLimits::loneSurrogatesThroughConvertLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("result");

    const QString high(QChar(0xD801));
    const QString low(QChar(0xDC28));
    QTest::newRow("inside a word") << u'x' + high + u'y' << u'x' + high + u'y';
    QTest::newRow("lone low as initial") << QStringLiteral("a ") + low + u'b' << u'a' + low + u'b';
    QTest::newRow("lone high as initial") << QStringLiteral("a ") + high + u'b' << u'a' + high + u'b';
    QTest::newRow("lone high at the end of a word") << QStringLiteral("a ") + high << u'a' + high;
    QTest::newRow("before CR LF") << high + QStringLiteral("\r\n") + low << high + QStringLiteral("\r\n") + low;
    QTest::newRow("pair split by a space") << high + u' ' + low << high + low;
}

void TestLimits::loneSurrogatesThroughConvertLines()
{
    QFETCH(QString, text);
    QFETCH(QString, result);
    RecordingPresenter presenter;
    QCOMPARE(ConvertLines(text), result);
    QVERIFY(presenter.boxes.isEmpty());
}

QTEST_GUILESS_MAIN(TestLimits)
#include "tst_limits.moc"
