// Patterns that are one class of code units, matched by a scan alone: which patterns are, and the
// matches the scan finds against PCRE2's own for the same translated pattern, around the 16 code
// units a wide step compares, the ends of the text and of a stretch, surrogates and IgnoreCase.
#include "regexp/ClassPattern.h"
#include "tests/regexp/Pcre2Matches.h"

#include <QtTest>

namespace {

std::optional<ClassPattern> Class(const QString &pattern, bool ignoreCase)
{
    return ClassPattern::Of(TranslateEcmaPattern(pattern), ignoreCase);
}

}

class TestClassPattern : public QObject {
    Q_OBJECT

private slots:
    void recognised_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("ignoreCase");
        QTest::addColumn<bool>("recognised");

        QTest::newRow("kana") << "[ぁ-ん]" << false << true;
        QTest::newRow("several ranges") << "[0-9a-fA-F]" << false << true;
        QTest::newRow("\\d") << "\\d" << false << true;
        QTest::newRow("\\s, ten ranges") << "\\s" << false << true;
        QTest::newRow("one character") << "a" << false << true;
        QTest::newRow("the last code unit of the BMP") << "[\\uFFF0-\\uFFFF]" << false << true;
        QTest::newRow("IgnoreCase, ASCII without letters") << "[0-9:-]" << true << true;
        QTest::newRow("IgnoreCase, \\w, which case folding leaves") << "\\w" << true << true;
        QTest::newRow("IgnoreCase, letters") << "[a-f]" << true << false;
        QTest::newRow("IgnoreCase, a range past ASCII") << "[ぁ-ん]" << true << false;
        QTest::newRow("IgnoreCase, a range across the letters") << "[!-~]" << true << false;
        QTest::newRow("more ranges than a step tests") << "[acegikmoqsuw]" << false << false;
        QTest::newRow("a range across the surrogates, which the class leaves out") << "[\\uD000-\\uE000]" << false << true;
        QTest::newRow("an astral character") << "😀" << false << false;
        QTest::newRow("a negated class, which holds the astral plane") << "[^a]" << false << false;
        QTest::newRow(".") << "." << false << false;
        QTest::newRow("the empty class") << "[]" << false << false;
        QTest::newRow("a repeat") << "[ぁ-ん]+" << false << false;
        QTest::newRow("a group") << "(?:[ぁ-ん])" << false << false;
        QTest::newRow("two classes") << "[ぁ-ん][ぁ-ん]" << false << false;
        QTest::newRow("an assertion beside") << "\\b\\d" << false << false;
    }

    void recognised()
    {
        QFETCH(QString, pattern);
        QFETCH(bool, ignoreCase);
        QFETCH(bool, recognised);
        QCOMPARE(Class(pattern, ignoreCase).has_value(), recognised);
    }

    void find_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("text");
        QTest::addColumn<qsizetype>("from");
        QTest::addColumn<qsizetype>("until");
        QTest::addColumn<qsizetype>("capacity");
        QTest::addColumn<QList<qsizetype>>("starts");

        const qsizetype all = 1 << 20;
        const QString dots(100, u'.');
        QTest::newRow("the empty text") << "[ぁ-ん]" << QString() << qsizetype(0) << all << all << QList<qsizetype>{};
        QTest::newRow("at the start and the end") << "[ぁ-ん]"
                                                  << "あ..ん" << qsizetype(0) << all << all << QList<qsizetype>{0, 3};
        QTest::newRow("on the last unit of a wide step")
            << "[ぁ-ん]" << dots.left(15) + "あい" + dots << qsizetype(0) << all << all << QList<qsizetype>{15, 16};
        QTest::newRow("at the very end of a long text")
            << "[ぁ-ん]" << dots + "ん" << qsizetype(0) << all << all << QList<qsizetype>{100};
        QTest::newRow("the edges of the range")
            << "[ぁ-ん]" << QStringLiteral("\u3040ぁん\u3094") << qsizetype(0) << all << all << QList<qsizetype>{1, 2};
        QTest::newRow("a range at the top of the BMP") << "[\\uFFFE-\\uFFFF]" << dots + QStringLiteral("\uFFFF\uFFFD\uFFFE")
                                                       << qsizetype(0) << all << all << QList<qsizetype>{100, 102};
        QTest::newRow("a range from 0") << "[\\0-\\x01]" << dots + QString(QChar(0)) + "a" + QChar(1) << qsizetype(0) << all
                                        << all << QList<qsizetype>{100, 102};
        QTest::newRow("several ranges") << "[0-9a-f]" << dots.left(20) + "0g9 fa-" << qsizetype(0) << all << all
                                        << QList<qsizetype>{20, 22, 24, 25};
        QTest::newRow("\\s") << "\\s" << dots.left(20) + QStringLiteral("\t\u3000\uFEFF\u2029a") << qsizetype(0) << all << all
                             << QList<qsizetype>{20, 21, 22, 23};
        QTest::newRow("a surrogate pair and lone surrogates beside")
            << "[ぁ-ん]" << QStringLiteral("😀あ") + QChar(char16_t(0xD800)) + "い" + QChar(char16_t(0xDC00)) << qsizetype(0)
            << all << all << QList<qsizetype>{2, 4};
        QTest::newRow("from the middle") << "[ぁ-ん]"
                                         << "あいう" << qsizetype(1) << all << all << QList<qsizetype>{1, 2};
        QTest::newRow("a stretch that ends before a match")
            << "[ぁ-ん]" << dots + "あい" << qsizetype(0) << qsizetype(101) << all << QList<qsizetype>{100};
        QTest::newRow("fewer places than the matches")
            << "[ぁ-ん]" << dots.left(10) + "あいうえお" << qsizetype(0) << all << qsizetype(3) << QList<qsizetype>{10, 11, 12};
        QTest::newRow("from the end") << "[ぁ-ん]"
                                      << "あい" << qsizetype(2) << all << all << QList<qsizetype>{};
    }

    void find()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, text);
        QFETCH(qsizetype, from);
        QFETCH(qsizetype, until);
        QFETCH(qsizetype, capacity);
        QFETCH(QList<qsizetype>, starts);
        const std::optional<ClassPattern> scanned = Class(pattern, false);
        QVERIFY(scanned);
        QCOMPARE(ScanStarts(*scanned, text, from, until, capacity), starts);
        QCOMPARE(Pcre2Starts(pattern, false, text, from, until, capacity), starts);
    }

    // Texts of characters in and out of the classes and surrogates, long enough for several wide
    // steps: from every position, the scan finds what PCRE2 finds.
    void everyStartAgainstPcre2_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("ignoreCase");

        QTest::newRow("kana") << "[ぁ-ん]" << false;
        QTest::newRow("several ranges") << "[0-9a-fあ]" << false;
        QTest::newRow("\\s") << "\\s" << false;
        QTest::newRow("\\w") << "\\w" << false;
        QTest::newRow("\\w, IgnoreCase") << "\\w" << true;
        QTest::newRow("digits and signs, IgnoreCase") << "[0-9:-]" << true;
        QTest::newRow("the private use area") << "[\\uE000-\\uF8FF]" << false;
        QTest::newRow("a range across the surrogates") << "[\\uD000-\\uE000]" << false;
    }

    void everyStartAgainstPcre2()
    {
        QFETCH(QString, pattern);
        QFETCH(bool, ignoreCase);
        const QStringList pieces = {QStringLiteral("あ"),
                                    QStringLiteral("ん"),
                                    QStringLiteral("\u3040"),
                                    QStringLiteral("a"),
                                    QStringLiteral("K"),
                                    QStringLiteral("\u212A"),
                                    QStringLiteral("0"),
                                    QStringLiteral(":"),
                                    QStringLiteral(" "),
                                    QStringLiteral("\u3000"),
                                    QStringLiteral("\uE000"),
                                    QString(QChar(char16_t(0xD800))),
                                    QString(QChar(char16_t(0xDC00))),
                                    QStringLiteral("😀"),
                                    QStringLiteral("\U000F0000")};
        const QString text = MixedText(pieces);
        const std::optional<ClassPattern> scanned = Class(pattern, ignoreCase);
        QVERIFY(scanned);
        for (qsizetype from = 0; from <= text.size(); ++from) {
            if (InsideSurrogatePair(text, from))
                continue;
            for (const qsizetype until : {from + 40, text.size() + 1}) {
                QCOMPARE(ScanStarts(*scanned, text, from, until, 1000),
                         Pcre2Starts(pattern, ignoreCase, text, from, until, 1000));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestClassPattern)
#include "tst_classpattern.moc"
