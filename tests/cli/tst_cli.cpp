#include "cli/StandardStreams.h"
#include "xml/CodePageText.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Result {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// What one finding line must say: its line number and a phrase of its message.
struct Expected {
    int line;
    QString phrase;
};

QByteArray Utf8(const char *text)
{
    return QByteArray(text);
}

// Settings files are written with CR LF, as the palette's users write them.
QByteArray Lines(const QStringList &lines)
{
    return lines.join(QStringLiteral("\r\n")).toUtf8() + "\r\n";
}

QByteArray CodePage932(const QString &text)
{
    QByteArray bytes;
    if (!CodePageText::encodeCodePage932(text, &bytes))
        qFatal("test text has no code page 932 form");
    return bytes;
}

// A file whose colours are fine, with the given lines of DataSetting from line 10 on.
QByteArray WithData(const QStringList &dataLines)
{
    QStringList lines{
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"),
        QStringLiteral("<myItem>"),
        QStringLiteral("\t<ColorSetting>"),
        QStringLiteral("\t\t<Base>E8F0F8</Base>"),
        QStringLiteral("\t\t<Title>204060</Title>"),
        QStringLiteral("\t\t<Label>0000c0</Label>"),
        QStringLiteral("\t\t<Back> C0D8F0\t</Back>"),
        QStringLiteral("\t</ColorSetting>"),
        QStringLiteral("\t<DataSetting>"),
    };
    lines += dataLines;
    lines += {QStringLiteral("\t</DataSetting>"), QStringLiteral("</myItem>")};
    return Lines(lines);
}

// A file with the given colour lines from line 4 on and one plain item.
QByteArray WithColors(const QStringList &colorLines)
{
    QStringList lines{QStringLiteral("<?xml version=\"1.0\"?>"), QStringLiteral("<myItem>"),
                      QStringLiteral("<ColorSetting>")};
    lines += colorLines;
    lines += {QStringLiteral("</ColorSetting>"), QStringLiteral("<DataSetting>"),
              QStringLiteral("<Item1><Name>a</Name><Data>b</Data></Item1>"), QStringLiteral("</DataSetting>"),
              QStringLiteral("</myItem>")};
    return Lines(lines);
}

const QByteArray kPalette = WithData({
    QStringLiteral("\t\t<Title>Palette</Title>"),
    QStringLiteral("\t\t<Item3>"),
    QStringLiteral("\t\t\t<Name>日付をドット区切りに</Name>"),
    QStringLiteral("\t\t\t<Reg>(\\d{4})-(\\d{2})-(\\d{2})</Reg>"),
    QStringLiteral("\t\t\t<Replace>$1.$2.$3</Replace>"),
    QStringLiteral("\t\t</Item3>"),
    QStringLiteral("\t\t<Item1><Name>署名</Name><Data>--"),
    QStringLiteral("\t山田 太郎</Data></Item1>"),
    QStringLiteral("\t\t<Item2><Name>Empty</Name></Item2>"),
    QStringLiteral("\t\t<Item5><Data>no name</Data></Item5>"),
    QStringLiteral("\t\t<Item6><Name>Two"),
    QStringLiteral("lines</Name><Reg>x</Reg></Item6>"),
    QStringLiteral("\t\t<Item7><Name>Strip</Name><Reg> +</Reg></Item7>"),
    QStringLiteral("\t\t<Item8><Name>Quote</Name><Reg>^</Reg><Replace>&gt; </Replace></Item8>"),
    QStringLiteral("\t\t<Item9><Name>Today</Name><Data>as of @@@@/@@/@@</Data></Item9>"),
    QStringLiteral("\t\t<Item10><Name>Brackets</Name><Reg>「([^」]*)」</Reg><Replace>『$1』</Replace></Item10>"),
    QStringLiteral("\t\t<Item11><Name>Broken</Name><Reg>a)b</Reg></Item11>"),
    QStringLiteral("\t\t<Item101><Name>Never</Name><Data>x</Data></Item101>"),
});

}

