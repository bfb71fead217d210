// Every row of data/regexp_conformance.json, whose expected results node's RegExp computed
// (conformance/generate.js), run through RegExp::Replace.
#include "settings/RegExp.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

class TestRegExpConformance : public QObject {
    Q_OBJECT

private slots:
    void replace_data();
    void replace();
};

namespace {

// A field is a string, or, when it holds a lone surrogate, an array of UTF-16 code units.
QString field(const QJsonObject &row, const QString &name)
{
    const QJsonArray units = row.value(name + QStringLiteral("Units")).toArray();
    if (units.isEmpty())
        return row.value(name).toString();
    QString text;
    for (const QJsonValue &unit : units)
        text += QChar(char16_t(unit.toInt()));
    return text;
}

}

void TestRegExpConformance::replace_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("flags");
    QTest::addColumn<bool>("invalid");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("difference");

    QFile file(QStringLiteral(TAVRELO_TEST_DATA "/regexp_conformance.json"));
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.errorString()));
    QJsonParseError error;
    const QJsonArray rows = QJsonDocument::fromJson(file.readAll(), &error).array();
    QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(error.errorString()));
    QVERIFY(rows.size() >= 200);

    int index = 0;
    for (const QJsonValue &value : rows) {
        const QJsonObject row = value.toObject();
        const QString pattern = field(row, QStringLiteral("pattern"));
        QTest::addRow("%d: /%s/", ++index, qPrintable(pattern))
            << pattern << field(row, QStringLiteral("replacement")) << field(row, QStringLiteral("text"))
            << row.value(QStringLiteral("flags")).toString() << row.value(QStringLiteral("invalid")).toBool()
            << field(row, QStringLiteral("expected")) << row.value(QStringLiteral("difference")).toString();
    }
}

void TestRegExpConformance::replace()
{
    QFETCH(QString, pattern);
    QFETCH(QString, replacement);
    QFETCH(QString, text);
    QFETCH(QString, flags);
    QFETCH(bool, invalid);
    QFETCH(QString, expected);
    QFETCH(QString, difference);

    RegExp expression;
    expression.Global(flags.contains(u'g'));
    expression.IgnoreCase(flags.contains(u'i'));
    expression.Pattern(pattern);

    if (!difference.isEmpty())
        QEXPECT_FAIL("", qPrintable(difference), Continue);
    if (invalid) {
        try {
            const QString result = expression.Replace(text, replacement);
            QFAIL(qPrintable(QStringLiteral("accepted an invalid pattern, result: ") + result));
        } catch (const RegExpError &e) {
            QCOMPARE(e.number(), 5017);
            QVERIFY(e.patternOffset() >= 0 && e.patternOffset() <= pattern.size());
        }
        return;
    }
    try {
        QCOMPARE(expression.Replace(text, replacement), expected);
    } catch (const RegExpError &e) {
        QFAIL(qPrintable(e.description()));
    }
}

QTEST_APPLESS_MAIN(TestRegExpConformance)
#include "tst_regexp_conformance.moc"
