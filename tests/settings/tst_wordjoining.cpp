#include "base/CancelToken.h"
#include "settings/WordJoining.h"

#include <QtTest>

class TestWordJoining : public QObject {
    Q_OBJECT

private slots:
    void convertLines_data();
    void convertLines();
    void cancelled();
};

void TestWordJoining::convertLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("result");

    QTest::newRow("words") << "get user name"
                           << "getUserName";
    QTest::newRow("first word kept") << "HTML parser"
                                     << "HTMLParser";
    QTest::newRow("two spaces") << "a  b"
                                << "aB";
    QTest::newRow("trimmed lines") << "  item count  \r\nmax value"
                                   << "itemCount\r\nmaxValue";
    QTest::newRow("final CR LF kept") << "a b\r\n"
                                      << "aB\r\n";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("lone LF inside a line") << "x y\nz w"
                                           << "xY\nzW";
    QTest::newRow("lone CR inside a line") << "x y\rz"
                                           << "xY\rz";
    QTest::newRow("digit and sign kept") << "a 1b -c"
                                         << "a1b-c";
    QTest::newRow("tab is no separator") << "a\tb c"
                                         << "a\tbC";
    QTest::newRow("full-width letter") << "a ｂ"
                                       << "aＢ";
    QTest::newRow("ideographic space is no separator") << "a　b"
                                                       << "a　b";
    QTest::newRow("surrogate pair") << "a 𐐨x"
                                    << "a𐐀x";
    // Regression: a lone high surrogate as an initial once upper-cased the letter after it.
    QTest::newRow("lone high surrogate") << QStringLiteral("a ") + QChar(0xD801) + u'b' << u'a' + QChar(0xD801) + u'b';
    QTest::newRow("lone low surrogate") << QStringLiteral("a ") + QChar(0xDC28) + u'b' << u'a' + QChar(0xDC28) + u'b';
}

void TestWordJoining::convertLines()
{
    QFETCH(QString, text);
    QFETCH(QString, result);
    QCOMPARE(ConvertLines(text), result);
    const GeneratedText generated = ConvertAllLines(text);
    QVERIFY(generated.ok());
    QCOMPARE(generated.text, result);
}

// A stopped conversion hands back no part of its text. (Running out of memory is tried through
// tavrelo-cli join-words under a memory limit.)
void TestWordJoining::cancelled()
{
    CancelToken token;
    token.cancel();
    const GeneratedText generated = ConvertAllLines(QStringLiteral("get user name\r\nmax value"), &token);
    QCOMPARE(generated.outcome, GeneratedText::Outcome::Cancelled);
    QCOMPARE(generated.error.number, ErrorNumber::UserInterrupt);
    QVERIFY(generated.text.isEmpty());
}

QTEST_GUILESS_MAIN(TestWordJoining)
#include "tst_wordjoining.moc"