class TestCli : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void usageErrors_data();
    void usageErrors();
    void help();
    void version();
    void unreadableSettings_data();
    void unreadableSettings();

    void items_data();
    void items();
    void itemsReadsTheFileBesideTheExecutable();

    void apply_data();
    void apply();
    void applyFailures_data();
    void applyFailures();

    void loneSurrogates_data();
    void loneSurrogates();

    void joinWords_data();
    void joinWords();

    void check_data();
    void check();
    void checkNamesTheFileAsGiven();
    void checkIsSilentOnTheExample();

private:
    Result run(const QStringList &arguments, const QByteArray &input = QByteArray(),
               const QString &program = QStringLiteral(TAVRELO_CLI)) const;
    QString write(const QString &name, const QByteArray &bytes) const;

    QTemporaryDir m_folder;
};

Result TestCli::run(const QStringList &arguments, const QByteArray &input, const QString &program) const
{
    QProcess process;
    process.setWorkingDirectory(m_folder.path());
    process.start(program, arguments);
    if (!process.waitForStarted())
        qFatal("cannot start %s", qPrintable(program));
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000))
        qFatal("%s did not finish", qPrintable(program));
    Result result;
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

QString TestCli::write(const QString &name, const QByteArray &bytes) const
{
    const QString path = m_folder.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void TestCli::initTestCase()
{
    QVERIFY(m_folder.isValid());
    write(QStringLiteral("palette.xml"), kPalette);
}

// --- command line ----------------------------------------------------------------------------

void TestCli::usageErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("nothing") << QStringList{};
    QTest::newRow("unknown command") << QStringList{"list"};
    QTest::newRow("command in other case") << QStringList{"Items"};
    QTest::newRow("apply without index") << QStringList{"apply"};
    QTest::newRow("index not a number") << QStringList{"apply", "first"};
    QTest::newRow("index with sign") << QStringList{"apply", "-1"};
    QTest::newRow("index with blank") << QStringList{"apply", " 1"};
    QTest::newRow("index beyond 32 bits") << QStringList{"apply", "4294967296"};
    QTest::newRow("two indexes") << QStringList{"apply", "1", "2"};
    QTest::newRow("extra argument") << QStringList{"items", "all"};
    QTest::newRow("settings without file") << QStringList{"items", "--settings"};
    QTest::newRow("settings twice") << QStringList{"--settings", "a.xml", "--settings", "b.xml", "items"};
    QTest::newRow("settings for join-words") << QStringList{"--settings", "a.xml", "join-words"};
    QTest::newRow("help with command") << QStringList{"--help", "items"};
}

void TestCli::usageErrors()
{
    QFETCH(QStringList, arguments);
    const Result result = run(arguments);
    QCOMPARE(result.exitCode, 2);
    QVERIFY(result.out.isEmpty());
    QVERIFY2(result.err.contains("usage: tavrelo-cli"), result.err.constData());
}

void TestCli::help()
{
    const Result result = run({QStringLiteral("--help")});
    QCOMPARE(result.exitCode, 0);
    QVERIFY(result.err.isEmpty());
    QVERIFY(result.out.startsWith("usage: tavrelo-cli"));
    for (const char *command : {"items", "apply INDEX", "join-words", "check", "--version"})
        QVERIFY2(result.out.contains(command), command);
}

void TestCli::version()
{
    const Result result = run({QStringLiteral("--version")});
    QCOMPARE(result.exitCode, 0);
    const QByteArray expected = QByteArray("tavrelo-cli ") + QByteArray::number(TAVRELO_VERSION_MAJOR) + '.'
                                + QByteArray::number(TAVRELO_VERSION_MINOR) + '.'
                                + QByteArray::number(TAVRELO_VERSION_PATCH) + '\n';
    QCOMPARE(result.out, expected);
    QCOMPARE(result.out, QByteArray("tavrelo-cli 1.0.0\n"));
}

