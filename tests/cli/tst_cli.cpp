#include "UnreadableEntry.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

// The tests run the built executable in tests/cli/data, where the settings files lie.
namespace {

struct Result {
    int exitCode;
    QByteArray out;
    QByteArray err;
};

// What one finding line of check must say: its line number and a phrase of its message.
struct Expected {
    int line;
    QString phrase;
};
using Findings = QList<Expected>;

Result Run(const QStringList &arguments, const QByteArray &input = QByteArray(),
           const QString &program = QStringLiteral(TAVRELO_CLI),
           const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(QStringLiteral(TAVRELO_TEST_DATA));
    process.start(program, arguments);
    if (!process.waitForStarted(60000))
        qFatal("%s did not start: %s", qPrintable(program), qPrintable(process.errorString()));
    process.write(input);
    process.closeWriteChannel();
    // A quick program may have ended already, which writing to its pipe can find out (Windows):
    // waiting for it then answers false.
    if (process.state() != QProcess::NotRunning && !process.waitForFinished(60000))
        qFatal("%s did not finish within 60 s", qPrintable(program));
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardOutput(),
            process.readAllStandardError()};
}

// A pattern for one line of text that starts with start and contains phrase.
QString Line(const QString &start, const QString &phrase)
{
    const QString rest = QStringLiteral("[^\n]*");
    return QRegularExpression::escape(start) + rest + QRegularExpression::escape(phrase) + rest + u'\n';
}

bool Matches(const QByteArray &bytes, const QString &pattern)
{
    const QRegularExpression expression(QRegularExpression::anchoredPattern(pattern),
                                        QRegularExpression::DotMatchesEverythingOption);
    return expression.match(QString::fromUtf8(bytes)).hasMatch();
}

}

Q_DECLARE_METATYPE(Findings)

class TestCli : public QObject {
    Q_OBJECT

private slots:
    // The program's statuses and streams for a few invocations; ParseCommandLine's rows are in
    // tst_commandline.
    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out"); // patterns for the whole of standard output and error
        QTest::addColumn<QString>("err");
        const QString usage = QStringLiteral(".*usage: tavrelo-cli.*");

