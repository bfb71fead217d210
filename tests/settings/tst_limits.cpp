// Inputs at the edges of what the palette meets: large texts, many items, binary bytes in the
// settings file and lone surrogates on the clipboard. Sizes of 100 MB are measured in bench/limits.
#include "settings/Cls_MySettingFile.h"

#include "LoadedSettings.h"
#include "RecordingPresenter.h"

#include <QtTest>

namespace {

QByteArray dataSetting(const QByteArray &items)
{
    return "<DataSetting>\r\n<Title>T</Title>\r\n" + items + "</DataSetting>\r\n";
}

QByteArray item(int number, const QByteArray &content)
{
    const QByteArray tag = "Item" + QByteArray::number(number);
    return '<' + tag + '>' + content + "</" + tag + ">\r\n";
}

}

class TestLimits : public QObject {
    Q_OBJECT

private slots:
    void textsThroughAnItem_data();
    void textsThroughAnItem();
    void thousandItems();
    void binaryBytesInFile_data();
    void binaryBytesInFile();
};

void TestLimits::textsThroughAnItem_data()
{
    QTest::addColumn<QByteArray>("itemContent");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    const qsizetype large = 4 * 1024 * 1024;
    QTest::newRow("large, rewritten with groups")
        << QByteArray("<Reg>(\\d{4})-(\\d{2})-(\\d{2})</Reg><Replace>$3.$2.$1</Replace>")
        << QStringLiteral("2024-01-02 ").repeated(large / 11) << QStringLiteral("02.01.2024 ").repeated(large / 11);
    QTest::newRow("large, fixed text") << QByteArray("<Data>fixed</Data>") << QString(large, u'a') << "fixed";

    const QString high(QChar(0xD800));
    const QString low(QChar(0xDC00));
    QTest::newRow("lone surrogates kept") << QByteArray("<Reg>z</Reg>") << high + u'a' + low + high << high + u'a' + low + high;
    QTest::newRow("lone surrogates around a match")
        << QByteArray("<Reg>a</Reg><Replace>b</Replace>") << high + u'a' + low << high + u'b' + low;
    // The engine matches nothing, not even a dot, against a lone surrogate.
    QTest::newRow("dot skips a lone surrogate")
        << QByteArray("<Reg>x.</Reg><Replace>y</Replace>") << u'x' + high + u'z' << u'x' + high + u'z';
}

void TestLimits::textsThroughAnItem()
{
    QFETCH(QByteArray, itemContent);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    RecordingPresenter presenter;
    LoadedSettings file(dataSetting(item(1, itemContent)));
    QVERIFY(file.loaded);
    const GeneratedText generated = file.settings.DataGet(0, text);
    QVERIFY2(generated.ok(), qPrintable(generated.error.description));
    QVERIFY(generated.text == expected);
    QVERIFY(presenter.boxes.isEmpty());
}

void TestLimits::thousandItems()
{
    QByteArray items;
    for (int number = 1; number <= 1000; ++number)
        items += item(number, "<Name>name " + QByteArray::number(number) + "</Name>");
    LoadedSettings file(dataSetting(items));
    QVERIFY(file.loaded);
    for (int index = 0; index < 100; ++index) {
        QVERIFY(file.settings.SetDataPrepare(index));
        QCOMPARE(file.settings.GetName(), QStringLiteral("name %1").arg(index + 1));
    }
}

void TestLimits::binaryBytesInFile_data()
{
    QTest::addColumn<QByteArray>("damage");

    QTest::newRow("NUL bytes") << QByteArray("a\0\0b\0", 5);
    QTest::newRow("invalid UTF-8 after valid") << QByteArray("\xE6\x97\xA5\xC3\x28\xF8\x88\x80\x80\x80");
    QTest::newRow("truncated UTF-8 with mark") << QByteArray("\xEF\xBB\xBF\xE6\x97");
    QTest::newRow("code page 932 lead byte without trail") << QByteArray("\x81\0x", 3);
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all += char(b);
    QTest::newRow("every byte") << all;
}

void TestLimits::binaryBytesInFile()
{
    QFETCH(QByteArray, damage);
    RecordingPresenter presenter;
    const QByteArray rewrite = item(1, "<Name>n</Name><Reg>a</Reg><Replace>b</Replace>");
    for (const QByteArray &bytes : {dataSetting(item(1, "<Name>" + damage + "</Name><Reg>a</Reg><Replace>b</Replace>")),
                                    dataSetting(rewrite) + damage, damage + dataSetting(rewrite)}) {
        LoadedSettings file(bytes);
        QVERIFY(file.loaded);
        QCOMPARE(file.settings.GetTitle(), QStringLiteral("T"));
        QCOMPARE(file.settings.DataGet(0, QStringLiteral("cat")).text, QStringLiteral("cbt"));
    }
    QVERIFY(presenter.boxes.isEmpty());
}

QTEST_GUILESS_MAIN(TestLimits)
#include "tst_limits.moc"