void TestCli::unreadableSettings_data()
{
    QTest::addColumn<QStringList>("arguments");
    for (const QString &file : {QStringLiteral("missing.xml"), QStringLiteral(".")}) {
        QTest::addRow("items %s", qPrintable(file)) << QStringList{"--settings", file, "items"};
        QTest::addRow("apply %s", qPrintable(file)) << QStringList{"--settings", file, "apply", "0"};
        QTest::addRow("check %s", qPrintable(file)) << QStringList{"--settings", file, "check"};
    }
}

void TestCli::unreadableSettings()
{
    QFETCH(QStringList, arguments);
    const Result result = run(arguments, "text");
    QCOMPARE(result.exitCode, 2);
    QVERIFY(result.out.isEmpty());
    QCOMPARE(result.err.count('\n'), 1);
    QVERIFY2(result.err.contains(arguments.at(1).toUtf8()), result.err.constData());
}

// --- items -----------------------------------------------------------------------------------

void TestCli::items_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("buttons in number order, gaps and Item101 left out") << kPalette
        << Utf8("0\t署名\ttext\n"
                "1\tEmpty\tempty\n"
                "2\t日付をドット区切りに\treplace\n"
                "5\tTwo lines\treplace\n"
                "6\tStrip\treplace\n"
                "7\tQuote\treplace\n"
                "8\tToday\ttext\n"
                "9\tBrackets\treplace\n"
                "10\tBroken\treplace\n");
    QTest::newRow("code page 932 file")
        << CodePage932(QStringLiteral("<DataSetting>\r\n<Item2><Name>「括弧」</Name><Reg>x</Reg></Item2>\r\n"
                                      "<Item1><Name>表</Name><Data>ソ</Data></Item1>\r\n</DataSetting>\r\n"))
        << Utf8("0\t表\ttext\n1\t「括弧」\treplace\n");
    QTest::newRow("a Name that is only a blank makes a button") << Lines({"<DataSetting><Item1><Name> </Name></Item1></DataSetting>"})
        << Utf8("0\t \tempty\n");
    QTest::newRow("no items") << Lines({"<DataSetting><Title>t</Title></DataSetting>"}) << QByteArray();
}

void TestCli::items()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, expected);
    const QString path = write(QStringLiteral("items.xml"), file);
    const Result result = run({QStringLiteral("--settings"), path, QStringLiteral("items")});
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.out, expected);
    QVERIFY(result.err.isEmpty());
}

void TestCli::itemsReadsTheFileBesideTheExecutable()
{
    const QString folder = m_folder.filePath(QStringLiteral("installed"));
    QVERIFY(QDir().mkpath(folder));
    const QString program = QDir(folder).filePath(QStringLiteral("tavrelo-cli"));
    QVERIFY(QFile::copy(QStringLiteral(TAVRELO_CLI), program));
    QFile(program).setPermissions(QFile(QStringLiteral(TAVRELO_CLI)).permissions());
    write(QStringLiteral("installed/tavrelo.xml"), Lines({"<DataSetting><Item4><Name>beside</Name></Item4></DataSetting>"}));
    // Run from another folder, so that only the executable's folder can lead to the file.
    const Result result = run({QStringLiteral("items")}, QByteArray(), program);
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.out, QByteArray("3\tbeside\tempty\n"));
}

// --- apply -----------------------------------------------------------------------------------

