// RegExp beyond the conformance table: error reports, work limits on long and pathological
// input, text that is not valid UTF-16, and the compile cache.
#include "base/CancelToken.h"
#include "regexp/RegExp.h"

#include <QElapsedTimer>
#include <QTest>

namespace {

QString replace(const QString &pattern, const QString &text, const QString &replacement, bool global = true)
{
    RegExp expression;
    expression.IgnoreCase(false);
    expression.Global(global);
    expression.Pattern(pattern);
    return expression.Replace(text, replacement);
}

// The columns of the rows that run their pattern as written and as (?:pattern), which no scan
// takes.
void AddGroupedColumns()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ignoreCase");
    QTest::addColumn<bool>("global");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QString>("expected");
}

// The row's replace with its pattern as written and grouped: both give `expected`.
void CompareWithGrouped()
{
    QFETCH(QString, pattern);
    QFETCH(QString, text);
    QFETCH(bool, ignoreCase);
    QFETCH(bool, global);
    QFETCH(QString, replacement);
    QFETCH(QString, expected);
    for (const QString &written : {pattern, QStringLiteral("(?:%1)").arg(pattern)}) {
        RegExp expression;
        expression.IgnoreCase(ignoreCase);
        expression.Global(global);
        expression.Pattern(written);
        QCOMPARE(expression.Replace(text, replacement), expected);
    }
}

}

class TestRegExp : public QObject {
    Q_OBJECT

private slots:
    void syntaxError_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<qint32>("offset");
        QTest::addColumn<PatternFault>("fault");

