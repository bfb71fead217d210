#include "cli/SettingsCheck.h"

#include <QFile>
#include <QtTest>

// The check of a settings file, in this process: every trap with its line, in the file's order.
namespace {

struct Expected {
    int line;
    QString phrase;
};
using Findings = QList<Expected>;

}

Q_DECLARE_METATYPE(Findings)

class TestSettingsCheck : public QObject {
    Q_OBJECT

private slots:
    // The row's name is the file in tests/cli/data.
    void findings_data()
    {
        QTest::addColumn<Findings>("expected");

        QTest::newRow("invalid-pattern.xml") << Findings{
            {6, "the Reg of Item1 is not a valid pattern: missing closing parenthesis at position 4"}, {8, "Reg of Item2"}};
        QTest::newRow("missing-name-or-content.xml")
            << Findings{{10, "Item3 has no Name"}, {11, "Item2 has no Name"}, {14, "Item1 has a Name but neither Reg nor Data"}};
        QTest::newRow("item-numbers.xml") << Findings{{5, "Item0 is never read"},
                                                      {6, "Item01 is never read"},
                                                      {9, "Item101 is never read: the palette reads Item1 to Item100"},
                                                      {10, "Item99999999999 is never read"},
                                                      {11, "second Item2 is never read: only the first one, on line 7"},
                                                      {12, "<Item3> has no closing tag"}};
        QTest::newRow("inside-items.xml") << Findings{
            {6, "<Title> inside Item1 is the palette's Title"}, {7, "<Link> inside Item2"}, {8, "<Version> inside Item3"}};
        QTest::newRow("version-blank.xml") << Findings{{5, "Version \" true\" does not show"}};
        QTest::newRow("version-one.xml") << Findings{{5, "Version \"1\""}};
        QTest::newRow("version-yes-after-lone-cr-and-lf.xml") << Findings{{3, "Version \"yes\""}};
        QTest::newRow("colours.xml") << Findings{{4, "colour Base \"#FF0000\" is not six hexadecimal digits"},
                                                 {5, "colour Title \"FFF\""},
                                                 {6, "colour Label \"8080\""},
                                                 {7, "colour Back spans lines"}};
        QTest::newRow("colours-not-hex.xml") << Findings{{3, "colour Base \"GG0000\""}, {3, "colour Title \"FF00FF00\""}};
        QTest::newRow("spanning-lines.xml") << Findings{
            {10, "Title spans lines"}, {12, "Link spans lines"}, {15, "Name of Item1 spans lines"}};
        QTest::newRow("cp932.xml") << Findings{{3, "Item1 has a Name but neither"}, {4, "Item2 has no Name"}};
        QTest::newRow("bad-byte-cp932.xml") << Findings{{3, "neither UTF-8 nor code page 932"}};
        QTest::newRow("bad-byte-utf8-bom.xml") << Findings{{3, "not valid UTF-8"}};
        QTest::newRow("missing-sections.xml") << Findings{{1, "no <ColorSetting>"}, {1, "no <DataSetting>"}};
        QTest::newRow("entities.xml") << Findings{{5, "the Title holds the reference &amp;, which is not decoded"},
                                                  {6, "Name of Item1 holds the reference &amp;"},
                                                  {8, "Data of Item2 holds the reference &lt;"},
                                                  {9, "Reg of Item3 holds the reference &#x41;"},
                                                  {9, "Replace of Item3 holds the reference &quot;"}};
        QTest::newRow("tags.xml") << Findings{
            {4, "<Bak> is never read: did you mean <Back>?"},
            {5, "tag <base> is not recognised: names are case-sensitive; write <Base>"},
            {9, "<Versoin> is never read: did you mean <Version>?"},
            {10, "tag <item3> is not recognised: names are case-sensitive; write <Item3>"},
            {11, "tag <name> is not recognised"},
            {11, "Item4 has no Name"},
            {12, "tag <Item5 id=\"5\"> is not recognised: tags carry no blanks, attributes or slash; write <Item5>"},
            {13, "tag <Name > is not recognised"},
            {13, "tag <Name/> is not recognised"},
            {13, "Item6 has no Name"},
            {14, "<Replce> is never read: did you mean <Replace>?"},
            {15, "<Frobnicate> is never read: the palette knows no such element here"},
            {16, "<Itme9> is never read: did you mean <Item9>?"}};
        QTest::newRow("keys.xml") << Findings{
            {5, "the JoinKey \"Ctrl+Alt+1\" is the Key of Item1 already, on line 7: only that one works"},
            {8, "the Key of Item2 \"Ctrl+Alt+?\" is not a key: write modifiers and one key joined by +"},
            {9, "the Key of Item3 \"Alt+Ctrl+1\" is the Key of Item1 already, on line 7"},
            {10, "the Key of Item4 \"Q\" has no Ctrl, Alt or Meta"},
            {11, "Item5 has no Name"},
            {11, "the Key of Item5 does nothing: an item without a Name has no button"},
            {12, "Paste in Item6 \"yes\" is off: only \"true\" switches it on"},
            {12, "Restore in Item6 does nothing without <Paste>true</Paste>"},
            {13, "Paste in Item7 does nothing without a Key"}};
        QTest::newRow("doubt-utf8.xml") << Findings{
            {3, "valid as UTF-8 and as code page 932: read as UTF-8 (\"é\"), not as code page 932 (\"ﾃｩ\")"}};
        QTest::newRow("doubt-cp932.xml") << Findings{{4, "read as code page 932 (\"ﾘｽﾄｱ\"), not as UTF-8 (\"ؽı\")"}};
        QTest::newRow("../../../examples/tavrelo.xml") << Findings{};
    }