void TestCli::apply_data()
{
    QTest::addColumn<QString>("index");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("dates rewritten, CR LF and Japanese kept") << "2"
        << Utf8("会議 2024-05-01\r\n締切 2024-06-30 と 1999-12-31\r\n")
        << Utf8("会議 2024.05.01\r\n締切 2024.06.30 と 1999.12.31\r\n");
    QTest::newRow("lone LF and no final line end kept") << "2" << Utf8("a\n2024-01-02") << Utf8("a\n2024.01.02");
    QTest::newRow("byte-order mark kept") << "2" << Utf8("\xEF\xBB\xBF" "2024-01-02\r\n")
                                          << Utf8("\xEF\xBB\xBF" "2024.01.02\r\n");
    QTest::newRow("nothing matches") << "2" << Utf8("2024-1-2 ✓") << Utf8("2024-1-2 ✓");
    QTest::newRow("text outside the BMP") << "6" << Utf8("😀 😀\r\n") << Utf8("😀😀\r\n");
    QTest::newRow("Replace missing: matches deleted") << "6" << Utf8(" a  b ") << Utf8("ab");
    QTest::newRow("anchor only at the very start") << "7" << Utf8("one\r\ntwo") << Utf8("&gt; one\r\ntwo");
    QTest::newRow("empty input, pattern matching it") << "7" << QByteArray() << Utf8("&gt; ");
    QTest::newRow("empty input, other pattern") << "2" << QByteArray() << QByteArray();
    QTest::newRow("pattern with Japanese") << "9" << Utf8("「会議」と「締切」") << Utf8("『会議』と『締切』");
    QTest::newRow("fixed text with its CR LF and indentation") << "0" << Utf8("ignored")
                                                                 << Utf8("--\r\n\t山田 太郎");
    QTest::newRow("date placeholder filled in on loading") << "8" << QByteArray()
        << ("as of " + QDate::currentDate().toString(QStringLiteral("yyyy/MM/dd"))).toUtf8();
    QTest::newRow("item without Reg and Data") << "1" << Utf8("text") << QByteArray();
    QTest::newRow("item without Name still works") << "4" << QByteArray() << Utf8("no name");
    QTest::newRow("Item101 answers index 100, as the settings model does") << "100" << QByteArray() << Utf8("x");
}

void TestCli::apply()
{
    QFETCH(QString, index);
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, expected);
    const Result result = run({QStringLiteral("--settings"), QStringLiteral("palette.xml"), QStringLiteral("apply"), index}, input);
    QVERIFY2(result.err.isEmpty(), result.err.constData());
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.out, expected);
}

void TestCli::applyFailures_data()
{
    QTest::addColumn<QString>("index");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("reason");

    QTest::newRow("invalid pattern, with its position") << "10" << Utf8("ab") << "position 1";
    QTest::newRow("no such item") << "3" << Utf8("x") << "Item4";
    QTest::newRow("beyond every element") << "200" << Utf8("x") << "Item201";
    QTest::newRow("index at the 32-bit limit") << "2147483647" << Utf8("x") << "Overflow";
    QTest::newRow("invalid byte") << "2" << Utf8("2024-01-02 \xFF") << "not valid UTF-8";
    QTest::newRow("cut-off sequence at the end") << "2" << Utf8("2024-01-02 \xE3\x81") << "not valid UTF-8";
    QTest::newRow("encoded surrogate") << "2" << Utf8("\xED\xA0\x80") << "not valid UTF-8";
    QTest::newRow("overlong form") << "0" << Utf8("\xC0\xAF") << "not valid UTF-8";
}

void TestCli::applyFailures()
{
    QFETCH(QString, index);
    QFETCH(QByteArray, input);
    QFETCH(QString, reason);
    const Result result = run({QStringLiteral("--settings"), QStringLiteral("palette.xml"), QStringLiteral("apply"), index}, input);
    QCOMPARE(result.exitCode, 1);
    QVERIFY(result.out.isEmpty());
    QCOMPARE(result.err.count('\n'), 1);
    QVERIFY(result.err.endsWith('\n'));
    QVERIFY2(QString::fromUtf8(result.err).contains(reason), result.err.constData());
}

