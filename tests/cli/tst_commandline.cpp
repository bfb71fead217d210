#include "cli/CommandLine.h"
#include "cli/Commands.h"

#include <QtTest>

// The command line as tavrelo-cli parses it, in this process: which command, with what, or why not.
class TestCommandLine : public QObject {
    Q_OBJECT

private slots:
    void parse_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("command"); // the row's name; empty for a usage error
        QTest::addColumn<QString>("detail"); // the error, or what the command was given

        QTest::newRow("no arguments") << QStringList{} << ""
                                      << "no command given";
        QTest::newRow("-h") << QStringList{"-h"} << "help"
                            << "topic=";
        QTest::newRow("help for a command") << QStringList{"help", "apply"} << "help"
                                            << "topic=apply";
        QTest::newRow("--help after a command") << QStringList{"-s", "missing.xml", "apply", "--help"} << "help"
                                                << "settings=missing.xml topic=apply";
        QTest::newRow("-V") << QStringList{"-V"} << "version"
                            << "";
        QTest::newRow("--version with a command") << QStringList{"items", "--version"} << ""
                                                  << "--version takes no command";
        QTest::newRow("command in other case") << QStringList{"Items"} << ""
                                               << "unknown command: Items";
        QTest::newRow("help for an unknown command") << QStringList{"help", "list"} << ""
                                                     << "unknown command: list";
        QTest::newRow("unknown option") << QStringList{"--all", "items"} << ""
                                        << "Unknown option 'all'.";
        QTest::newRow("options after the command") << QStringList{"items", "--json", "--settings=a.xml"} << "items"
                                                   << "settings=a.xml json";
        QTest::newRow("settings twice") << QStringList{"-s", "a.xml", "--settings", "b.xml", "items"} << ""
                                        << "--settings given twice";
        QTest::newRow("settings for join-words") << QStringList{"--settings", "a.xml", "join-words"} << ""
                                                 << "join-words reads no settings file";
        QTest::newRow("--json for apply") << QStringList{"apply", "1", "--json"} << ""
                                          << "--json belongs to items";
        QTest::newRow("--name for items") << QStringList{"items", "--name", "x"} << ""
                                          << "--name belongs to apply";
        QTest::newRow("extra argument") << QStringList{"items", "all"} << ""
                                        << "unexpected argument: all";

        QTest::newRow("index") << QStringList{"apply", "2"} << "apply"
                               << "index=2";
        QTest::newRow("element name") << QStringList{"apply", "Item3"} << "apply"
                                      << "index=2";
        QTest::newRow("the last item") << QStringList{"apply", "Item100"} << "apply"
                                       << "index=99";
        QTest::newRow("by caption") << QStringList{"apply", "--name", "日付"} << "apply"
                                    << "name=日付";
        QTest::newRow("apply without item") << QStringList{"apply"} << ""
                                            << "apply needs an item: its index, its element name or --name CAPTION";
        QTest::newRow("item and --name") << QStringList{"apply", "1", "--name", "x"} << ""
                                         << "apply takes either ITEM or --name, not both";
        QTest::newRow("empty caption") << QStringList{"apply", "--name", ""} << ""
                                       << "--name needs a caption";
        QTest::newRow("above the palette's items") << QStringList{"apply", "100"} << ""
                                                   << "the item index must be 0 to 99: 100";
        QTest::newRow("Item101") << QStringList{"apply", "Item101"} << ""
                                 << "the item index must be 0 to 99: 100";
        QTest::newRow("at the 32-bit limit") << QStringList{"apply", "2147483647"} << ""
                                             << "the item index must be 0 to 99: 2147483647";
        QTest::newRow("beyond 32 bits") << QStringList{"apply", "2147483648"} << ""
                                        << "not an item index or element name: 2147483648";
        QTest::newRow("after --, a sign is no option but still no index") << QStringList{"apply", "--", "-1"} << ""
                                                                          << "not an item index or element name: -1";
        QTest::newRow("Item0") << QStringList{"apply", "Item0"} << ""
                               << "not an item index or element name: Item0";
        QTest::newRow("Item01") << QStringList{"apply", "Item01"} << ""
                                << "not an item index or element name: Item01";
        QTest::newRow("item1") << QStringList{"apply", "item1"} << ""
                               << "not an item index or element name: item1";
        QTest::newRow("blank before the number") << QStringList{"apply", " 1"} << ""
                                                 << "not an item index or element name:  1";
    }

    void parse()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, command);
        QFETCH(QString, detail);
        QString error;
        const std::optional<Command> parsed = ParseCommandLine(arguments, &error);
        if (command.isEmpty()) {
            QVERIFY(!parsed);
            QCOMPARE(error, detail);
            return;
        }
        QVERIFY2(parsed, qPrintable(error));
        QCOMPARE(parsed->row->name, command);
        QStringList given;
        if (!parsed->settingsFile.isEmpty())
            given << "settings=" + parsed->settingsFile;
        if (parsed->json)
            given << QStringLiteral("json");
        if (command == QLatin1String("apply"))
            given << (parsed->name.isEmpty() ? QStringLiteral("index=%1").arg(parsed->index) : "name=" + parsed->name);
        if (command == QLatin1String("help"))
            given << "topic=" + parsed->topic;
        QCOMPARE(given.join(u' '), detail);
    }

    // The usage lists every command of the table, each command's usage its forms and description.
    void usage()
    {
        const QString whole = UsageText({QStringLiteral("/here/tavrelo.xml")});
        for (const CommandRow &row : CommandRows()) {
            for (const QString &form : row.synopsis.split(u'\n'))
                QVERIFY2(whole.contains(QStringLiteral("tavrelo-cli ") + form + u'\n'), qPrintable(form));
        }
        QVERIFY(whole.contains(QStringLiteral("\n  /here/tavrelo.xml\n")));
        QCOMPARE(
            CommandUsageText(QStringLiteral("check")),
            QStringLiteral("usage: tavrelo-cli [-s FILE] check\n\nreport the settings file's traps as FILE:LINE: message\n"));
        QVERIFY(CommandUsageText(QStringLiteral("version")).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
