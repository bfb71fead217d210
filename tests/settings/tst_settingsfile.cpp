#include "settings/Cls_MySettingFile.h"

#include "base/CancelToken.h"

#include "LoadedSettings.h"
#include "RecordingPresenter.h"

#include <QtTest>

namespace {

QString dataSetting(const QString &content)
{
    return QStringLiteral("<DataSetting>\r\n") + content + QStringLiteral("\r\n</DataSetting>\r\n");
}

QString item(int number, const QString &content)
{
    return QStringLiteral("<Item%1>%2</Item%1>\r\n").arg(number).arg(content);
}

}

class TestSettingsFile : public QObject {
    Q_OBJECT

private slots:
    void datePlaceholders_data();
    void datePlaceholders();
    void loadingReplacesDatesEverywhere();
    void loadResults();
    void sectionsAreSearchedApart();
    void itemAccess();
    void failedPositioningForgetsPreviousItem();
    void overflowAtLargestIndex();
    void versionSwitch_data();
    void versionSwitch();
    void dataGet_data();
    void dataGet();
    void invalidPatternIsSilentButReported();
    void dataGetOnMissingItem();
    void cancelledRewrite();
};

void TestSettingsFile::datePlaceholders_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("result");

    QTest::newRow("slashes") << "@@@@/@@/@@"
                             << "2026/03/07";
    QTest::newRow("dots") << "@@@@.@@.@@"
                          << "2026.03.07";
    QTest::newRow("format string stays") << "YYYY/MM/DD"
                                         << "YYYY/MM/DD";
    QTest::newRow("hyphens stay") << "@@@@-@@-@@"
                                  << "@@@@-@@-@@";
    QTest::newRow("three at-signs stay") << "@@@/@@/@@"
                                         << "@@@/@@/@@";
    QTest::newRow("five at-signs keep the first") << "@@@@@/@@/@@"
                                                  << "@2026/03/07";
}

void TestSettingsFile::datePlaceholders()
{
    QFETCH(QString, text);
    QFETCH(QString, result);
    QCOMPARE(Cls_MySettingFile::ReplaceDatePlaceholders(text, QDate(2026, 3, 7)), result);
}

void TestSettingsFile::loadingReplacesDatesEverywhere()
{
    LoadedSettings s(dataSetting(QStringLiteral("<Title>T @@@@.@@.@@</Title>")
                                 + item(1, QStringLiteral("<Name>N @@@@/@@/@@</Name><Data>@@@@/@@/@@ @@@@/@@/@@</Data>"))));
    QVERIFY(s.loaded);
    const QDate today = QDate::currentDate();
    const QString slashes = today.toString(QStringLiteral("yyyy/MM/dd"));
    QCOMPARE(s.settings.GetTitle(), QStringLiteral("T ") + today.toString(QStringLiteral("yyyy.MM.dd")));
    QVERIFY(s.settings.SetDataPrepare(0));
    QCOMPARE(s.settings.GetName(), QStringLiteral("N ") + slashes);
    QCOMPARE(s.settings.GetData(), slashes + u' ' + slashes);
}

void TestSettingsFile::loadResults()
{
    RecordingPresenter boxes;
    {
        LoadedSettings empty{QString()};
        QVERIFY(empty.loaded);
        QVERIFY(!empty.settings.SetDataPrepare(0));
    }
    {
        LoadedSettings noSections(QStringLiteral("<Other>1</Other>"));
        QVERIFY(noSections.loaded);
        QCOMPARE(noSections.settings.GetTitle(), QString());
    }
    Cls_MySettingFile missing;
    missing.Path(QStringLiteral("/nonexistent-folder"));
    missing.Name(QStringLiteral("tavrelo.xml"));
    QVERIFY(!missing.LoadFile());
    QCOMPARE(missing.GetTitle(), QString());
    QCOMPARE(missing.Color().Gets(QStringLiteral("Base")), QString());
    QVERIFY(!missing.SetDataPrepare(0));
    QVERIFY(boxes.boxes.isEmpty());
}

void TestSettingsFile::sectionsAreSearchedApart()
{
    // A Title inside an item that stands before the section's own is the one that counts.
    LoadedSettings s(QStringLiteral("<ColorSetting><Base>C0C0C0</Base><Title>FFFFFF</Title></ColorSetting>\r\n")
                     + dataSetting(item(1, QStringLiteral("<Title>Palette</Title>")) + QStringLiteral("<Title>T</Title>")));
    QCOMPARE(s.settings.Color().Gets(QStringLiteral("Base")), QStringLiteral("C0C0C0"));
    QCOMPARE(s.settings.Color().Gets(QStringLiteral("Title")), QStringLiteral("FFFFFF"));
    QCOMPARE(s.settings.GetTitle(), QStringLiteral("Palette"));
    QCOMPARE(s.settings.DataSet().Gets(QStringLiteral("Base")), QString());
}

