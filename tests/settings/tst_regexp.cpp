// RegExp beyond the conformance table: error reports, work limits on long and pathological
// input, text that is not valid UTF-16, and the compile cache.
#include "settings/RegExp.h"

#include <QElapsedTimer>
#include <QTest>


class TestRegExp : public QObject {
    Q_OBJECT

private slots:
    void syntaxError_data();
    void syntaxError();
    void firstMatchOnly_data();
    void firstMatchOnly();
    void invalidUtf16Text_data();
    void invalidUtf16Text();
    void ignoreCaseIsPartOfTheCacheKey();
    void runawayBacktrackingEnds_data();
    void runawayBacktrackingEnds();
    void longTextsStayWithinTheLimits_data();
    void longTextsStayWithinTheLimits();
    void repeatedGroupOverLongText();
    void repeatedGroupBeyondEveryStack();
};

namespace {

QString replace(const QString &pattern, const QString &text, const QString &replacement, bool global = true)
{
    RegExp expression;
    expression.IgnoreCase(false);
    expression.Global(global);
    expression.Pattern(pattern);
    return expression.Replace(text, replacement);
}

}

void TestRegExp::syntaxError_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<qint32>("offset");

    QTest::newRow("unclosed group") << QStringLiteral("(abc") << 4;
    QTest::newRow("nothing to repeat") << QStringLiteral("*a") << 0;
    QTest::newRow("unterminated class") << QStringLiteral("[abc") << 4;
    QTest::newRow("interval out of order") << QStringLiteral("a{3,2}") << 5;
    QTest::newRow("counted in the user's characters") << QStringLiteral("「日本[語") << 5;
    // PCRE2 finds this one in the translated pattern, where each \s is a long class.
    QTest::newRow("engine error mapped back") << QStringLiteral("\\s\\s(?<=a+)b") << 4;
}

void TestRegExp::syntaxError()
{
    QFETCH(QString, pattern);
    QFETCH(qint32, offset);

    try {
        replace(pattern, QStringLiteral("abc"), QStringLiteral("x"));
        QFAIL("no error");
    } catch (const RegExpError &e) {
        QCOMPARE(e.number(), 5017);
        QVERIFY(!e.engineMessage().isEmpty());
        QCOMPARE(e.patternOffset(), offset);
        QCOMPARE(e.description(), QStringLiteral("Syntax error in regular expression: %1 at position %2")
                                      .arg(e.engineMessage()).arg(offset));
    }
}

void TestRegExp::firstMatchOnly_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("first of several") << QStringLiteral("a") << QStringLiteral("aaa") << QStringLiteral("baa");
    QTest::newRow("empty match at start") << QStringLiteral("x*") << QStringLiteral("abc") << QStringLiteral("babc");
}

void TestRegExp::firstMatchOnly()
{
    QFETCH(QString, pattern);
    QFETCH(QString, text);
    QFETCH(QString, expected);

    QCOMPARE(replace(pattern, text, QStringLiteral("b"), false), expected);
}

void TestRegExp::invalidUtf16Text_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    const QChar high(char16_t(0xD800));
    const QChar low(char16_t(0xDC00));
    QTest::newRow("match after a lone high surrogate")
        << QStringLiteral("b") << QStringLiteral("a") + high + u'b' << QStringLiteral("a") + high + u'X';
    QTest::newRow("empty matches step over a lone surrogate")
        << QStringLiteral("x*") << QString(low) + u'a' << QStringLiteral("X") + low + u'X' + u'a' + u'X';
}

void TestRegExp::invalidUtf16Text()
{
    QFETCH(QString, pattern);
    QFETCH(QString, text);
    QFETCH(QString, expected);

    QCOMPARE(replace(pattern, text, QStringLiteral("X")), expected);
}

void TestRegExp::ignoreCaseIsPartOfTheCacheKey()
{
    RegExp expression;
    expression.Global(true);
    expression.Pattern(QStringLiteral("abc"));
    QCOMPARE(expression.Replace(QStringLiteral("ABC abc"), QStringLiteral("x")), QStringLiteral("ABC x"));
    expression.IgnoreCase(true);
    QCOMPARE(expression.Replace(QStringLiteral("ABC abc"), QStringLiteral("x")), QStringLiteral("x x"));
    expression.IgnoreCase(false);
    QCOMPARE(expression.Replace(QStringLiteral("ABC abc"), QStringLiteral("x")), QStringLiteral("ABC x"));
}

