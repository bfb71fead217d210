#include "regexp/BudgetCallout.h"
#include "regexp/EcmaPatternTranslator.h"
#include "regexp/LeadingLiteral.h"
#include "regexp/PossessiveRepeats.h"

#include <QtTest>

// What is done with the items the translator hands over, shown in the user's pattern: where the
// work budget's callout goes (¦), and which repeats become possessive (a + after them).
namespace {

TranslatedPattern Prepared(const QString &pattern)
{
    TranslatedPattern translated = TranslateEcmaPattern(pattern);
    MakeRepeatsPossessive(translated);
    return translated;
}

// The items follow each other and make up the whole translated pattern.
bool Tiles(const TranslatedPattern &translated)
{
    qsizetype at = 0;
    for (const PatternItem &item : translated.items) {
        if (item.start != at || item.end <= item.start)
            return false;
        at = item.end;
    }
    return at == translated.pcrePattern.size() && translated.originalOffsets.size() == size_t(at) + 1;
}

QString WithCalloutMark(const QString &pattern, bool jit)
{
    const TranslatedPattern translated = Prepared(pattern);
    const qsizetype place = BudgetCalloutPlace(translated, jit);
    return QString(pattern).insert(translated.originalOffsets[size_t(place)], u'¦');
}

QString WithPossessiveMarks(const QString &pattern)
{
    const TranslatedPattern translated = Prepared(pattern);
    QString marked = pattern;
    // From the end, so that earlier positions stay where they are.
    for (auto item = translated.items.rbegin(); item != translated.items.rend(); ++item) {
        const QStringView written = QStringView(translated.pcrePattern).sliced(item->start, item->end - item->start);
        if (item->kind == PatternItem::Kind::Quantifier && written.size() > 1 && written.endsWith(u'+'))
            marked.insert(translated.originalOffsets[size_t(item->end)], u'+');
    }
    return marked;
}

}

class TestPatternItems : public QObject {
    Q_OBJECT

private slots:
    void calloutPlace_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("jit");
        QTest::addColumn<QString>("interpreter");

