#include "settings/ColorText.h"

#include <QtTest>

class TestColorText : public QObject {
    Q_OBJECT

private slots:
    void toColor_data();
    void toColor();
    void toValue_data();
    void toValue();
};

void TestColorText::toColor_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("red");
    QTest::addColumn<int>("green");
    QTest::addColumn<int>("blue");

    QTest::newRow("red") << "FF0000" << 255 << 0 << 0;
    QTest::newRow("lower case") << "ff0000" << 255 << 0 << 0;
    QTest::newRow("green") << "00FF00" << 0 << 255 << 0;
    QTest::newRow("blue") << "0000FF" << 0 << 0 << 255;
    QTest::newRow("digits padded") << "8080" << 0 << 128 << 128;
    QTest::newRow("zero") << "0" << 0 << 0 << 0;
    QTest::newRow("number sign shifts") << "#FF0000" << 0 << 240 << 0;
    QTest::newRow("three digits") << "FFF" << 255 << 15 << 0;
    QTest::newRow("eight digits") << "FF00FF00" << 255 << 0 << 255;
    QTest::newRow("blank and tab") << " FF8000\t" << 255 << 128 << 0;
    QTest::newRow("not hexadecimal") << "GG0000" << 0 << 0 << 0;
    QTest::newRow("empty") << "" << 0 << 0 << 0;
    QTest::newRow("digits with blanks") << " 8000 " << 0 << 128 << 0;
}

void TestColorText::toColor()
{
    QFETCH(QString, text);
    QFETCH(int, red);
    QFETCH(int, green);
    QFETCH(int, blue);
    const qint32 color = ToColor(text);
    QCOMPARE(ColorRed(color), red);
    QCOMPARE(ColorGreen(color), green);
    QCOMPARE(ColorBlue(color), blue);
    QCOMPARE(color, red + 256 * green + 65536 * blue);
}

void TestColorText::toValue_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint32>("value");

    QTest::newRow("FF") << "FF" << 255;
    QTest::newRow("stops at G") << "1G" << 1;
    QTest::newRow("starts with G") << "G1" << 0;
    QTest::newRow("minus") << "-1" << 0;
    QTest::newRow("blanks") << " a " << 10;
    QTest::newRow("empty") << "" << 0;
}

void TestColorText::toValue()
{
    QFETCH(QString, text);
    QFETCH(qint32, value);
    QCOMPARE(ToValue(text), value);
}

QTEST_GUILESS_MAIN(TestColorText)
#include "tst_colortext.moc"