void TestRegExp::runawayBacktrackingEnds_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("text");

    const QString as(32, u'a');
    QTest::newRow("nested plus") << QStringLiteral("(a+)+$") << as + u'b';
    QTest::newRow("overlapping alternatives") << QStringLiteral("(a|aa)+$") << as + u'b';
}

// The call must come back, with the right answer (no match) or a work-limit error; the guard is
// many times what the limit allows, so it only catches a search without one.
void TestRegExp::runawayBacktrackingEnds()
{
    QFETCH(QString, pattern);
    QFETCH(QString, text);

    QElapsedTimer timer;
    timer.start();
    try {
        QCOMPARE(replace(pattern, text, QStringLiteral("x")), text);
    } catch (const RegExpError &e) {
        QCOMPARE(e.number(), 28);
        QCOMPARE(e.patternOffset(), -1);
        QVERIFY(!e.engineMessage().isEmpty());
    }
    QVERIFY2(timer.elapsed() < 10'000, qPrintable(QStringLiteral("%1 ms").arg(timer.elapsed())));
}

void TestRegExp::longTextsStayWithinTheLimits_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("lines");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QString>("expectedLine");

    // 10 MB of UTF-16 text each; larger texts are measured in bench/.
    const int lines = 5 * 1024 * 1024 / 16;
    QTest::newRow("no match") << QStringLiteral("(\\d{4})-(\\d{2})") << QStringLiteral("abc def ghi jk\r\n")
                                        << lines << QStringLiteral("$2") << QStringLiteral("abc def ghi jk\r\n");
    QTest::newRow("no match, backtracking at each position")
        << QStringLiteral("[a-z]+\\d") << QStringLiteral("abc def ghi jk\r\n") << lines << QString()
        << QStringLiteral("abc def ghi jk\r\n");
    QTest::newRow("a match on every line") << QStringLiteral("\\s+$|\\r\\n") << QStringLiteral("あいう 漢字 ghi jk\r\n")
                                           << lines << QStringLiteral("|") << QStringLiteral("あいう 漢字 ghi jk|");
}

void TestRegExp::longTextsStayWithinTheLimits()
{
    QFETCH(QString, pattern);
    QFETCH(QString, line);
    QFETCH(int, lines);
    QFETCH(QString, replacement);
    QFETCH(QString, expectedLine);

    const QString text = line.repeated(lines);
    const QString result = replace(pattern, text, replacement);
    QCOMPARE(result.size(), expectedLine.size() * lines);
    QCOMPARE(result.first(expectedLine.size()), expectedLine);
    QCOMPARE(result.last(expectedLine.size()), expectedLine);
}

// Each repetition of a group takes room on the JIT stack (PCRE2's default overflows at a few
// dozen KB of text), and the interpreter takes over when that runs out.
void TestRegExp::repeatedGroupOverLongText()
{
    // 1 MB of UTF-16 text.
    const QString text = QStringLiteral("ab").repeated(256 * 1024);
    QCOMPARE(replace(QStringLiteral("(a|b)*"), text, QStringLiteral("[$1]")), QStringLiteral("[b][]"));
}

// Past what the JIT stack holds, the interpreter runs into its memory limit: an error, not a
// crash or a frozen window.
void TestRegExp::repeatedGroupBeyondEveryStack()
{
    const QString text = QStringLiteral("ab").repeated(8 * 1024 * 1024);
    try {
        QCOMPARE(replace(QStringLiteral("(a|b)*"), text, QStringLiteral("[$1]")), QStringLiteral("[b][]"));
    } catch (const RegExpError &e) {
        QCOMPARE(e.number(), 28);
        QCOMPARE(e.patternOffset(), -1);
    }
}

QTEST_APPLESS_MAIN(TestRegExp)
#include "tst_regexp.moc"