        QTest::newRow("unclosed group") << "(abc" << 4 << PatternFault::MissingClosingParenthesis;
        QTest::newRow("unmatched parenthesis") << "ab)c" << 2 << PatternFault::UnmatchedClosingParenthesis;
        QTest::newRow("nothing to repeat") << "*a" << 0 << PatternFault::NothingToRepeat;
        QTest::newRow("counted in the user's characters") << "「日本[語" << 5 << PatternFault::MissingClosingBracket;
        QTest::newRow("trailing backslash") << "ab\\" << 2 << PatternFault::TrailingBackslash;
        QTest::newRow("unknown group name") << "\\k<x>(?<y>a)" << 3 << PatternFault::BadGroupName;
        QTest::newRow("range out of order") << "[z-a]" << 3 << PatternFault::RangeOutOfOrder;
        // PCRE2 finds this one in the translated pattern, where each \s is a long class.
        QTest::newRow("engine error mapped back") << "\\s\\s(?<=a{40000}b{40000})c" << 4 << PatternFault::UnboundedLookbehind;
        QTest::newRow("lookbehind of unbounded length") << "\\s(?<=a+)b" << 2 << PatternFault::UnboundedLookbehind;
        QTest::newRow("a group JavaScript does not know") << "a(?P<x>b)" << 3 << PatternFault::Other;
    }

    void syntaxError()
    {
        QFETCH(QString, pattern);
        QFETCH(qint32, offset);
        QFETCH(PatternFault, fault);
        try {
            replace(pattern, QStringLiteral("abc"), QStringLiteral("x"));
            QFAIL("no error");
        } catch (const RegExpError &e) {
            QCOMPARE(e.number(), ErrorNumber::RegExpSyntax);
            QCOMPARE(e.fault(), fault);
            QVERIFY(!e.engineMessage().isEmpty());
            QCOMPARE(e.patternOffset(), offset);
            QCOMPARE(e.description(),
                     QStringLiteral("Syntax error in regular expression: %1 at position %2").arg(e.engineMessage()).arg(offset));
        }
    }

    // What this program's engine cannot run gets one plain message.
    void lookbehindRefused_data()
    {
        QTest::addColumn<QString>("pattern");

        QTest::newRow("unbounded") << "x(?<=a+)b";
        QTest::newRow("unbounded inside a group") << "x(?<!(?:a|b*))b";
        QTest::newRow("back reference") << "x(?<=(a)\\1)b";
        QTest::newRow("named back reference") << "x(?<=(?<n>a)\\k<n>)b";
        QTest::newRow("more than 256 alternatives") << "x(?<=a{0,256})b";
        QTest::newRow("more than 256 alternatives, multiplied") << "x(?<=[ab]{0,20}[cd]{0,20}[ef]{0,20})b";
    }

    void lookbehindRefused()
    {
        QFETCH(QString, pattern);
        try {
            replace(pattern, QStringLiteral("ab"), QStringLiteral("x"));
            QFAIL("no error");
        } catch (const RegExpError &e) {
            QCOMPARE(e.number(), ErrorNumber::RegExpSyntax);
            QCOMPARE(e.engineMessage(),
                     QStringLiteral("this program's engine needs a lookbehind of bounded length without back references"));
            QCOMPARE(e.patternOffset(), 1);
        }
    }

    // A pattern near the engine's size limit is refused under both flags, not only with
    // IgnoreCase, whose classes of letters compile larger.
    void tooLargeUnderEitherFlag_data()
    {
        QTest::addColumn<bool>("ignoreCase");

        QTest::newRow("case-sensitive") << false;
        QTest::newRow("IgnoreCase") << true;
    }

    void tooLargeUnderEitherFlag()
    {
        QFETCH(bool, ignoreCase);
        RegExp expression;
        expression.IgnoreCase(ignoreCase);
        expression.Pattern(QStringLiteral("(?<=[ab].{0,9}[sd]{0,9}[ef]{0,9})x"));
        try {
            expression.Replace(QStringLiteral("ax"), QStringLiteral("y"));
            QFAIL("no error");
        } catch (const RegExpError &e) {
            QCOMPARE(e.number(), ErrorNumber::RegExpSyntax);
            QCOMPARE(e.engineMessage(), QStringLiteral("regular expression is too large"));
        }
    }

    void replaceWithX_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("global");
        QTest::addColumn<QString>("expected");

        const QChar high(char16_t(0xD800)), low(char16_t(0xDC00));
        QTest::newRow("without Global, the first of several") << "a"
                                                              << "aaa" << false << "Xaa";
        QTest::newRow("without Global, an empty match at the start") << "x*"
                                                                     << "abc" << false << "Xabc";
        const QChar noBreak(char16_t(0xFEFF));
        QTest::newRow("a zero width no-break space in the pattern")
            << QStringLiteral("a") + noBreak + u'b' << QStringLiteral("ab a") + noBreak + u'b' << true << "ab X";
        QTest::newRow("a zero width no-break space as an escape") << "^\\uFEFF" << QString(noBreak) + u'a' << true << "Xa";
        QTest::newRow("match after a lone high surrogate")
            << "b" << QStringLiteral("a") + high + u'b' << true << QStringLiteral("a") + high + u'X';
        QTest::newRow("empty matches step over a lone surrogate")
            << "x*" << QString(low) + u'a' << true << QStringLiteral("X") + low + u'X' + u'a' + u'X';
    }

    void replaceWithX()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, text);
        QFETCH(bool, global);
        QFETCH(QString, expected);
        QCOMPARE(replace(pattern, text, QStringLiteral("X"), global), expected);
    }

    // A pattern whose matches all begin with the same characters is tried only where a scan finds
    // them; each row also runs as (?:pattern), which is tried everywhere, and must give the same.
    void leadingLiteral_data()
    {
        AddGroupedColumns();

        const QChar high(char16_t(0xD800)), low(char16_t(0xDC00));
        // Past the 32 positions the wide scan compares in one step, and near its end.
        const QString filler(70, u'.');
        QTest::newRow("empty text") << "abc"
                                    << "" << false << true << "X"
                                    << "";
        QTest::newRow("text shorter than the literal") << "abc"
                                                       << "ab" << false << true << "X"
                                                       << "ab";
        QTest::newRow("the whole text") << "abc"
                                        << "abc" << false << true << "X"
                                        << "X";
        QTest::newRow("at the start and the end") << "ab"
                                                  << "ab.ab" << false << true << "X"
                                                  << "X.X";
        QTest::newRow("overlapping candidates") << "aab"
                                                << "aaab aaaab" << false << true << "X"
                                                << "aX aaX";
        QTest::newRow("overlapping matches are taken from the left") << "aa"
                                                                     << "aaaaa" << false << true << "X"
                                                                     << "XXa";
        QTest::newRow("a candidate that fails the pattern") << "ab\\d"
                                                            << "ab ab1 abx ab2" << false << true << "X"
                                                            << "ab X abx X";
        QTest::newRow("word boundaries at the edges of the text") << "\\buser\\b"
                                                                  << "user users xuser user" << false << true << "X"
                                                                  << "X users xuser X";
        QTest::newRow("a word boundary after the end of a step")
            << "\\buser\\b" << filler.left(27) + "xuser user" << false << true << "X" << filler.left(27) + "xuser X";
        QTest::newRow("far into the text") << "zqx" << filler + "zqx" + filler + "zqxzq" << false << true << "X"
                                           << filler + "X" + filler + "Xzq";
        QTest::newRow("first and last in place, middle not")
            << "zqx" << filler + "zax zqy zqx" << false << true << "X" << filler + "zax zqy X";
        // Matches far apart are each found by the scan, close ones by PCRE2's own search.
        const QString far(300, u'.');
        QTest::newRow("matches far apart") << "ab\\d" << far + "ab1" + far + "ab ab2" + far + "ab3ab4" << false << true << "X"
                                           << far + "X" + far + "ab X" + far + "XX";
        QTest::newRow("one character") << "x" << filler + "x" + filler + "x" << false << true << "X"
                                       << filler + "X" + filler + "X";
        QTest::newRow("without Global, the first") << "ab" << filler + "ab ab" << false << false << "X" << filler + "X ab";
        QTest::newRow("groups and the texts around the match") << "a(b)(c)?"
                                                               << "xabz" << false << true << "[$1$2|$`|$']"
                                                               << "x[b|x|z]z";
        QTest::newRow("a lookbehind before the literal") << "(?<=1)ab"
                                                         << "ab 1ab" << false << true << "X"
                                                         << "ab 1X";
        QTest::newRow("a lookbehind before the start") << "(?<=\\d{2})-"
                                                       << "12-3-45-" << false << true << "X"
                                                       << "12X3-45X";
        QTest::newRow("a lone surrogate before")
            << "\\bab" << QString(high) + "ab" << false << true << "X" << QString(high) + "X";
        QTest::newRow("a lone surrogate in a candidate")
            << "a.b" << QStringLiteral("a") + low + "b a-b" << false << true << "X" << QStringLiteral("a") + low + "b X";
        QTest::newRow("next to a surrogate pair")
            << "-" << QStringLiteral("😀-😀-") << false << true << "X" << QStringLiteral("😀X😀X");
        QTest::newRow("IgnoreCase, a literal without letters") << "1-a"
                                                               << "1-A 1-a" << true << true << "X"
                                                               << "X X";
        QTest::newRow("IgnoreCase, letters") << "user"
                                             << "USER User" << true << true << "X"
                                             << "X X";
        QTest::newRow("IgnoreCase, the Kelvin sign") << "k1" << QString(QChar(0x212A)) + "1 k1" << true << true << "X"
                                                     << "X X";
        // A pattern that is only a literal between \b or \B is matched by a scan alone, a stretch of
        // 64 Ki start positions and a batch of 256 matches at a time.
        const QString stretch(64 * 1024 - 1, u'x');
        QTest::newRow("a match from the last start of a stretch into the next")
            << "aa" << stretch + "aaa" << false << true << "X" << stretch + "Xa";
        QTest::newRow("a word boundary across the end of a stretch")
            << "\\buser\\b" << stretch + " user xuser user" << false << true << "X" << stretch + " X xuser X";
        QTest::newRow("more matches than a batch") << "\\bab\\b" << QStringLiteral("ab ").repeated(1000) + "abc" << false << true
                                                   << "X" << QStringLiteral("X ").repeated(1000) + "abc";
        QTest::newRow("a literal's replacement with the match and a dollar") << "\\buser\\b"
                                                                             << "a user, users" << false << true << "[$&|$$|$1]"
                                                                             << "a [user|$|$1], users";
        QTest::newRow("a literal's replacement with the texts around") << "user"
                                                                       << "a user b" << false << true << "[$`|$']"
                                                                       << "a [a | b] b";
        QTest::newRow("a literal, replaced longer") << "\\r\\n"
                                                    << QStringLiteral("ab\r\n").repeated(500) << false << true << "<br>\r\n"
                                                    << QStringLiteral("ab<br>\r\n").repeated(500);
        QTest::newRow("a literal, replaced by nothing") << "\\B-\\B"
                                                        << "a-b a - b" << false << true << ""
                                                        << "a-b a  b";
        QTest::newRow("a literal without Global")
            << "\\bab\\b" << stretch + " ab ab" << false << false << "X" << stretch + " X ab";
        QTest::newRow("a literal, IgnoreCase") << "\\b10:30\\b"
                                               << "10:30 110:30 10:30" << true << true << "X"
                                               << "X 110:30 X";
    }

    void leadingLiteral() { CompareWithGrouped(); }

    // A pattern that is one class of code units is matched by a scan alone, a stretch of 64 Ki
    // start positions and a batch of 256 matches at a time, unless the replacement inserts the
    // match or the text around it.
    void classPattern_data()
    {
        AddGroupedColumns();

        const QString high(QChar(char16_t(0xD800))), low(QChar(char16_t(0xDC00)));
        const QString stretch(64 * 1024 - 1, u'x');
        QTest::newRow("empty text") << "[ぁ-ん]"
                                    << "" << false << true << "X"
                                    << "";
        QTest::newRow("at the start and the end") << "[ぁ-ん]"
                                                  << "あxxん" << false << true << "X"
                                                  << "XxxX";
        QTest::newRow("replaced by nothing") << "[ぁ-ん]"
                                             << "「こんにちは」 user" << false << true << ""
                                             << "「」 user";
        QTest::newRow("without Global") << "[ぁ-ん]"
                                        << "xあい" << false << false << "X"
                                        << "xXい";
        QTest::newRow("beside surrogate pairs and lone surrogates")
            << "[ぁ-ん]" << QStringLiteral("😀あ😀") + high + "い" + low << false << true << "X"
            << QStringLiteral("😀X😀") + high + "X" + low;
        QTest::newRow("across the end of a stretch") << "[ぁ-ん]" << stretch + "あい" << false << true << "X" << stretch + "XX";
        QTest::newRow("more matches than a batch")
            << "[ぁ-ん]" << QStringLiteral("あx").repeated(1000) << false << true << "$$" << QStringLiteral("$x").repeated(1000);
        QTest::newRow("the match in the replacement") << "[0-9]"
                                                      << "a1b22" << false << true << "<$&>"
                                                      << "a<1>b<2><2>";
        QTest::newRow("the texts around in the replacement") << "\\d"
                                                             << "a1b" << false << true << "[$`|$']"
                                                             << "a[a|b]b";
        QTest::newRow("IgnoreCase, no letters") << "[0-9:]"
                                                << "10:30" << true << true << "-"
                                                << "-----";
        QTest::newRow("IgnoreCase, letters and the Kelvin sign") << "[j-l]" << QStringLiteral("\u212Aak") << true << true << "-"
                                                                 << "-a-";
    }

    void classPattern() { CompareWithGrouped(); }

    // A pattern that is a literal between .* and .* is matched by a scan for the literal and the
    // ends of its line.
    void linePattern_data()
    {
        AddGroupedColumns();

        const QString high(QChar(char16_t(0xD800)));
        const QString line = QStringLiteral("2024-01-05 the user said 「こんにちは」 to another user at 10:30   and left.\r\n");
        QTest::newRow("empty text") << ".*user.*"
                                    << "" << false << true << "[$&]"
                                    << "";
        QTest::newRow("every line of a long text") << ".*user.*" << line.repeated(5000) << false << true << "[$&]"
                                                   << QStringLiteral("[%1]\r\n").arg(line.chopped(2)).repeated(5000);
        QTest::newRow("lines without it") << ".*user.*"
                                          << "a\r\nuser\r\nb" << false << true << "<$&>"
                                          << "a\r\n<user>\r\nb";
        QTest::newRow("line and paragraph separators")
            << ".*user.*" << QStringLiteral("a\u2028b user\u2029c") << false << true << "X" << QStringLiteral("a\u2028X\u2029c");
        QTest::newRow("a lone surrogate on the line") << ".*user.*"
                                                      << "a" + high + "b user" << false << true << "X"
                                                      << "a" + high + "X";
        QTest::newRow("the texts around") << ".*:.*"
                                          << "a\nb:c\nd" << false << true << "[$`|$']"
                                          << "a\n[a\n|\nd]\nd";
        QTest::newRow("without Global") << ".*user.*"
                                        << "user\nuser" << false << false << "X"
                                        << "X\nuser";
        QTest::newRow("IgnoreCase, no letters") << ".*10:30.*"
                                                << "a 10:30\nb" << true << true << "X"
                                                << "X\nb";
        QTest::newRow("IgnoreCase, letters") << ".*k.*" << QStringLiteral("a\u212A\nb") << true << true << "X"
                                             << "X\nb";
    }

    void linePattern() { CompareWithGrouped(); }

    void ignoreCaseIsPartOfTheCacheKey()
    {
        RegExp expression;
        expression.Global(true);
        expression.Pattern(QStringLiteral("abc"));
        for (const bool ignoreCase : {false, true, false}) {
            expression.IgnoreCase(ignoreCase);
            QCOMPARE(expression.Replace(QStringLiteral("ABC abc"), QStringLiteral("x")),
                     ignoreCase ? QStringLiteral("x x") : QStringLiteral("ABC x"));
        }
    }

    void longWork_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("limited"); // may end in the work-limit error 28 instead

        const QString as = QString(32, u'a') + u'b';
        QTest::newRow("runaway: nested plus") << "(a+)+$" << as << "x" << as << true;
        QTest::newRow("runaway: overlapping alternatives") << "(a|aa)+$" << as << "x" << as << true;
        // The same work over 10 MB and beyond is measured in bench_regexp (BM_LongText).
        const QString ascii = QStringLiteral("abc def ghi jk\r\n").repeated(4096);
        QTest::newRow("no match") << "(\\d{4})-(\\d{2})" << ascii << "$2" << ascii << false;
        QTest::newRow("no match, backtracking at each position") << "[a-z]+\\d" << ascii << "" << ascii << false;
        QTest::newRow("a match on every line") << "\\s+$|\\r\\n"
                                               << QStringLiteral("あいう 漢字 ghi jk\r\n").repeated(4096) << "|"
                                               << QStringLiteral("あいう 漢字 ghi jk|").repeated(4096) << false;
        // Each repetition of a group takes room on the JIT stack (PCRE2's default overflows at a few
        // dozen KB of text) and the interpreter takes over when that runs out.
        QTest::newRow("(a|b)* over 1 MB") << "(a|b)*" << QStringLiteral("ab").repeated(256 * 1024) << "[$1]"
                                          << "[b][]" << false;
    }

    // The guard is many times what the limit allows, so it only catches a search without one.
    void longWork()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, text);
        QFETCH(QString, replacement);
        QFETCH(QString, expected);
        QFETCH(bool, limited);
        QElapsedTimer timer;
        timer.start();
        try {
            QCOMPARE(replace(pattern, text, replacement), expected);
        } catch (const RegExpError &e) {
            QVERIFY2(limited, qPrintable(e.description()));
            QCOMPARE(e.number(), ErrorNumber::OutOfStackSpace);
            QCOMPARE(e.patternOffset(), -1);
            QVERIFY(!e.engineMessage().isEmpty());
        }
        QVERIFY2(!limited || timer.elapsed() < 10'000, qPrintable(QStringLiteral("%1 ms").arg(timer.elapsed())));
    }

    // Each start position stays within the match limit, the whole replace does not (it took 25 s
    // before it had a budget of its own; the time it takes now is measured in bench/budget).
    void quadraticWorkRunsOutOfBudget_data()
    {
        QTest::addColumn<QString>("pattern");

        QTest::newRow("searched by PCRE2") << "(\\w+)\\s*=\\s*\\1!";
        QTest::newRow("tried where its first character stands") << "a(\\w+)\\s*=\\s*\\1!";
    }

    void quadraticWorkRunsOutOfBudget()
    {
        QFETCH(QString, pattern);
        try {
            replace(pattern, QString(150'000, u'a') + QStringLiteral("=!"), QStringLiteral("x"));
            QFAIL("no error");
        } catch (const RegExpError &e) {
            QCOMPARE(e.number(), ErrorNumber::OutOfStackSpace);
            QVERIFY2(e.description().contains(QStringLiteral("whole text")), qPrintable(e.description()));
        }
    }

    void cancelled_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("text");

        QTest::newRow("work without end") << "(\\w+)\\s*=\\s*\\1!" << QString(150'000, u'a') + QStringLiteral("=!");
        QTest::newRow("a match at every position") << "" << QStringLiteral("ab").repeated(1000);
        QTest::newRow("a class, scanned") << "[ab]" << QStringLiteral("ab").repeated(1000);
        QTest::newRow("a line pattern, scanned") << ".*b.*" << QStringLiteral("ab\n").repeated(1000);
    }

    // A cancelled replace ends with UserInterrupt, never with a text or a work-limit error.
    void cancelled()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, text);
        CancelToken token;
        token.cancel();
        RegExp expression;
        expression.Global(true);
        expression.Pattern(pattern);
        try {
            expression.Replace(text, QStringLiteral("x"), &token);
            QFAIL("not stopped");
        } catch (const RegExpError &e) {
            QFAIL(qPrintable(e.description()));
        } catch (const RuntimeError &e) {
            QCOMPARE(e.number(), ErrorNumber::UserInterrupt);
        }
    }
};

QTEST_APPLESS_MAIN(TestRegExp)
#include "tst_regexp.moc"