// The engine matches whole code points, so no item can split a pair today; the guard that keeps
// such a result off standard output is checked on its own.
void TestCli::loneSurrogates_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qsizetype>("position");
    const QChar high(0xD83D);
    const QChar low(0xDE00);
    QTest::newRow("empty") << QString() << qsizetype(-1);
    QTest::newRow("pairs") << (QStringLiteral("a") + high + low + high + low) << qsizetype(-1);
    QTest::newRow("high at the end") << (QStringLiteral("ab") + high) << qsizetype(2);
    QTest::newRow("low first") << (QString(low) + QStringLiteral("a")) << qsizetype(0);
    QTest::newRow("reversed pair") << (QStringLiteral("a") + low + high) << qsizetype(1);
    QTest::newRow("high before a letter") << (QString(high) + high + low) << qsizetype(0);
}

void TestCli::loneSurrogates()
{
    QFETCH(QString, text);
    QFETCH(qsizetype, position);
    QCOMPARE(FindLoneSurrogate(text), position);
}

// --- join-words ------------------------------------------------------------------------------

void TestCli::joinWords_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("words of one line") << Utf8("get user name") << Utf8("getUserName");
    QTest::newRow("lines trimmed and kept apart") << Utf8("  item count  \r\nmax value") << Utf8("itemCount\r\nmaxValue");
    QTest::newRow("final CR LF kept") << Utf8("a b\r\n") << Utf8("aB\r\n");
    QTest::newRow("lone LF stays inside a word") << Utf8("x y\nz w") << Utf8("xY\nzW");
    QTest::newRow("initials kept, non-ASCII") << Utf8("HTML parser ärger 日本 語") << Utf8("HTMLParserÄrger日本語");
    QTest::newRow("empty") << QByteArray() << QByteArray();
}

void TestCli::joinWords()
{
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, expected);
    const Result result = run({QStringLiteral("join-words")}, input);
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.out, expected);

    const Result invalid = run({QStringLiteral("join-words")}, input + "\xFE");
    QCOMPARE(invalid.exitCode, 1);
    QVERIFY(invalid.out.isEmpty());
    QCOMPARE(invalid.err.count('\n'), 1);
}

// --- check -----------------------------------------------------------------------------------

Q_DECLARE_METATYPE(QList<Expected>)

