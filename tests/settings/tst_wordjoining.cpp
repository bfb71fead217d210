#include "settings/WordJoining.h"

#include <QtTest>

class TestWordJoining : public QObject {
    Q_OBJECT

private slots:
    void convertLines_data();
    void convertLines();
    void nextToken_data();
    void nextToken();
};

void TestWordJoining::convertLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("result");

    QTest::newRow("words") << "get user name" << "getUserName";
    QTest::newRow("first word kept") << "HTML parser" << "HTMLParser";
    QTest::newRow("two spaces") << "a  b" << "aB";
    QTest::newRow("trimmed lines") << "  item count  \r\nmax value" << "itemCount\r\nmaxValue";
    QTest::newRow("final CR LF kept") << "a b\r\n" << "aB\r\n";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("only CR LF") << "\r\n\r\n" << "\r\n\r\n";
    QTest::newRow("lone LF inside a line") << "x y\nz w" << "xY\nzW";
    QTest::newRow("lone CR inside a line") << "x y\rz" << "xY\rz";
    QTest::newRow("digit and sign kept") << "a 1b -c" << "a1b-c";
    QTest::newRow("rest of word kept") << "a bCD eF" << "aBCDEF";
    QTest::newRow("tab is no separator") << "a\tb c" << "a\tbC";
    QTest::newRow("full-width letter") << "a ｂ" << "aＢ";
    QTest::newRow("Japanese unchanged") << "日本 語" << "日本語";
    QTest::newRow("ideographic space is no separator") << "a　b" << "a　b";
    QTest::newRow("surrogate pair") << "a 𐐨x" << "a𐐀x";
}

void TestWordJoining::convertLines()
{
    QFETCH(QString, text);
    QFETCH(QString, result);
    QCOMPARE(ConvertLines(text), result);
}

void TestWordJoining::nextToken_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("delimiter");
    QTest::addColumn<qint32>("start");
    QTest::addColumn<QString>("piece");
    QTest::addColumn<qint32>("marker");

    QTest::newRow("first") << "ab cd" << " " << 1 << "ab" << 4;
    QTest::newRow("last") << "ab cd" << " " << 4 << "cd" << 1;
    QTest::newRow("delimiter at start") << " a" << " " << 1 << "" << 2;
    QTest::newRow("beyond end") << "ab" << " " << 5 << "" << 1;
    QTest::newRow("CR LF") << "a\r\nb" << "\r\n" << 1 << "a" << 3;
}

void TestWordJoining::nextToken()
{
    QFETCH(QString, source);
    QFETCH(QString, delimiter);
    QFETCH(qint32, start);
    QFETCH(QString, piece);
    QFETCH(qint32, marker);
    QString got;
    QCOMPARE(NextToken(source, delimiter, start, got), marker);
    QCOMPARE(got, piece);
}

QTEST_GUILESS_MAIN(TestWordJoining)
#include "tst_wordjoining.moc"
