// Patterns that are a literal between \b or \B, matched by a scan alone: which patterns are, and
// the matches the scan finds against PCRE2's own for the same translated pattern, around the 32
// positions a wide step compares, the end of a stretch of start positions, the ends of the
// text, surrogates beside the literal and IgnoreCase.
#include "regexp/LiteralPattern.h"
#include "tests/regexp/Pcre2Matches.h"

#include <QtTest>

namespace {

std::optional<LiteralPattern> Literal(const QString &pattern, bool ignoreCase)
{
    return LiteralPattern::Of(TranslateEcmaPattern(pattern), ignoreCase);
}

}

class TestLiteralPattern : public QObject {
    Q_OBJECT

private slots:
    void recognised_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("ignoreCase");
        QTest::addColumn<QString>("literal"); // empty: not a literal pattern

        QTest::newRow("a word between \\b") << "\\buser\\b" << false << "user";
        QTest::newRow("a literal alone") << "foo" << false << "foo";
        QTest::newRow("a line end") << "\\r\\n" << false << "\r\n";
        QTest::newRow("\\B before") << "\\Bing" << false << "ing";
        QTest::newRow("a class of one character") << "[a]b" << false << "ab";
        QTest::newRow("Japanese") << "こんにちは" << false << "こんにちは";
        QTest::newRow("IgnoreCase, no letters") << "\\b10:30\\b" << true << "10:30";
        QTest::newRow("IgnoreCase, letters") << "\\buser\\b" << true << "";
        QTest::newRow("IgnoreCase, a character outside ASCII") << "é" << true << "";
        QTest::newRow("a repeat") << "us+er" << false << "";
        QTest::newRow("a group") << "(?:user)" << false << "";
        QTest::newRow("a capture") << "(user)" << false << "";
        QTest::newRow("an alternative") << "user|said" << false << "";
        QTest::newRow("a class") << "use[rs]" << false << "";
        QTest::newRow("anchored at the start") << "^user" << false << "";
        QTest::newRow("anchored at the end") << "user$" << false << "";
        QTest::newRow("two assertions before") << "\\b\\buser" << false << "";
        QTest::newRow("an assertion inside") << "us\\ber" << false << "";
        QTest::newRow("a lookbehind") << "(?<=a)user" << false << "";
        QTest::newRow("a lookahead") << "user(?=s)" << false << "";
        QTest::newRow("only assertions") << "\\b" << false << "";
        QTest::newRow("the empty pattern") << "" << false << "";
        QTest::newRow("a surrogate pair") << "😀" << false << "";
    }

    void recognised()
    {
        QFETCH(QString, pattern);
        QFETCH(bool, ignoreCase);
        QFETCH(QString, literal);
        const std::optional<LiteralPattern> recognised = Literal(pattern, ignoreCase);
        QCOMPARE(recognised.has_value(), !literal.isEmpty());
        if (recognised)
            QCOMPARE(recognised->literal(), literal);
    }

    void find_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("ignoreCase");
        QTest::addColumn<QString>("text");
        QTest::addColumn<qsizetype>("from");
        QTest::addColumn<qsizetype>("until");
        QTest::addColumn<qsizetype>("capacity");
        QTest::addColumn<QList<qsizetype>>("starts");

        const qsizetype all = 1 << 20;
        const QChar high(char16_t(0xD800)), low(char16_t(0xDC00));
        const QString dots(100, u'.');
        QTest::newRow("word boundaries at the ends of the text")
            << "\\buser\\b" << false << "user users xuser user" << qsizetype(0) << all << all << QList<qsizetype>{0, 17};
        QTest::newRow("a literal alone") << "user" << false << "user users xuser user" << qsizetype(0) << all << all
                                         << QList<qsizetype>{0, 5, 12, 17};
        QTest::newRow("on the last position a wide step compares")
            << "\\buser\\b" << false << dots.left(31) + "user " + dots << qsizetype(0) << all << all << QList<qsizetype>{31};
        QTest::newRow("the word character before in the step before")
            << "\\buser\\b" << false << dots.left(31) + "xuser user" + dots << qsizetype(0) << all << all << QList<qsizetype>{37};
        QTest::newRow("the word character after in the step after")
            << "\\buser\\b" << false << dots.left(28) + "users user" + dots << qsizetype(0) << all << all << QList<qsizetype>{34};
        QTest::newRow("at the very end of a long text")
            << "\\buser\\b" << false << dots + "user" << qsizetype(0) << all << all << QList<qsizetype>{100};
        QTest::newRow("a word character at the very end")
            << "\\buser\\b" << false << dots + "users" << qsizetype(0) << all << all << QList<qsizetype>{};
        QTest::newRow("overlapping places, from the left")
            << "aa" << false << dots.left(30) + "aaaaa" + dots << qsizetype(0) << all << all << QList<qsizetype>{30, 32};
        QTest::newRow("from inside a match") << "aa" << false << "aaaaa" << qsizetype(1) << all << all << QList<qsizetype>{1, 3};
        QTest::newRow("a match starting on the last start position of a stretch")
            << "aa" << false << "xaaaa" << qsizetype(0) << qsizetype(2) << all << QList<qsizetype>{1};
        QTest::newRow("a match starting on the first position after a stretch")
            << "ab" << false << "xxab" << qsizetype(0) << qsizetype(2) << all << QList<qsizetype>{};
        QTest::newRow("a stretch that ends within the text's last step")
            << "\\buser\\b" << false << dots + " user user" << qsizetype(90) << qsizetype(106) << all << QList<qsizetype>{101};
        QTest::newRow("fewer places than the matches")
            << "ab" << false << dots + "ab ab ab" << qsizetype(0) << all << qsizetype(2) << QList<qsizetype>{100, 103};
        QTest::newRow("\\B inside a word") << "\\Bser\\B" << false << "user users ser" << qsizetype(0) << all << all
                                           << QList<qsizetype>{6};
        QTest::newRow("\\B at the start of the text")
            << "\\Bab" << false << "ab xab" << qsizetype(0) << all << all << QList<qsizetype>{4};
        QTest::newRow("\\b before a character that is not a word character")
            << "\\b-" << false << "a-b -c" << qsizetype(0) << all << all << QList<qsizetype>{1};
        QTest::newRow("\\b after a character that is not a word character")
            << "-\\b" << false << "a-b -c -" << qsizetype(0) << all << all << QList<qsizetype>{1, 4};
        QTest::newRow("a lone high surrogate before")
            << "\\bab" << false << QString(high) + "ab" << qsizetype(0) << all << all << QList<qsizetype>{1};
        QTest::newRow("a lone high surrogate before, \\B")
            << "\\Bab" << false << QString(high) + "ab" << qsizetype(0) << all << all << QList<qsizetype>{};
        QTest::newRow("a lone low surrogate after")
            << "ab\\b" << false << QStringLiteral("ab") + low << qsizetype(0) << all << all << QList<qsizetype>{0};
        QTest::newRow("a surrogate pair on either side")
            << "\\bab\\b" << false << QStringLiteral("😀ab😀") << qsizetype(0) << all << all << QList<qsizetype>{2};
        QTest::newRow("IgnoreCase, a literal without letters")
            << "\\b10:30\\b" << true << "10:30 110:30 10:30" << qsizetype(0) << all << all << QList<qsizetype>{0, 13};
        QTest::newRow("Japanese") << "こんにちは" << false << dots + "「こんにちは」こんにち" << qsizetype(0) << all << all
                                  << QList<qsizetype>{101};
        QTest::newRow("from past the last place the literal fits")
            << "ab" << false << "abab" << qsizetype(3) << all << all << QList<qsizetype>{};
    }

    void find()
    {
        QFETCH(QString, pattern);
        QFETCH(bool, ignoreCase);
        QFETCH(QString, text);
        QFETCH(qsizetype, from);
        QFETCH(qsizetype, until);
        QFETCH(qsizetype, capacity);
        QFETCH(QList<qsizetype>, starts);
        const std::optional<LiteralPattern> literal = Literal(pattern, ignoreCase);
        QVERIFY(literal);
        QCOMPARE(ScanStarts(*literal, text, from, until, capacity), starts);
        QCOMPARE(Pcre2Starts(pattern, ignoreCase, text, from, until, capacity), starts);
    }

    // Texts made of the literals' pieces, word and other characters and surrogates, long enough
    // for several wide steps: from every position, the scan finds what PCRE2 finds.
    void everyStartAgainstPcre2_data()
    {
        QTest::addColumn<QString>("pattern");

        for (const char *pattern :
             {"\\buser\\b", "user", "\\Buse", "er\\B", "\\b-", "-\\b", "\\B-\\B", "us", "r", "\\br\\b", "\\Br\\B", "a_1"})
            QTest::newRow(pattern) << QString::fromLatin1(pattern);
    }

    void everyStartAgainstPcre2()
    {
        QFETCH(QString, pattern);
        const QStringList pieces = {QStringLiteral("user"),
                                    QStringLiteral("us"),
                                    QStringLiteral("er"),
                                    QStringLiteral("r"),
                                    QStringLiteral(" "),
                                    QStringLiteral("-"),
                                    QStringLiteral("a_1"),
                                    QStringLiteral("あ"),
                                    QString(QChar(char16_t(0xD800))),
                                    QString(QChar(char16_t(0xDC00))),
                                    QStringLiteral("😀"),
                                    QStringLiteral("x")};
        const QString text = MixedText(pieces);
        const std::optional<LiteralPattern> literal = Literal(pattern, false);
        QVERIFY(literal);
        for (qsizetype from = 0; from <= text.size(); ++from) {
            if (InsideSurrogatePair(text, from))
                continue;
            for (const qsizetype until : {from + 40, text.size() + 1}) {
                QCOMPARE(ScanStarts(*literal, text, from, until, 1000), Pcre2Starts(pattern, false, text, from, until, 1000));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestLiteralPattern)
#include "tst_literalpattern.moc"