        QTest::newRow("after the leading characters") << "zqx"
                                                      << "zqx¦"
                                                      << "zqx¦";
        QTest::newRow("after the first counted item") << "(\\d{4})-(\\d{2})"
                                                      << "(\\d{4}¦)-(\\d{2})"
                                                      << "(\\d{4}¦)-(\\d{2})";
        QTest::newRow("past a word boundary") << "\\bfoo\\b"
                                              << "\\bfoo¦\\b"
                                              << "\\bfoo¦\\b";
        QTest::newRow("past an anchor") << "^abc"
                                        << "^abc¦"
                                        << "^abc¦";
        QTest::newRow("a leading repeat and what follows it") << ".*foo.*"
                                                              << ".*foo¦.*"
                                                              << ".*¦foo.*";
        QTest::newRow("a leading class repeat") << "[a-z]*[0-9]"
                                                << "[a-z]*[0-9]¦"
                                                << "[a-z]*¦[0-9]";
        QTest::newRow("alternatives of one character are a class") << "(?:a|b)*[cd]"
                                                                   << "(?:a|b)*[cd]¦"
                                                                   << "(?:a|b)*¦[cd]";
        QTest::newRow("a possessive leading repeat") << "\\d+\\s"
                                                     << "\\d+\\s¦"
                                                     << "\\d+¦\\s";
        QTest::newRow("a counted leading repeat") << "\\w{2,}e\\d"
                                                  << "\\w{2,}¦e\\d"
                                                  << "\\w{2,}¦e\\d";
        QTest::newRow("an optional leading item") << "a?b"
                                                  << "a?¦b"
                                                  << "a?¦b";
        QTest::newRow("alternatives") << "foo|bar|baz"
                                      << "¦foo|bar|baz"
                                      << "¦foo|bar|baz";
        QTest::newRow("alternatives in a group") << "(ab|cd)e"
                                                 << "¦(ab|cd)e"
                                                 << "¦(ab|cd)e";
        QTest::newRow("a bar that is a character") << "a\\|b"
                                                   << "a\\|b¦"
                                                   << "a\\|b¦";
        QTest::newRow("alternatives inside a later lookbehind") << "ab(?<=b|c)d"
                                                                << "ab¦(?<=b|c)d"
                                                                << "ab¦(?<=b|c)d";
        QTest::newRow("a leading lookahead") << "(?=a)b"
                                             << "¦(?=a)b"
                                             << "¦(?=a)b";
        QTest::newRow("a leading lookbehind") << "(?<=a)b"
                                              << "¦(?<=a)b"
                                              << "¦(?<=a)b";
        QTest::newRow("a leading back reference") << "\\1(a)"
                                                  << "¦\\1(a)"
                                                  << "¦\\1(a)";
        QTest::newRow("nothing but an anchor") << "^"
                                               << "¦^"
                                               << "¦^";
    }

    void calloutPlace()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, jit);
        QFETCH(QString, interpreter);
        QVERIFY(Tiles(Prepared(pattern)));
        QCOMPARE(WithCalloutMark(pattern, true), jit);
        QCOMPARE(WithCalloutMark(pattern, false), interpreter);
    }

    void possessiveRepeats_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("possessive");

        QTest::newRow("a word before blanks and a sign") << "(\\w+)\\s*=\\s*\\1!"
                                                         << "(\\w++)\\s*=\\s*\\1!";
        QTest::newRow("at the end") << "\\w+$"
                                    << "\\w++$";
        QTest::newRow("before a word boundary") << "\\w+\\b"
                                                << "\\w++\\b";
        QTest::newRow("none taken before a word boundary") << "\\w*\\b"
                                                           << "\\w*\\b";
        QTest::newRow("digits before a letter") << "\\d+a"
                                                << "\\d++a";
        QTest::newRow("a word before a letter") << "\\w+a"
                                                << "\\w+a";
        QTest::newRow("past an optional blank") << "\\w+ ?-"
                                                << "\\w++ ?-";
        QTest::newRow("before any character") << "\\w+."
                                              << "\\w+.";
        QTest::newRow("after any character") << "x.\\w+"
                                             << "x.\\w++";
        QTest::newRow("lazy") << "\\d+?x"
                              << "\\d+?x";
        QTest::newRow("before a lookahead") << "\\w+(?=-)"
                                            << "\\w+(?=-)";
        QTest::newRow("at the end of an alternative") << "(?:\\d+|x)y"
                                                      << "(?:\\d++|x)y";
        QTest::newRow("before a repeated group") << "(\\d+)*y"
                                                 << "(\\d+)*y";
        QTest::newRow("a class of words") << "[\\w]+-"
                                          << "[\\w]++-";
        QTest::newRow("a class of more") << "[\\w-]+ "
                                         << "[\\w-]+ ";
        // The Kelvin sign is a k under IgnoreCase: a word character then.
        QTest::newRow("before the Kelvin sign") << "\\w+\\u212A"
                                                << "\\w+\\u212A";
        QTest::newRow("digits before the Kelvin sign") << "\\d+\\u212A"
                                                       << "\\d++\\u212A";
        QTest::newRow("past a lookbehind, not inside it") << "(?<=\\d{2}-)\\d+x"
                                                          << "(?<=\\d{2}-)\\d++x";
        QTest::newRow("several") << "\\d+-\\w+$"
                                 << "\\d++-\\w++$";
    }

    void possessiveRepeats()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, possessive);
        QVERIFY(Tiles(Prepared(pattern)));
        QCOMPARE(WithPossessiveMarks(pattern), possessive);
    }

    // The code units a replace scans for before it tries the pattern: a wrong one loses matches.
    void leadingLiteral_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("ignoreCase");
        QTest::addColumn<QString>("literal");

        QTest::newRow("plain characters") << "zqx" << false << "zqx";
        QTest::newRow("between word boundaries") << "\\buser\\b" << false << "user";
        QTest::newRow("up to a repeat") << "xyz\\d+" << false << "xyz";
        QTest::newRow("not the repeated character") << "ab*c" << false << "a";
        QTest::newRow("not an optional one") << "ab?" << false << "a";
        QTest::newRow("not a character repeated none or more times") << "a{0}b" << false << "";
        QTest::newRow("escapes and a one-character class") << "\\.[-]\\u3042" << false << ".-あ";
        QTest::newRow("past a lookbehind") << "(?<=a)bc" << false << "bc";
        QTest::newRow("past \\B") << "\\Bfoo" << false << "foo";
        QTest::newRow("up to a group") << "「([^」]*)」" << false << "「";
        QTest::newRow("alternatives inside a later group") << "ab(c|d)" << false << "ab";
        QTest::newRow("none: a leading group") << "(?:ab)c" << false << "";
        QTest::newRow("none: an optional leading group") << "(ab)?c" << false << "";
        QTest::newRow("none: alternatives") << "foo|bar" << false << "";
        QTest::newRow("none: anchored at the start") << "^foo" << false << "";
        QTest::newRow("none: a word boundary, then anchored") << "\\b^foo" << false << "";
        QTest::newRow("none: a leading lookahead") << "(?=a)ab" << false << "";
        QTest::newRow("none: a class") << "[ab]c" << false << "";
        QTest::newRow("none: a character outside the BMP") << "😀a" << false << "";
        QTest::newRow("up to a lone surrogate") << "a\\uD800" << false << "a";
        QTest::newRow("none: a syntax error") << "ab(" << false << "";
        QTest::newRow("IgnoreCase: digits and signs") << "12-3a" << true << "12-3";
        // Unicode's case folding: k also matches the Kelvin sign, s the long s.
        QTest::newRow("IgnoreCase: not a letter") << "kx" << true << "";
        QTest::newRow("IgnoreCase: not beyond ASCII") << "-あ" << true << "-";
    }

    void leadingLiteral()
    {
        QFETCH(QString, pattern);
        QFETCH(bool, ignoreCase);
        QFETCH(QString, literal);
        QCOMPARE(LeadingLiteral(Prepared(pattern), ignoreCase), literal);
    }
};

QTEST_GUILESS_MAIN(TestPatternItems)
#include "tst_patternitems.moc"
