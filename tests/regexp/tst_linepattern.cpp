// Patterns that are a literal between .* and .*, matched by a scan alone: which patterns are, and
// the matches the scan finds against PCRE2's own for the same translated pattern, with every kind
// of line end, lone surrogates and pairs, around the 16 code units a wide step compares and at
// the ends of the text.
#include "regexp/LinePattern.h"
#include "tests/regexp/Pcre2Matches.h"

#include <QtTest>

namespace {

Matches ScanMatches(const LinePattern &pattern, const QString &text, qsizetype from)
{
    Matches matches;
    qsizetype match[2];
    for (qsizetype at = from; pattern.find(text, at, match); at = match[1])
        matches.append({match[0], match[1]});
    return matches;
}

std::optional<LinePattern> Line(const QString &pattern, bool ignoreCase)
{
    return LinePattern::Of(TranslateEcmaPattern(pattern), ignoreCase);
}

}

class TestLinePattern : public QObject {
    Q_OBJECT

private slots:
    void recognised_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("ignoreCase");
        QTest::addColumn<QString>("literal"); // empty: not a line pattern

        QTest::newRow("a word") << ".*user.*" << false << "user";
        QTest::newRow("one character") << ".*:.*" << false << ":";
        QTest::newRow("Japanese") << ".*こんにちは.*" << false << "こんにちは";
        QTest::newRow("IgnoreCase, no letters") << ".*10:30.*" << true << "10:30";
        QTest::newRow("IgnoreCase, letters") << ".*user.*" << true << "";
        QTest::newRow("a line terminator in the literal") << ".*a\\nb.*" << false << "";
        QTest::newRow("a line separator in the literal") << ".*a\\u2028b.*" << false << "";
        QTest::newRow("lazy before") << ".*?user.*" << false << "";
        QTest::newRow("lazy after") << ".*user.*?" << false << "";
        QTest::newRow("a plus") << ".+user.*" << false << "";
        QTest::newRow("a class instead of .") << "[^\\n]*user.*" << false << "";
        QTest::newRow("nothing between") << ".*.*" << false << "";
        QTest::newRow("a capture") << ".*(user).*" << false << "";
        QTest::newRow("a class in the literal") << ".*us[e]r.*" << false << "user";
        QTest::newRow("a class of two in the literal") << ".*us[ef]r.*" << false << "";
        QTest::newRow("an anchor") << "^.*user.*" << false << "";
        QTest::newRow("only one .*") << ".*user" << false << "";
    }

    void recognised()
    {
        QFETCH(QString, pattern);
        QFETCH(bool, ignoreCase);
        QFETCH(QString, literal);
        const std::optional<LinePattern> recognised = Line(pattern, ignoreCase);
        QCOMPARE(recognised.has_value(), !literal.isEmpty());
        if (recognised)
            QCOMPARE(recognised->literal(), literal);
    }

    void find_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qsizetype>("from");
        QTest::addColumn<Matches>("matches");

        const QString high(QChar(char16_t(0xD800))), low(QChar(char16_t(0xDC00)));
        const QString dots(40, u'.');
        QTest::newRow("the empty text") << QString() << qsizetype(0) << Matches{};
        QTest::newRow("the whole text") << "ab user cd" << qsizetype(0) << Matches{{0, 10}};
        QTest::newRow("the literal alone") << "user" << qsizetype(0) << Matches{{0, 4}};
        QTest::newRow("CR LF") << "a user\r\nb\r\nuser c\r\n" << qsizetype(0) << Matches{{0, 6}, {11, 17}};
        QTest::newRow("LF and CR alone") << "x\nuser\ry" << qsizetype(0) << Matches{{2, 6}};
        QTest::newRow("line and paragraph separators")
            << QStringLiteral("a\u2028b user c\u2029d") << qsizetype(0) << Matches{{2, 10}};
        QTest::newRow("two on a line") << "user user\nuser" << qsizetype(0) << Matches{{0, 9}, {10, 14}};
        QTest::newRow("from the middle of a line") << "abc user" << qsizetype(2) << Matches{{2, 8}};
        QTest::newRow("from a line end") << "a user\r\nuser" << qsizetype(6) << Matches{{8, 12}};
        QTest::newRow("surrogate pairs on the line") << QStringLiteral("😀 user 😀\n") << qsizetype(0) << Matches{{0, 10}};
        QTest::newRow("a lone high surrogate before") << "ab" + high + "c user" << qsizetype(0) << Matches{{3, 9}};
        QTest::newRow("a lone low surrogate after") << "user x" + low + "y" << qsizetype(0) << Matches{{0, 6}};
        QTest::newRow("a lone high surrogate at the very end") << "user" + high << qsizetype(0) << Matches{{0, 4}};
        QTest::newRow("a lone low surrogate at the very start") << low + "user" << qsizetype(0) << Matches{{1, 5}};
        QTest::newRow("a line end past a wide step") << "user" + dots + "\n" << qsizetype(0) << Matches{{0, 44}};
        QTest::newRow("a pair across two wide steps")
            << "user" + dots.left(11) + QStringLiteral("😀") + dots + "\r" << qsizetype(0) << Matches{{0, 57}};
        QTest::newRow("a lone surrogate after a wide step")
            << "user" + dots.left(20) + high + "x" << qsizetype(0) << Matches{{0, 24}};
        QTest::newRow("no line holds it") << "use\nser\nus er" << qsizetype(0) << Matches{};
    }

    void find()
    {
        QFETCH(QString, text);
        QFETCH(qsizetype, from);
        QFETCH(Matches, matches);
        const std::optional<LinePattern> pattern = Line(QStringLiteral(".*user.*"), false);
        QVERIFY(pattern);
        QCOMPARE(ScanMatches(*pattern, text, from), matches);
        QCOMPARE(Pcre2Matches(QStringLiteral(".*user.*"), false, text, from), matches);
    }

    // Texts of the literal's pieces, line ends and surrogates: from every position, the scan finds
    // what PCRE2 finds.
    void everyStartAgainstPcre2_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("ignoreCase");

        QTest::newRow("a word") << ".*user.*" << false;
        QTest::newRow("one character") << ".*r.*" << false;
        QTest::newRow("IgnoreCase, no letters") << ".*-.*" << true;
    }

    void everyStartAgainstPcre2()
    {
        QFETCH(QString, pattern);
        QFETCH(bool, ignoreCase);
        const QStringList pieces = {QStringLiteral("user"),
                                    QStringLiteral("us"),
                                    QStringLiteral("er"),
                                    QStringLiteral("r"),
                                    QStringLiteral("-"),
                                    QStringLiteral("xxxxxxxxxxxx"),
                                    QStringLiteral("\r\n"),
                                    QStringLiteral("\n"),
                                    QStringLiteral("\r"),
                                    QStringLiteral("\u2028"),
                                    QStringLiteral("\u2029"),
                                    QStringLiteral("😀"),
                                    QString(QChar(char16_t(0xD800))),
                                    QString(QChar(char16_t(0xDC00))),
                                    QStringLiteral("あ")};
        const QString text = MixedText(pieces);
        const std::optional<LinePattern> scanned = Line(pattern, ignoreCase);
        QVERIFY(scanned);
        for (qsizetype from = 0; from <= text.size(); ++from) {
            if (InsideSurrogatePair(text, from))
                continue;
            QCOMPARE(ScanMatches(*scanned, text, from), Pcre2Matches(pattern, ignoreCase, text, from));
        }
    }
};

QTEST_GUILESS_MAIN(TestLinePattern)
#include "tst_linepattern.moc"