        const QString whole = QStringLiteral(
            "usage: tavrelo-cli .*items.*apply ITEM.*apply --name CAPTION.*join-words.*check.*help.*"
            "--version.*Exit status.*");
        const QString applyUsage = QStringLiteral("usage: tavrelo-cli \\[-s FILE\\] apply ITEM\n.*apply --name CAPTION\n.*");
        QTest::newRow("help") << QStringList{"--help"} << 0 << whole << "";
        QTest::newRow("-h") << QStringList{"-h"} << 0 << whole << "";
        QTest::newRow("help command") << QStringList{"help"} << 0 << whole << "";
        QTest::newRow("help for a command") << QStringList{"help", "apply"} << 0 << applyUsage << "";
        QTest::newRow("--help after a command") << QStringList{"-s", "missing.xml", "apply", "--help"} << 0 << applyUsage << "";
        QTest::newRow("version") << QStringList{"--version"} << 0 << "tavrelo-cli 1\\.0\\.0\n"
                                 << "";
        QTest::newRow("-V") << QStringList{"-V"} << 0 << "tavrelo-cli 1\\.0\\.0\n"
                            << "";
        QTest::newRow("no command") << QStringList{} << 2 << "" << usage;
        QTest::newRow("apply above the palette's 100 items")
            << QStringList{"--settings", "palette.xml", "apply", "100"} << 2 << "" << Line({}, "0 to 99") + usage;
        const QString unreadable = Line({}, "missing.xml");
        QTest::newRow("items, no such file") << QStringList{"--settings", "missing.xml", "items"} << 2 << "" << unreadable;
        QTest::newRow("check, no such file") << QStringList{"--settings", "missing.xml", "check"} << 2 << "" << unreadable;
        QTest::newRow("apply, a folder") << QStringList{"--settings", ".", "apply", "0"} << 2 << "" << Line({}, ".");
        QTest::newRow("check, a folder") << QStringList{"--settings", ".", "check"} << 2 << "" << Line({}, ".");
    }

    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        const Result result = Run(arguments, "text");
        QCOMPARE(result.exitCode, status);
        QVERIFY2(Matches(result.out, out), result.out.constData());
        QVERIFY2(Matches(result.err, err), result.err.constData());
    }

    // Anything but a regular file up to the cap is refused at once, with its reason, by every
    // command that reads the settings file.
    void notARegularFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << "missing"
                                 << "no such file";
        QTest::newRow("folder") << "folder"
                                << "not a regular file";
        QTest::newRow("FIFO") << "fifo"
                              << "not a regular file";
        QTest::newRow("link to /dev/zero") << "zero"
                                           << "not a regular file";
        QTest::newRow("one byte over 256 MB") << "large"
                                              << "larger than 256 MB";
        QTest::newRow("no permission") << "private"
                                       << "permission denied";
    }

    void notARegularFile()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("tavrelo.xml"));
        const QString skip = MakeUnreadableEntry(path, kind);
        if (!skip.isEmpty())
            QSKIP(qPrintable(skip));
        for (const QString &command : {QStringLiteral("items"), QStringLiteral("check"), QStringLiteral("apply")}) {
            QStringList arguments{QStringLiteral("--settings"), path, command};
            if (command == QLatin1String("apply"))
                arguments << QStringLiteral("0");
            QElapsedTimer timer;
            timer.start();
            const Result result = Run(arguments, "text");
            QVERIFY2(timer.elapsed() < 5000, qPrintable(command));
            QCOMPARE(result.exitCode, 2);
            QVERIFY(result.out.isEmpty());
            QVERIFY2(Matches(result.err, Line({}, path + ": " + reason)), result.err.constData());
        }
    }

    void items_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("expected");

        QTest::newRow("number order, gaps, blank Name and Item101 left out")
            << "palette.xml"
            << QByteArray("0\t署名\ttext\n1\tEmpty\tempty\n2\t日付をドット区切りに\treplace\n5\tTwo\\r\\nlines\treplace\n"
                          "6\tStrip\treplace\n7\tQuote\treplace\n8\tToday\ttext\n9\tBrackets\treplace\n"
                          "10\tBroken\treplace\n11\t \tempty\n");
        QTest::newRow("code page 932 file") << "cp932.xml" << QByteArray("0\t「表」\tempty\n2\tソ\ttext\n");
        QTest::newRow("tab, line breaks and backslash in a Name escaped")
            << "names.xml" << QByteArray("0\ttab\\there\ttext\n1\tC:\\\\temp\\\\new\ttext\n2\tlone\\nLF and CR\\r\\nend\ttext\n");
        QTest::newRow("half-width katakana that is valid UTF-8") << "doubt-cp932.xml" << QByteArray("0\tﾘｽﾄｱ\ttext\n");
        QTest::newRow("Notepad's Unicode (UTF-16 LE)") << "notepad-unicode.xml" << QByteArray("0\tﾘｽﾄｱ 日付\ttext\n");
        // The key as the palette shows it; one that is no key as written, for check to explain.
        QTest::newRow("global keys")
            << "keys.xml"
            << QByteArray("0\tOne\ttext\tCtrl+Alt+1\n1\tTwo\ttext\tCtrl+Alt+?\n2\tThree\ttext\tCtrl+Alt+1\n3\tFour\ttext\tQ\n"
                          "5\tSix\treplace\tCtrl+Alt+6\n6\tSeven\ttext\n");
    }

    // Read as given, and as the file beside the executable when the copy runs where there is none.
    void items()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, expected);
        QTemporaryDir folder;
        const QString program = folder.filePath(QStringLiteral("tavrelo-cli"));
        QVERIFY(QFile::copy(QStringLiteral(TAVRELO_CLI), program));
        QVERIFY(QFile::copy(QStringLiteral(TAVRELO_TEST_DATA "/") + file, folder.filePath(QStringLiteral("tavrelo.xml"))));
        for (const Result &result : {Run({"--settings", file, "items"}), Run({"items"}, QByteArray(), program)}) {
            QCOMPARE(result.exitCode, 0);
            QCOMPARE(result.out, expected);
            QVERIFY(result.err.isEmpty());
        }
    }

    // An empty index runs join-words instead of apply.
    void apply_data()
    {
        QTest::addColumn<QString>("index");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QString>("error"); // when set: status 1 and this phrase on one line of standard error

        QTest::newRow("dates rewritten, CR LF, lone LF, Japanese and no final line end kept")
            << "2" << QByteArray("会議 2024-05-01\r\n締切 2024-06-30 と 1999-12-31\na\r\n2024-01-02")
            << QByteArray("会議 2024.05.01\r\n締切 2024.06.30 と 1999.12.31\na\r\n2024.01.02") << "";
        QTest::newRow("byte-order mark kept") << "2"
                                              << QByteArray("\xEF\xBB\xBF"
                                                            "2024-01-02\r\n")
                                              << QByteArray("\xEF\xBB\xBF"
                                                            "2024.01.02\r\n")
                                              << "";
        QTest::newRow("no Replace: matches deleted, text outside the BMP kept")
            << "6" << QByteArray(" 😀  😀\r\n") << QByteArray("😀😀\r\n") << "";
        QTest::newRow("anchor only at the very start") << "7" << QByteArray("one\r\ntwo") << QByteArray("&gt; one\r\ntwo") << "";
        QTest::newRow("empty input, pattern matching it") << "7" << QByteArray() << QByteArray("&gt; ") << "";
        QTest::newRow("pattern with Japanese")
            << "9" << QByteArray("「会議」と「締切」") << QByteArray("『会議』と『締切』") << "";
        QTest::newRow("fixed text with its CR LF and indentation")
            << "0" << QByteArray("ignored") << QByteArray("--\r\n\t山田 太郎") << "";
        QTest::newRow("date placeholder filled in on loading")
            << "8" << QByteArray() << ("as of " + QDate::currentDate().toString(QStringLiteral("yyyy/MM/dd"))).toUtf8() << "";
        QTest::newRow("item without Reg and Data") << "1" << QByteArray("text") << QByteArray() << "";
        QTest::newRow("item without Name still works") << "4" << QByteArray() << QByteArray("no name") << "";
        QTest::newRow("element name as the file writes it")
            << "Item3" << QByteArray("2024-01-02") << QByteArray("2024.01.02") << "";
        QTest::newRow("join-words: lines trimmed, CR LF kept")
            << "" << QByteArray("  item count  \r\nmax value\r\n") << QByteArray("itemCount\r\nmaxValue\r\n") << "";
        QTest::newRow("join-words: lone LF stays inside a word") << "" << QByteArray("x y\nz w") << QByteArray("xY\nzW") << "";
        QTest::newRow("join-words: non-ASCII")
            << "" << QByteArray("HTML parser ärger 日本 語") << QByteArray("HTMLParserÄrger日本語") << "";
        QTest::newRow("join-words: empty") << "" << QByteArray() << QByteArray() << "";

        QTest::newRow("invalid pattern, with its position") << "10" << QByteArray("ab") << QByteArray() << "position 1";
        QTest::newRow("no such item") << "3" << QByteArray("x") << QByteArray() << "Item4";
        QTest::newRow("invalid byte") << "2" << QByteArray("2024-01-02 \xFF") << QByteArray() << "not valid UTF-8";
        QTest::newRow("cut-off sequence at the end")
            << "2" << QByteArray("2024-01-02 \xE3\x81") << QByteArray() << "not valid UTF-8";
        QTest::newRow("encoded surrogate") << "2" << QByteArray("\xED\xA0\x80") << QByteArray() << "not valid UTF-8";
        QTest::newRow("overlong form") << "2" << QByteArray("\xC0\xAF") << QByteArray() << "not valid UTF-8";
        // An item that ignores the input never reads it, so it cannot be wrong.
        QTest::newRow("fixed text, input not UTF-8") << "0" << QByteArray("\xC0\xAF") << QByteArray("--\r\n\t山田 太郎") << "";
        QTest::newRow("join-words: invalid byte after a whole line")
            << "" << QByteArray("a b\r\n\xFE") << QByteArray() << "not valid UTF-8";
    }

    void apply()
    {
        QFETCH(QString, index);
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, out);
        QFETCH(QString, error);
        const Result result = Run(
            index.isEmpty() ? QStringList{"join-words"} : QStringList{"--settings", "palette.xml", "apply", index}, input);
        QCOMPARE(result.out, out);
        QCOMPARE(result.exitCode, error.isEmpty() ? 0 : 1);
        QVERIFY2(Matches(result.err, error.isEmpty() ? QString() : Line({}, error)), result.err.constData());
    }

    // An item without a Reg answers at once: it does not wait for standard input, which stays
    // open and unwritten here, nor read it (an endless input would fill the memory).
    void applyWithoutInput_data()
    {
        QTest::addColumn<QStringList>("item");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<int>("status");

        QTest::newRow("fixed text") << QStringList{"0"} << QByteArray("--\r\n\t山田 太郎") << 0;
        QTest::newRow("fixed text by caption")
            << QStringList{"--name", "Today"} << ("as of " + QDate::currentDate().toString(QStringLiteral("yyyy/MM/dd"))).toUtf8()
            << 0;
        QTest::newRow("neither Reg nor Data") << QStringList{"Item2"} << QByteArray() << 0;
        QTest::newRow("no such item") << QStringList{"3"} << QByteArray() << 1;
    }

    void applyWithoutInput()
    {
        QFETCH(QStringList, item);
        QFETCH(QByteArray, out);
        QFETCH(int, status);
        QProcess process;
        process.setWorkingDirectory(QStringLiteral(TAVRELO_TEST_DATA));
        process.start(QStringLiteral(TAVRELO_CLI), QStringList{"--settings", "palette.xml", "apply"} + item);
        const bool isFinished = process.waitForFinished(10000);
        if (!isFinished) {
            process.kill();
            process.waitForFinished();
        }
        QVERIFY2(isFinished, "apply waits for standard input");
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), status);
        QCOMPARE(process.readAllStandardOutput(), out);
    }

    // A reader that has gone away (head, a closed pager) is a failed write: status 1 and a
    // message, not death by SIGPIPE. Every command writes through the same stream.
    void closedPipe_data()
    {
        QTest::addColumn<QString>("command"); // CLI is the executable, DATA the test data folder

        QTest::newRow("apply") << "CLI --settings DATA/palette.xml apply 2 < in.txt";
        QTest::newRow("join-words") << "CLI join-words < in.txt";
        QTest::newRow("items") << "CLI --settings DATA/palette.xml items";
        QTest::newRow("help") << "CLI --help";
    }

    void closedPipe()
    {
        QFETCH(QString, command);
        // The FIFO needs a POSIX shell and system.
        if (QStandardPaths::findExecutable(QStringLiteral("bash")).isEmpty())
            QSKIP("no POSIX shell for a pipe without a reader");
        QTemporaryDir folder;
        QFile input(folder.filePath(QStringLiteral("in.txt")));
        QVERIFY(input.open(QIODevice::WriteOnly)
                && input.write(QByteArray("2024-01-02 get user name\r\n").repeated(200'000)) > 0);
        input.close();
        command.replace(QStringLiteral("CLI"), QStringLiteral("'" TAVRELO_CLI "'"));
        command.replace(QStringLiteral("DATA"), QStringLiteral("'" TAVRELO_TEST_DATA "'"));
        // A FIFO opened for writing while a reader held it, whose reader then closed: standard
        // output has no reader before the first byte is written.
        const QString script = QStringLiteral("mkfifo out && exec 3<>out 4>out 3<&- && %1 >&4 2>err.txt; echo $?").arg(command);
        QProcess process;
        process.setWorkingDirectory(folder.path());
        process.start(QStringLiteral("bash"), {QStringLiteral("-c"), script});
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.readAllStandardOutput().trimmed(), QByteArray("1"));
        QFile err(folder.filePath(QStringLiteral("err.txt")));
        QVERIFY(err.open(QIODevice::ReadOnly));
        const QString error = QString::fromUtf8(err.readAll());
        QVERIFY2(error.count(u'\n') == 1 && error.contains(QStringLiteral("cannot write standard output")), qPrintable(error));
    }

    void applyByName_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QString>("error"); // when set: status 1 and this phrase on standard error

        QTest::newRow("fixed text") << "palette.xml"
                                    << "署名" << QByteArray("--\r\n\t山田 太郎") << "";
        QTest::newRow("rewrite") << "palette.xml"
                                 << "日付をドット区切りに" << QByteArray("2024.01.02") << "";
        QTest::newRow("caption with a blank") << "palette.xml"
                                              << " " << QByteArray() << "";
        QTest::newRow("captions are exact") << "palette.xml"
                                            << "empty" << QByteArray() << "no button is captioned empty";
        QTest::newRow("an item beyond Item100 has no button") << "palette.xml"
                                                              << "Never" << QByteArray() << "no button is captioned Never";
        QTest::newRow("two buttons with the caption") << "same-caption.xml"
                                                      << "Copy" << QByteArray() << "items 0 and 1 are both captioned Copy";
    }

    void applyByName()
    {
        QFETCH(QString, file);
        QFETCH(QString, caption);
        QFETCH(QByteArray, out);
        QFETCH(QString, error);
        const Result result = Run({"-s", file, "apply", "--name", caption}, "2024-01-02");
        QCOMPARE(result.out, out);
        QCOMPARE(result.exitCode, error.isEmpty() ? 0 : 1);
        QVERIFY2(Matches(result.err, error.isEmpty() ? QString() : Line({}, error)), result.err.constData());
    }

    // Names exactly as the file holds them, line breaks included, with the element they come from.
    void itemsJson()
    {
        const Result cp932 = Run({"--settings", "cp932.xml", "items", "--json"});
        QCOMPARE(cp932.exitCode, 0);
        QCOMPARE(cp932.out, QByteArray(R"([{"index":0,"item":"Item1","key":"","mode":"empty","name":"「表」"},)"
                                       R"({"index":2,"item":"Item3","key":"","mode":"text","name":"ソ"}])"
                                       "\n"));
        const Result palette = Run({"--json", "items", "--settings", "palette.xml"});
        QCOMPARE(palette.exitCode, 0);
        QVERIFY2(palette.out.contains(R"({"index":5,"item":"Item6","key":"","mode":"replace","name":"Two\r\nlines"})"),
                 palette.out.constData());
    }

    // Without --settings: beside the real program, then the user's, the system's and the
    // installation's own configuration folders, as --help lists them.
    void defaultSettingsFile_data()
    {
        QTest::addColumn<QList<int>>("present"); // 0 beside, 1 user, 2 system, 3 installation
        QTest::addColumn<bool>("throughLink");
        QTest::addColumn<int>("read"); // -1: none, status 2

        QTest::newRow("beside the program wins") << QList<int>{0, 1, 2, 3} << false << 0;
        QTest::newRow("the user's before the system's") << QList<int>{1, 2, 3} << false << 1;
        QTest::newRow("the system's before the installation's") << QList<int>{2, 3} << false << 2;
        QTest::newRow("the installation's own") << QList<int>{3} << false << 3;
        QTest::newRow("a link reads beside the real program") << QList<int>{0} << true << 0;
        QTest::newRow("none: every place named") << QList<int>{} << false << -1;
    }

    void defaultSettingsFile()
    {
        QFETCH(QList<int>, present);
        QFETCH(bool, throughLink);
        QFETCH(int, read);
        QTemporaryDir root;
        QVERIFY(QDir(root.path()).mkpath(QStringLiteral("bin")) && QDir(root.path()).mkpath(QStringLiteral("link")));
        const QString program = root.filePath(QStringLiteral("bin/") + QFileInfo(QStringLiteral(TAVRELO_CLI)).fileName());
        QVERIFY(QFile::copy(QStringLiteral(TAVRELO_CLI), program));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), root.filePath(QStringLiteral("home")));
        environment.insert(QStringLiteral("XDG_CONFIG_DIRS"), root.filePath(QStringLiteral("system")));

        const Result help = Run({"--help"}, QByteArray(), program, environment);
        const QString usage = QString::fromUtf8(help.out);
        QStringList places = usage.section(QStringLiteral("Here:\n"), 1).section(QStringLiteral("\n\n"), 0, 0).split(u'\n');
        for (QString &place : places)
            place = QDir::fromNativeSeparators(place.trimmed());
