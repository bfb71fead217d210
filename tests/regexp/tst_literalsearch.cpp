// The wide search for a replace's leading literal against a plain one, around the 32 positions
// it compares in one step and the end of the text, where it must not read past the last unit.
#include "regexp/LiteralSearch.h"

#include <QtTest>

#include <string_view>

namespace {

qsizetype PlainFind(const QString &text, qsizetype from, const QString &literal)
{
    const std::u16string_view units(reinterpret_cast<const char16_t *>(text.utf16()), size_t(text.size()));
    const size_t found = units.find(
        std::u16string_view(reinterpret_cast<const char16_t *>(literal.utf16()), size_t(literal.size())), size_t(from));
    return found == std::u16string_view::npos ? -1 : qsizetype(found);
}

// Every start from 0 to past the end.
void CompareEveryStart(const QString &text, const QString &literal)
{
    for (qsizetype from = 0; from <= text.size() + 1; ++from) {
        const qsizetype expected = from > text.size() ? -1 : PlainFind(text, from, literal);
        QCOMPARE(LiteralSearch::Find(text, from, literal), expected);
    }
}

}

class TestLiteralSearch : public QObject {
    Q_OBJECT

private slots:
    void find_data()
    {
        QTest::addColumn<QString>("literal");
        QTest::addColumn<qsizetype>("length");
        QTest::addColumn<QList<qsizetype>>("places");

        QTest::newRow("empty text") << "ab" << qsizetype(0) << QList<qsizetype>{};
        QTest::newRow("text shorter than the literal") << "abc" << qsizetype(2) << QList<qsizetype>{};
        QTest::newRow("one unit, everywhere in two steps")
            << "x" << qsizetype(64) << QList<qsizetype>{0, 1, 15, 16, 31, 32, 33, 62, 63};
        QTest::newRow("at the very start and end") << "user" << qsizetype(100) << QList<qsizetype>{0, 96};
        QTest::newRow("across a step's edge") << "user" << qsizetype(100) << QList<qsizetype>{14, 29, 30, 31, 61};
        QTest::newRow("ending on the last unit a step reads") << "zqx" << qsizetype(70) << QList<qsizetype>{34, 67};
        QTest::newRow("overlapping") << "aa" << qsizetype(80) << QList<qsizetype>{10, 11, 12, 40, 41};
        QTest::newRow("longer than a step") << QString(40, u'k') + u'!' << qsizetype(200) << QList<qsizetype>{5, 150};
        QTest::newRow("nowhere") << "zqx" << qsizetype(1000) << QList<qsizetype>{};
    }

    void find()
    {
        QFETCH(QString, literal);
        QFETCH(qsizetype, length);
        QFETCH(QList<qsizetype>, places);
        // Japanese text with the literal's own first and last units scattered in, as near misses.
        QString text;
        for (qsizetype i = 0; i < length; ++i)
            text += i % 7 == 3 ? literal.front() : i % 11 == 5 ? literal.back() : QChar(char16_t(u'あ' + i % 40));
        for (const qsizetype place : places)
            text.replace(place, literal.size(), literal);
        CompareEveryStart(text, literal);
    }

    // Only the first and last units are compared wide: the ones between must match as well.
    void middleDiffers()
    {
        const QString text = QStringLiteral("zax zqy ").repeated(10) + QStringLiteral("zqx");
        QCOMPARE(LiteralSearch::Find(text, 0, QStringLiteral("zqx")), text.size() - 3);
        CompareEveryStart(text, QStringLiteral("zqx"));
    }
};

QTEST_GUILESS_MAIN(TestLiteralSearch)
#include "tst_literalsearch.moc"