    void findings()
    {
        QFETCH(Findings, expected);
        QFile file(QStringLiteral(TAVRELO_TEST_DATA "/") + QString::fromUtf8(QTest::currentDataTag()));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<Finding> found = CheckSettings(file.readAll());
        QStringList lines;
        for (const Finding &finding : found)
            lines << QStringLiteral("%1: %2").arg(finding.line).arg(finding.message);
        QCOMPARE(found.size(), expected.size());
        for (qsizetype i = 0; i < expected.size(); ++i) {
            QVERIFY2(found[i].line == expected[i].line && found[i].message.contains(expected[i].phrase),
                     qPrintable(lines.join(u'\n')));
        }
    }

    // The values the check read are the palette's: the date placeholders filled in on loading.
    void valuesAsLoaded()
    {
        CheckedValues values;
        CheckSettings("<DataSetting><Title>as of @@@@/@@/@@</Title><Item2><Name>n</Name><Data>x</Data></Item2></DataSetting>",
                      &values);
        QCOMPARE(values.value(QStringLiteral("DataSetting/Title")),
                 "as of " + QDate::currentDate().toString(QStringLiteral("yyyy/MM/dd")));
        QCOMPARE(values.value(QStringLiteral("DataSetting/Item2/Name")), QStringLiteral("n"));
        QVERIFY(!values.contains(QStringLiteral("DataSetting/Item1/Name")));
    }

    // Line numbers as editors count them.
    void lineIndex_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qsizetype>("offset");
        QTest::addColumn<qint32>("line");

        QTest::newRow("first line") << "ab\r\ncd" << qsizetype(1) << 1;
        QTest::newRow("after CR LF") << "ab\r\ncd" << qsizetype(4) << 2;
        QTest::newRow("on the LF of CR LF") << "ab\r\ncd" << qsizetype(3) << 1;
        QTest::newRow("after a lone CR") << "ab\rcd" << qsizetype(3) << 2;
        QTest::newRow("after a lone LF") << "ab\ncd" << qsizetype(3) << 2;
        QTest::newRow("LF CR is two") << "a\n\rb" << qsizetype(3) << 3;
        QTest::newRow("past the end") << "a\nb\n" << qsizetype(9) << 3;
    }

    void lineIndex()
    {
        QFETCH(QString, text);
        QFETCH(qsizetype, offset);
        QFETCH(qint32, line);
        QCOMPARE(LineIndex(text).lineOf(offset), line);
    }
};

QTEST_GUILESS_MAIN(TestSettingsCheck)
#include "tst_settingscheck.moc"