void TestSettingsFile::itemAccess()
{
    LoadedSettings s(dataSetting(item(10, QStringLiteral("<Name>ten</Name>"))
                                 + item(1, QStringLiteral("\r\n\t\t<Name>one</Name>\r\n\t\t<Reg> </Reg>\r\n\t"))
                                 + item(3, QStringLiteral("\r\n\t")) + item(4, QStringLiteral("<Data>d</Data>"))));
    QVERIFY(s.settings.SetDataPrepare(0));
    QCOMPARE(s.settings.GetName(), QStringLiteral("one"));
    QVERIFY(s.settings.isReg()); // one blank is a pattern
    QVERIFY(!s.settings.isData());
    QVERIFY(s.settings.SetDataPrepare(9));
    QCOMPARE(s.settings.GetName(), QStringLiteral("ten"));
    // Only a line break and indentation: present, with empty values.
    QVERIFY(s.settings.SetDataPrepare(2));
    QVERIFY(s.settings.isPrepare());
    QCOMPARE(s.settings.GetName(), QString());
    QVERIFY(s.settings.SetDataPrepare(3));
    QCOMPARE(s.settings.GetName(), QString());
    QVERIFY(s.settings.isData());
    QVERIFY(!s.settings.SetDataPrepare(-1));
}

void TestSettingsFile::failedPositioningForgetsPreviousItem()
{
    LoadedSettings s(dataSetting(item(1, QStringLiteral("<Name>one</Name><Reg>x</Reg><Replace>y</Replace><Data>d</Data>"))
                                 + QStringLiteral("<Title>T</Title>")));
    QVERIFY(s.settings.SetDataPrepare(0));
    QCOMPARE(s.settings.GetName(), QStringLiteral("one"));
    QVERIFY(!s.settings.SetDataPrepare(5));
    QVERIFY(!s.settings.isPrepare());
    QCOMPARE(s.settings.GetName(), QString());
    QCOMPARE(s.settings.GetReg(), QString());
    QCOMPARE(s.settings.GetReplaceString(), QString());
    QCOMPARE(s.settings.GetData(), QString());
    QCOMPARE(s.settings.GetTitle(), QStringLiteral("T"));
}

void TestSettingsFile::overflowAtLargestIndex()
{
    LoadedSettings s(dataSetting(item(1, QStringLiteral("<Name>one</Name>"))));
    try {
        s.settings.SetDataPrepare(std::numeric_limits<qint32>::max());
        QFAIL("no overflow");
    } catch (const RuntimeError &e) {
        QCOMPARE(e.number(), 6);
        QCOMPARE(e.description(), QStringLiteral("Overflow"));
    }
    const GeneratedText generated = s.settings.DataGet(std::numeric_limits<qint32>::max(), QString());
    QVERIFY(!generated.ok());
    QCOMPARE(generated.error.number, ErrorNumber::Overflow);
}

void TestSettingsFile::versionSwitch_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<bool>("shown");

    QTest::newRow("true") << "true" << true;
    QTest::newRow("TrUe") << "TrUe" << true;
    QTest::newRow("leading blank") << " true" << false;
    QTest::newRow("yes") << "yes" << false;
    QTest::newRow("empty") << "" << false;
}

void TestSettingsFile::versionSwitch()
{
    QFETCH(QString, version);
    QFETCH(bool, shown);
    LoadedSettings s(dataSetting(QStringLiteral("<Version>") + version + QStringLiteral("</Version>")));
    QCOMPARE(s.settings.IsShowVersion(), shown);
}

