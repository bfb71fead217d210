// Every row of data/regexp_conformance.json, whose expected results node's RegExp computed
// (conformance/generate.js), run through RegExp::Replace.
#include "regexp/RegExp.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

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

class TestRegExpConformance : public QObject {
    Q_OBJECT

private slots:
    void replace_data()
    {
        QTest::addColumn<QJsonObject>("row");
        QFile file(QStringLiteral(TAVRELO_TEST_DATA "/regexp_conformance.json"));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.errorString()));
        QJsonParseError error;
        const QJsonArray rows = QJsonDocument::fromJson(file.readAll(), &error).array();
        QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(error.errorString()));
        QVERIFY(rows.size() >= 200);
        int index = 0;
        for (const QJsonValue &row : rows)
            QTest::addRow("%d: /%s/", ++index, qPrintable(field(row.toObject(), QStringLiteral("pattern")))) << row.toObject();
    }

    // A row with a "difference" documents where RegExp knowingly departs from node: an expected failure.
    void replace()
    {
        QFETCH(QJsonObject, row);
        const QString pattern = field(row, QStringLiteral("pattern"));
        const QString flags = row.value(QStringLiteral("flags")).toString();
        const bool invalid = row.value(QStringLiteral("invalid")).toBool();
        RegExp expression;
        expression.Global(flags.contains(u'g'));
        expression.IgnoreCase(flags.contains(u'i'));
        expression.Pattern(pattern);

        const QString difference = row.value(QStringLiteral("difference")).toString();
        if (!difference.isEmpty())
            QEXPECT_FAIL("", qPrintable(difference), Continue);
        try {
            const QString result = expression.Replace(field(row, QStringLiteral("text")),
                                                      field(row, QStringLiteral("replacement")));
            if (invalid)
                QFAIL(qPrintable(QStringLiteral("accepted an invalid pattern, result: ") + result));
            QCOMPARE(result, field(row, QStringLiteral("expected")));
        } catch (const RegExpError &e) {
            if (!invalid)
                QFAIL(qPrintable(e.description()));
            QCOMPARE(e.number(), ErrorNumber::RegExpSyntax);
            QVERIFY(e.patternOffset() >= 0 && e.patternOffset() <= pattern.size());
        }
    }
};

QTEST_APPLESS_MAIN(TestRegExpConformance)
#include "tst_regexp_conformance.moc"