#ifdef Q_OS_WIN
        // The user's and the system's folders are known folders there (the local application data
        // and ProgramData), which no variable moves, and there is no installation folder.
        QCOMPARE(places.size(), 3);
        QCOMPARE(places[0], root.filePath("bin/tavrelo.xml"));
        if (throughLink || present.size() != 4)
            QSKIP("Windows' configuration folders cannot be moved for a test, and a link there is a shortcut");
        present = {0};
#else
        QCOMPARE(places.mid(0, 3), (QStringList{root.filePath("bin/tavrelo.xml"), root.filePath("home/tavrelo/tavrelo.xml"),
                                                root.filePath("system/tavrelo/tavrelo.xml")}));
        QCOMPARE(places.size(), 4);
#endif
        if (present.contains(3) && !places[3].startsWith(root.path()))
            QSKIP("this build is configured for a prefix whose configuration folder lies outside it");

        for (int place : present) {
            QVERIFY(QDir().mkpath(QFileInfo(places[place]).absolutePath()));
            QFile file(places[place]);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QStringLiteral("<DataSetting><Item1><Name>place %1</Name></Item1></DataSetting>").arg(place).toUtf8());
        }
        // The file beside the link is not the one beside the program.
        QVERIFY(QFile::copy(QStringLiteral(TAVRELO_TEST_DATA "/palette.xml"), root.filePath("link/tavrelo.xml")));
        const QString link = root.filePath(QStringLiteral("link/tavrelo-cli"));
        QVERIFY(QFile::link(program, link));

        const Result result = Run({"items"}, QByteArray(), throughLink ? link : program, environment);
        if (read < 0) {
            QCOMPARE(result.exitCode, 2);
            QVERIFY2(Matches(result.err, Line({}, "no settings file; looked for " + places.join(", "))), result.err.constData());
        } else {
            QCOMPARE(result.exitCode, 0);
            QCOMPARE(result.out, QStringLiteral("0\tplace %1\tempty\n").arg(read).toUtf8());
        }
    }

    // Through a shell, in a folder with in.txt (40 MB of lines) and big.xml (a 40 MB settings file):
    // under a memory limit (ulimit -v, in KiB) or with standard output on a full disk. Nothing
    // may reach standard output, and the status must say that the work was not done.
    void constrained_data()
    {
        QTest::addColumn<QString>("script"); // CLI is the executable, DATA the test data folder
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("err"); // a phrase of the one line on standard error, in any case

        QTest::newRow("join-words, out of memory while joining")
            << "ulimit -v 160000; CLI join-words < in.txt" << 1 << "out of memory";
        QTest::newRow("join-words, out of memory while reading")
            << "ulimit -v 120000; CLI join-words < in.txt" << 1 << "out of memory";
        QTest::newRow("apply, out of memory")
            << "ulimit -v 120000; CLI --settings DATA/palette.xml apply 2 < in.txt" << 1 << "out of memory";
        QTest::newRow("check, out of memory") << "ulimit -v 120000; CLI --settings big.xml check" << 2 << "out of memory";
        QTest::newRow("items, out of memory") << "ulimit -v 120000; CLI --settings big.xml items" << 2 << "big.xml";
        const QString full = QStringLiteral("cannot write standard output");
        QTest::newRow("items to a full disk") << "CLI --settings DATA/palette.xml items > /dev/full" << 1 << full;
        QTest::newRow("check to a full disk") << "CLI --settings DATA/colours.xml check > /dev/full" << 1 << full;
        QTest::newRow("help to a full disk") << "CLI --help > /dev/full" << 1 << full;
        QTest::newRow("version to a full disk") << "CLI --version > /dev/full" << 1 << full;
        QTest::newRow("apply to a full disk")
            << "echo 2024-01-02 | CLI --settings DATA/palette.xml apply 2 > /dev/full" << 1 << full;
    }

    void constrained()
    {
        QFETCH(QString, script);
        QFETCH(int, status);
        QFETCH(QString, err);
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
        // The sanitizers reserve terabytes of address space, so no program of such a build runs
        // under a memory limit at all; the regular build tests these rows.
        if (script.contains(QStringLiteral("ulimit -v")))
            QSKIP("a memory limit and a sanitizer exclude each other");
#endif
        // ulimit and /dev/full are a POSIX shell's and system's; Windows has neither.
        if (QStandardPaths::findExecutable(QStringLiteral("bash")).isEmpty())
            QSKIP("no POSIX shell for a memory limit or a full disk");
        QTemporaryDir folder;
        QFile input(folder.filePath(QStringLiteral("in.txt")));
        QVERIFY(input.open(QIODevice::WriteOnly) && input.write(QByteArray("get user name\r\n").repeated(2'500'000)) > 0);
        input.close();
        QFile settings(folder.filePath(QStringLiteral("big.xml")));
        QVERIFY(settings.open(QIODevice::WriteOnly)
                && settings.write("<myItem><ColorSetting></ColorSetting><DataSetting><Item1><Name>n</Name><Data>"
                                  + QByteArray("fixed text line\r\n").repeated(2'500'000)
                                  + "</Data></Item1></DataSetting></myItem>")
                       > 0);
        settings.close();
        script.replace(QStringLiteral("CLI"), QStringLiteral("'" TAVRELO_CLI "'"));
        script.replace(QStringLiteral("DATA"), QStringLiteral("'" TAVRELO_TEST_DATA "'"));
        QProcess process;
        process.setWorkingDirectory(folder.path());
        process.start(QStringLiteral("bash"), {QStringLiteral("-c"), script});
        QVERIFY(process.waitForFinished(60000));
        const QByteArray out = process.readAllStandardOutput();
        const QString error = QString::fromUtf8(process.readAllStandardError());
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), status);
        QVERIFY2(out.isEmpty(), out.left(200).constData());
        QVERIFY2(error.count(u'\n') == 1 && error.contains(err, Qt::CaseInsensitive), qPrintable(error));
    }

    // The row's name is the file as given to check, which must name it so in every finding; the
    // findings themselves are tst_settingscheck's.
    void check_data()
    {
        QTest::addColumn<Findings>("expected");

        QTest::newRow("invalid-pattern.xml") << Findings{{6, "Reg of Item1 is not a valid pattern"}, {8, "Reg of Item2"}};
        QTest::newRow("colours.xml") << Findings{{4, "colour Base \"#FF0000\" is not six hexadecimal digits"},
                                                 {5, "colour Title \"FFF\""},
                                                 {6, "colour Label \"8080\""},
                                                 {7, "colour Back spans lines"}};
        QTest::newRow("../../../examples/tavrelo.xml") << Findings{};
    }

    void check()
    {
        QFETCH(Findings, expected);
        const QString file = QString::fromUtf8(QTest::currentDataTag());
        const Result result = Run({"--settings", file, "check"});
        QString lines;
        for (const Expected &finding : expected)
            lines += Line(QStringLiteral("%1:%2: ").arg(file).arg(finding.line), finding.phrase);
        QCOMPARE(result.exitCode, expected.isEmpty() ? 0 : 1);
        QVERIFY(result.err.isEmpty());
        QVERIFY2(Matches(result.out, lines), result.out.constData());
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