void TestSettingsFile::dataGet_data()
{
    QTest::addColumn<QString>("itemContent");
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("result");

    QTest::newRow("Reg wins over Data") << "<Reg>a</Reg><Replace>b</Replace><Data>d</Data>"
                                        << "xa"
                                        << "xb";
    QTest::newRow("missing Replace deletes") << "<Reg> +</Reg>"
                                             << "a b  c"
                                             << "abc";
    QTest::newRow("case matters") << "<Reg>abc</Reg><Replace>X</Replace>"
                                  << "ABC abc"
                                  << "ABC X";
    QTest::newRow("start anchor only at the very start") << "<Reg>^</Reg><Replace>&gt;</Replace>"
                                                         << "a\r\nb"
                                                         << "&gt;a\r\nb";
    QTest::newRow("end anchor only at the very end") << "<Reg>$</Reg><Replace>;</Replace>"
                                                     << "a\r\nb"
                                                     << "a\r\nb;";
    QTest::newRow("empty text, anchored pattern") << "<Reg>^</Reg><Replace>R</Replace>"
                                                  << ""
                                                  << "R";
    QTest::newRow("groups") << "<Reg>(\\d{4})-(\\d{2})-(\\d{2})</Reg><Replace>$1.$2.$3</Replace>"
                            << "on 2026-12-07."
                            << "on 2026.12.07.";
    QTest::newRow("Japanese brackets") << "<Reg>「([^」]*)」</Reg><Replace>『$1』</Replace>"
                                       << "「あ」と「い」"
                                       << "『あ』と『い』";
    QTest::newRow("multi-line Data") << "<Data>\r\n\tline 1\r\n\tline 2\r\n</Data>"
                                     << ""
                                     << "\r\n\tline 1\r\n\tline 2\r\n";
    QTest::newRow("neither Reg nor Data") << "<Name>n</Name>"
                                          << "given"
                                          << "";
}

void TestSettingsFile::dataGet()
{
    QFETCH(QString, itemContent);
    QFETCH(QString, given);
    QFETCH(QString, result);
    LoadedSettings s(dataSetting(item(2, itemContent)));
    const GeneratedText generated = s.settings.DataGet(1, given);
    QVERIFY2(generated.ok(), qPrintable(generated.error.description));
    QCOMPARE(generated.text, result);
    // Item1 is missing: no text, and no mistaking it for an empty one.
    const GeneratedText missing = s.settings.DataGet(0, given);
    QCOMPARE(missing.outcome, GeneratedText::Outcome::NoItem);
    QCOMPARE(missing.text, QString());
}

void TestSettingsFile::invalidPatternIsSilentButReported()
{
    RecordingPresenter boxes;
    LoadedSettings s(dataSetting(item(1, QStringLiteral("<Name>bad</Name><Reg>a(b</Reg><Replace>x</Replace>"))));
    const GeneratedText executed = s.settings.RegExpExecute(0, QStringLiteral("ab"));
    QVERIFY(!executed.ok());
    QCOMPARE(executed.text, QString());
    const GeneratedText generated = s.settings.DataGet(0, QStringLiteral("ab"));
    QVERIFY(boxes.boxes.isEmpty());
    QCOMPARE(CurrentError().number, 0);

    QVERIFY(!generated.ok());
    QVERIFY(generated.text.isEmpty());
    QCOMPARE(generated.error.number, ErrorNumber::RegExpSyntax);
    QVERIFY2(generated.patternOffset >= 1 && generated.patternOffset <= 3, qPrintable(generated.error.description));
    QVERIFY(generated.error.description.contains(QStringLiteral("position")));
}

void TestSettingsFile::dataGetOnMissingItem()
{
    LoadedSettings s(dataSetting(item(1, QStringLiteral("<Name>one</Name>"))));
    const GeneratedText executed = s.settings.RegExpExecute(4, QStringLiteral("given"));
    QVERIFY(executed.ok());
    QCOMPARE(executed.text, QStringLiteral("given"));
    const GeneratedText generated = s.settings.DataGet(4, QStringLiteral("given"));
    QVERIFY(!generated.ok());
    QCOMPARE(generated.error.description, QStringLiteral("no item Item5"));
}

// A fixed text is made at once; a rewrite that the token stops is no text at all.
void TestSettingsFile::cancelledRewrite()
{
    LoadedSettings s(
        dataSetting(item(1, QStringLiteral("<Reg>(?:a|b)*[cd]</Reg>")) + item(2, QStringLiteral("<Data>fixed</Data>"))));
    CancelToken token;
    token.cancel();
    const GeneratedText generated = s.settings.DataGet(0, QStringLiteral("ab").repeated(75'000), &token);
    QCOMPARE(generated.outcome, GeneratedText::Outcome::Cancelled);
    QCOMPARE(generated.error.number, ErrorNumber::UserInterrupt);
    QVERIFY(generated.text.isEmpty());
    QCOMPARE(s.settings.DataGet(1, QString(), &token).text, QStringLiteral("fixed"));
}

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