void TestCli::check_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QList<Expected>>("expected");

    QTest::newRow("invalid pattern")
        << WithData({"<Item1><Name>a</Name>", "<Reg>(\\d+</Reg></Item1>"})
        << QList<Expected>{{11, "Reg of Item1 is not a valid pattern"}};
    QTest::newRow("invalid pattern, error on its second line")
        << WithData({"<Item1><Name>a</Name><Reg>x", "a)</Reg></Item1>"})
        << QList<Expected>{{11, "Reg of Item1 is not a valid pattern"}};
    QTest::newRow("Name without Reg and Data")
        << WithData({"<Item1><Name>a</Name><Replace>b</Replace></Item1>"})
        << QList<Expected>{{10, "Item1 has a Name but neither Reg nor Data"}};
    QTest::newRow("content without Name")
        << WithData({"<Item1><Name>a</Name><Data>b</Data></Item1>", "<Item2>", "<Data>b</Data>", "</Item2>"})
        << QList<Expected>{{11, "Item2 has no Name"}};
    QTest::newRow("empty Name counts as none")
        << WithData({"<Item1><Name></Name><Reg>b</Reg></Item1>"})
        << QList<Expected>{{10, "Item1 has no Name"}};
    QTest::newRow("item numbers never read")
        << WithData({"<Item0><Name>a</Name><Data>b</Data></Item0>", "<Item01><Name>a</Name><Data>b</Data></Item01>",
                     "<Item100><Name>a</Name><Data>b</Data></Item100>",
                     "<Item101><Name>a</Name><Data>b</Data></Item101>",
                     "<Item99999999999><Name>a</Name><Data>b</Data></Item99999999999>"})
        << QList<Expected>{{10, "Item0 is never read"}, {11, "Item01 is never read"},
                           {13, "Item101 is never read"}, {14, "Item99999999999 is never read"}};
    QTest::newRow("second element with the same number")
        << WithData({"<Item2><Name>a</Name><Data>b</Data></Item2>", "<Item1><Name>c</Name><Data>d</Data></Item1>",
                     "<Item2><Name>e</Name><Data>f</Data></Item2>"})
        << QList<Expected>{{12, "second Item2 is never read: only the first one, on line 10"}};
    QTest::newRow("opening tag without closing tag")
        << WithData({"<Item1><Name>a</Name><Data>b</Data></Item1>", "<Item2><Name>a</Name><Data>b</Data>"})
        << QList<Expected>{{11, "<Item2> has no closing tag"}};
    QTest::newRow("Title inside an item wins")
        << WithData({"<Item1><Name>a</Name><Data>b</Data>", "<Title>note</Title></Item1>", "<Title>Palette</Title>"})
        << QList<Expected>{{11, "<Title> inside Item1 is the palette's Title"}};
    QTest::newRow("Link and Version inside items")
        << WithData({"<Item1><Name>a</Name><Data><Link>x</Link></Data></Item1>",
                     "<Item2><Name>b</Name><Data>c</Data><Version>true</Version></Item2>", "<Link>y</Link>",
                     "<Version>true</Version>"})
        << QList<Expected>{{10, "<Link> inside Item1"}, {11, "<Version> inside Item2"}};
    QTest::newRow("Title after the items is harmless")
        << WithData({"<Title>Palette</Title>", "<Item1><Name>a</Name><Data>b</Data><Title>x</Title></Item1>"})
        << QList<Expected>{};
    QTest::newRow("Version with a blank")
        << WithData({"<Version> true</Version>"}) << QList<Expected>{{10, "Version \" true\" does not show"}};
    QTest::newRow("Version yes") << WithData({"<Version>yes</Version>"}) << QList<Expected>{{10, "Version \"yes\""}};
    QTest::newRow("Version 1") << WithData({"<Version>1</Version>"}) << QList<Expected>{{10, "Version \"1\""}};
    QTest::newRow("Version in any letter case or switched off")
        << WithData({"<Version>TrUe</Version>", "<Item1><Name>a</Name><Data>b</Data></Item1>"}) << QList<Expected>{};
    QTest::newRow("Version false") << WithData({"<Version>FALSE</Version>"}) << QList<Expected>{};
    QTest::newRow("colour with number sign")
        << WithColors({"<Base>#FF0000</Base>", "<Title>FFFFFF</Title>"})
        << QList<Expected>{{4, "colour Base \"#FF0000\" is not six hexadecimal digits"}};
    QTest::newRow("short and digit-only colours")
        << WithColors({"<Base>FFF</Base>", "<Title>8080</Title>", "<Label>GG0000</Label>", "<Back>FF00FF00</Back>"})
        << QList<Expected>{{4, "colour Base \"FFF\""}, {5, "colour Title \"8080\""}, {6, "colour Label \"GG0000\""},
                           {7, "colour Back \"FF00FF00\""}};
    QTest::newRow("colour spanning lines")
        << WithColors({"<Label>", "FF0000", "</Label>"}) << QList<Expected>{{4, "colour Label spans lines"}};
    QTest::newRow("Name spanning lines")
        << WithData({"<Item1><Name>a", "b</Name><Data>c</Data></Item1>"})
        << QList<Expected>{{10, "Name of Item1 spans lines"}};
    QTest::newRow("Title and Link spanning lines")
        << WithData({"<Title>", "Palette</Title>", "<Link>https://example.com/", "</Link>"})
        << QList<Expected>{{10, "Title spans lines"}, {12, "Link spans lines"}};
    QTest::newRow("Data over several lines is fine")
        << WithData({"<Item1><Name>a</Name><Data>b", "c</Data></Item1>"}) << QList<Expected>{};
    QTest::newRow("code page 932 file with a byte that has no character")
        << CodePage932(QStringLiteral("<ColorSetting><Base>000000</Base></ColorSetting>\r\n<DataSetting>\r\n"
                                      "<Item1><Name>表示</Name><Data>"))
               + "\x80" + CodePage932(QStringLiteral("</Data></Item1>\r\n</DataSetting>\r\n"))
        << QList<Expected>{{3, "neither UTF-8 nor code page 932"}};
    QTest::newRow("code page 932 traps on the right lines")
        << CodePage932(QStringLiteral("<ColorSetting><Base>000000</Base></ColorSetting>\r\n<DataSetting>\r\n"
                                      "<Item1><Name>「表」</Name></Item1>\r\n<Item2><Reg>（</Reg></Item2>\r\n"
                                      "</DataSetting>\r\n"))
        << QList<Expected>{{3, "Item1 has a Name but neither"}, {4, "Item2 has no Name"}};
    QTest::newRow("UTF-8 file with a byte-order mark and a bad byte")
        << QByteArray("\xEF\xBB\xBF<ColorSetting></ColorSetting>\r\n<DataSetting>\r\n<Title>\xFF</Title>\r\n</DataSetting>")
        << QList<Expected>{{3, "not valid UTF-8"}};
    QTest::newRow("lone CR and lone LF end lines too")
        << QByteArray("<ColorSetting></ColorSetting>\r<DataSetting>\n<Version>on</Version>\r\n</DataSetting>")
        << QList<Expected>{{3, "Version \"on\""}};
    QTest::newRow("missing sections")
        << Lines({"<Datasetting>", "<Item1><Name>a</Name><Data>b</Data></Item1>", "</Datasetting>"})
        << QList<Expected>{{1, "no <ColorSetting>"}, {1, "no <DataSetting>"}};
    QTest::newRow("several traps in the order of the file")
        << WithData({"<Item2><Name>x</Name></Item2>", "<Version>yes</Version>", "<Item1><Name>y</Name><Reg>[</Reg></Item1>"})
        << QList<Expected>{{10, "Item2 has a Name but neither"}, {11, "Version \"yes\""}, {12, "Reg of Item1"}};
}

