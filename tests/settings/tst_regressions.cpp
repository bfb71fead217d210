// Inputs that once went wrong, found by the fuzz targets and the limit tests.
#include "settings/WordJoining.h"

#include <QtTest>

class TestRegressions : public QObject {
    Q_OBJECT

private slots:
    void convertLines_data();
    void convertLines();
};

void TestRegressions::convertLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("result");

    // A lone high surrogate as a word's initial was taken for a pair with the next character,
    // which was then upper-cased as well.
    const QString high(QChar(0xD801));
    QTest::newRow("lone high surrogate before a letter") << QStringLiteral("a ") + high + u'b' << u'a' + high + u'b';
    QTest::newRow("surrogate pair still one initial") << QStringLiteral("a ") + high + QChar(0xDC28) + u'b'
                                                     << u'a' + high + QChar(0xDC00) + u'b';
}

void TestRegressions::convertLines()
{
    QFETCH(QString, text);
    QFETCH(QString, result);
    QCOMPARE(ConvertLines(text), result);
}

QTEST_GUILESS_MAIN(TestRegressions)
#include "tst_regressions.moc"