void TestCli::check()
{
    QFETCH(QByteArray, file);
    QFETCH(QList<Expected>, expected);
    const QString path = write(QStringLiteral("check.xml"), file);
    const Result result = run({QStringLiteral("--settings"), path, QStringLiteral("check")});
    QVERIFY(result.err.isEmpty());
    QCOMPARE(result.exitCode, expected.isEmpty() ? 0 : 1);

    const QStringList lines = QString::fromUtf8(result.out).split(u'\n', Qt::SkipEmptyParts);
    QVERIFY2(lines.size() == expected.size(), result.out.constData());
    QVERIFY(expected.isEmpty() || result.out.endsWith('\n'));
    for (qsizetype i = 0; i < expected.size(); ++i) {
        const QString prefix = QStringLiteral("%1:%2: ").arg(path).arg(expected.at(i).line);
        QVERIFY2(lines.at(i).startsWith(prefix), qPrintable(lines.at(i)));
        QVERIFY2(lines.at(i).contains(expected.at(i).phrase), qPrintable(lines.at(i)));
    }
}

void TestCli::checkNamesTheFileAsGiven()
{
    write(QStringLiteral("relative.xml"), WithData({"<Version>no</Version>"}));
    const Result result = run({QStringLiteral("check"), QStringLiteral("--settings"), QStringLiteral("./relative.xml")});
    QCOMPARE(result.exitCode, 1);
    QVERIFY2(result.out.startsWith("./relative.xml:10: "), result.out.constData());
}

void TestCli::checkIsSilentOnTheExample()
{
    const Result result = run({QStringLiteral("--settings"), QStringLiteral(TAVRELO_SOURCE_DIR "/examples/tavrelo.xml"),
                               QStringLiteral("check")});
    QCOMPARE(result.out, QByteArray());
    QCOMPARE(result.exitCode, 0);
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
