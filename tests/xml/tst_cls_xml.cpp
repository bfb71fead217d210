#include "xml/Cls_XML.h"

#include "ErrorBesideWorker.h"
#include "RecordingPresenter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <limits>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}

class TestClsXml : public QObject {
    Q_OBJECT

private slots:
    void elementSearch_data();
    void elementSearch();
    void reading_data();
    void reading();
    void readingFailures_data();
    void readingFailures();
    void sectionLookup();
    void pathRule_data();
    void pathRule();
    void itemStore();
    void typedQueries_data();
    void typedQueries();
    void childStore();
    void writing();
    void saveFileCreatesFoldersAndWritesCodePage();
    void failedWriteLeavesTargetAlone_data();
    void failedWriteLeavesTargetAlone();
    void reportErrorFollowsSwitch();
    void trapOnWorkerThread();
    void indentLevelAtTheLimits_data();
    void indentLevelAtTheLimits();
    void writesIntoReadOnlyFolder();
};

void TestClsXml::elementSearch_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("content");

    QTest::newRow("plain") << "<Base>404040</Base>"
                           << "Base"
                           << "404040";
    QTest::newRow("blank inside brackets") << "<Base >404040</Base>"
                                           << "Base"
                                           << "";
    QTest::newRow("Item1 never finds Item10") << "<Item10>x</Item10>"
                                              << "Item1"
                                              << "";
    QTest::newRow("Item10 never finds Item1") << "<Item1>x</Item1>"
                                              << "Item10"
                                              << "";
    QTest::newRow("case matters") << "<base>1</base>"
                                  << "Base"
                                  << "";
    QTest::newRow("first opening tag wins") << "<A>1</A><A>2</A>"
                                            << "A"
                                            << "1";
    QTest::newRow("tag inside a comment wins") << "<!-- <A>x</A> --><A>y</A>"
                                               << "A"
                                               << "x";
    QTest::newRow("missing close") << "<A>1"
                                   << "A"
                                   << "";
    QTest::newRow("entities verbatim") << "<A>&amp;&lt;</A>"
                                       << "A"
                                       << "&amp;&lt;";
    QTest::newRow("bracket before the tag") << "<<A>1</A>"
                                            << "A"
                                            << "1";
    QTest::newRow("tag inside a longer tag") << "<A<A>2</A>"
                                             << "A"
                                             << "2";
    QTest::newRow("name holding a bracket") << "<A<A>2</A<A>"
                                            << "A<A"
                                            << "2";
    QTest::newRow("name holding a closing bracket") << "<a>b>3</a>b>"
                                                    << "a>b"
                                                    << "3";
    QTest::newRow("spans lines") << "<A>\r\n\t<B>1</B>\r\n</A>"
                                 << "A"
                                 << "\r\n\t<B>1</B>\r\n";
}

void TestClsXml::elementSearch()
{
    QFETCH(QString, text);
    QFETCH(QString, name);
    QFETCH(QString, content);
    QCOMPARE(Cls_XML::ExtractElement_str(text, name), content);

    Cls_XML store;
    QVERIFY(store.SetFileItem(text, QString()));
    QCOMPARE(store.Gets(name), content);
    QCOMPARE(store.GetFileItem_str(name), content);

    // A long text is searched through an index of its tags, a short one directly: both find the same.
    Cls_XML longStore;
    QVERIFY(longStore.SetFileItem(QString(2000, u'x') + text, QString()));
    QCOMPARE(longStore.Gets(name), content);
}

void TestClsXml::reading_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    QTest::newRow("empty file") << QByteArray() << QString();
    QTest::newRow("no final line break") << QByteArray("a\r\nb") << "a\r\nb\r\n";
    QTest::newRow("empty last line") << QByteArray("a\r\n\r\n") << "a\r\n\r\n";
    QTest::newRow("lone LF stays in line") << QByteArray("a\nb\n") << "a\nb\n\r\n";
    QTest::newRow("lone CR ends line") << QByteArray("a\rb") << "a\r\nb\r\n";
    QTest::newRow("code page 932") << QByteArray("\\~\x81\x60\x81\x5F\x81\x91\x87\x40\xED\x40\xFA\x40\xB1\x93\xfa")
                                   << QStringLiteral("\\~\uFF5E\uFF3C\uFFE0\u2460\u7E8A\u2170\uFF71日\r\n");
    QTest::newRow("UTF-8 with mark") << QByteArray("\xEF\xBB\xBF<A>\xE6\x97\xA5</A>") << "<A>日</A>\r\n";
    QTest::newRow("UTF-8 without mark") << QByteArray("<A>\xE6\x97\xA5\xE4\xBB\x98</A>") << "<A>日付</A>\r\n";
    // Bytes that are not valid UTF-8 fall back to the code page.
    QTest::newRow("not UTF-8 falls back") << QByteArray("\x93\xfa\xE6\x97\xA5")
                                          << QStringLiteral("日%1").arg(QStringLiteral("譌･")) + kCrLf;
}

void TestClsXml::reading()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QTemporaryDir dir;
    writeBytes(dir.filePath(QStringLiteral("s.xml")), bytes);

    Cls_XML store;
    store.SaveFilePath_Prop(dir.path());
    QVERIFY(store.OnlyReadFile_bln(QStringLiteral("s.xml")));
    QCOMPARE(store.FileData(), text);
}

void TestClsXml::readingFailures_data()
{
    QTest::addColumn<QString>("folder"); // empty: a fresh folder where name is made as the row says
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reported"); // the error box's first line

    QTest::newRow("missing file") << QDir::tempPath() << "no-such-file.xml"
                                  << "53 File not found";
    QTest::newRow("empty name") << QDir::tempPath() << ""
                                << "75 Path/File access error: not a regular file";
    // Refused before opening: a FIFO would block for ever, /dev/zero would fill the memory.
    QTest::newRow("FIFO") << ""
                          << "fifo"
                          << "75 Path/File access error: not a regular file";
    QTest::newRow("link to /dev/zero") << ""
                                       << "zero"
                                       << "75 Path/File access error: not a regular file";
    QTest::newRow("over 256 MB") << ""
                                 << "large"
                                 << "75 Path/File access error: larger than 256 MB";
#ifdef Q_OS_LINUX
    // Opening works, reading fails with an I/O error: that is no success with a cut-off text.
    QTest::newRow("I/O error after opening") << "/proc/self"
                                             << "mem"
                                             << "57 Device I/O error";
#endif
}

void TestClsXml::readingFailures()
{
    QFETCH(QString, folder);
    QFETCH(QString, name);
    QFETCH(QString, reported);
    QTemporaryDir made;
    if (folder.isEmpty()) {
        folder = made.path();
        const QString path = made.filePath(name);
        if (name == QLatin1String("fifo") && QProcess::execute(QStringLiteral("mkfifo"), {path}) != 0)
            QSKIP("mkfifo is not available");
        if (name == QLatin1String("zero")
            && !(QFile::exists(QStringLiteral("/dev/zero")) && QFile::link(QStringLiteral("/dev/zero"), path)))
            QSKIP("no /dev/zero to link to");
        QFile large(path);
        if (name == QLatin1String("large"))
            QVERIFY(large.open(QIODevice::WriteOnly) && large.resize((qint64(256) << 20) + 1));
    }
    RecordingPresenter boxes;
    Cls_XML store;
    store.MsgDisplayFlg_Prop(true);
    store.SaveFilePath_Prop(folder);
    store.FileData(QStringLiteral("kept"));
    QVERIFY(!store.OnlyReadFile_bln(name));
    QCOMPARE(store.FileData(), QStringLiteral("kept"));
    QCOMPARE(boxes.boxes.size(), 1);
    QCOMPARE(boxes.boxes[0].prompt.section(u'\r', 0, 0), reported);
}

void TestClsXml::sectionLookup()
{
    const QString file = QStringLiteral(
        "<Title>outside</Title>\r\n<ColorSetting>\r\n\t<Base>C0C0C0</Base>\r\n</ColorSetting>\r\n");
    QTemporaryDir dir;
    writeBytes(dir.filePath(QStringLiteral("s.xml")), file.toUtf8());
    Cls_XML reader;
    reader.SaveFilePath_Prop(dir.path());
    QVERIFY(reader.ReadFile_bln(QStringLiteral("s.xml"), true));
    QCOMPARE(reader.Gets(QStringLiteral("Base")), QStringLiteral("C0C0C0"));
    QVERIFY(reader.FileData().isEmpty());

    Cls_XML store;
    QVERIFY(store.SetFileItem(file, QStringLiteral("ColorSetting")));
    QCOMPARE(store.Gets(QStringLiteral("Base")), QStringLiteral("C0C0C0"));
    QCOMPARE(store.Gets(QStringLiteral("Title")), QString());

    QVERIFY(store.SetFileItem(file, QStringLiteral("NoSuchSection")));
    QCOMPARE(store.Gets(QStringLiteral("Base")), QString());

    QVERIFY(store.SetFileItem(QStringLiteral("<Base>1</Base>"), QString()));
    QCOMPARE(store.Gets(QStringLiteral("Base")), QStringLiteral("1"));
}

void TestClsXml::pathRule_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("path");

    const QString sep = QDir::separator();
    QTest::newRow("plain") << "/data"
                           << "a.xml"
                           << "/data" + sep + "a.xml";
    QTest::newRow("blanks trimmed") << " /data "
                                    << "a.xml"
                                    << "/data" + sep + "a.xml";
    QTest::newRow("trailing separator") << "/data/"
                                        << "a.xml"
                                        << "/data/a.xml";
    QTest::newRow("empty folder") << ""
                                  << "a.xml"
                                  << "a.xml";
    QTest::newRow("name untouched") << "/data"
                                    << " a.xml"
                                    << "/data" + sep + " a.xml";
    QTest::newRow("native trailing separator") << "C:" + sep + "Data" + sep << "a.xml"
                                               << "C:" + sep + "Data" + sep + "a.xml";
}

void TestClsXml::pathRule()
{
    QFETCH(QString, folder);
    QFETCH(QString, name);
    QFETCH(QString, path);
    QCOMPARE(Cls_XML::JoinPath_str(folder, name), path);
}

void TestClsXml::itemStore()
{
    RecordingPresenter boxes;
    Cls_XML store;
    QVERIFY(store.AddItem_bln(QStringLiteral("Base"), QStringLiteral("404040")));
    QVERIFY(store.AddItem_bln(QStringLiteral("base"), QStringLiteral("x")));
    QVERIFY(store.AddItem_bln(QStringLiteral("Empty"), QString()));
    QVERIFY(store.AddItem_bln(QStringLiteral("Raw"), QStringLiteral("a<b&c\r\nd")));
    QCOMPARE(store.GetItem_str(QStringLiteral("Base")), QStringLiteral("<Base>404040</Base>"));
    QCOMPARE(store.GetItem_str(QStringLiteral("Empty")), QStringLiteral("<Empty></Empty>"));
    QCOMPARE(store.GetItem_str(QStringLiteral("Raw")), QStringLiteral("<Raw>a<b&c\r\nd</Raw>"));
    QCOMPARE(store.GetItem_str(QStringLiteral("Missing")), QString());

    // Replacing keeps the place; a new key is appended without a message.
    QVERIFY(store.SetItem_bln(QStringLiteral("Base"), QStringLiteral("606060")));
    QVERIFY(store.SetItem_bln(QStringLiteral("New"), QStringLiteral("1")));
    QCOMPARE(store.ItemCount(), 5);
    QCOMPARE(
        store.GetItemAll_str(QStringLiteral("\t")),
        QStringLiteral(
            "\t<Base>606060</Base>\r\n\t<base>x</base>\r\n\t<Empty></Empty>\r\n\t<Raw>a<b&c\r\nd</Raw>\r\n\t<New>1</New>\r\n"));
    QVERIFY(boxes.boxes.isEmpty());

    QVERIFY(store.InitItem_bln());
    QCOMPARE(store.GetItemAll_str(QStringLiteral("\t")), QString());
    // A key used before can be added again; the switch is off, yet the two key messages show.
    QVERIFY(store.AddItem_bln(QStringLiteral("Base"), QStringLiteral("1")));
    QVERIFY(!store.AddItem_bln(QStringLiteral("Base"), QStringLiteral("2")));
    QCOMPARE(store.ItemCount(), 1);
    QCOMPARE(boxes.boxes.size(), 1);
    QCOMPARE(boxes.boxes[0].style, 48);
    QCOMPARE(boxes.boxes[0].title, QStringLiteral("重複Key発見"));
    QCOMPARE(boxes.boxes[0].prompt, QStringLiteral("次のKeyは既に使用されています。\r\n違う項目名を設定してください。\r\n")
                                        + QString(36, u'-') + QStringLiteral("\r\n『Base』"));

    QVERIFY(!store.AddItem_bln(QString(), QStringLiteral("x")));
    // An empty key stores nothing, so setting it is no success either.
    QVERIFY(!store.SetItem_bln(QString(), QStringLiteral("x")));
    QCOMPARE(store.ItemCount(), 1);
    QCOMPARE(boxes.boxes.size(), 3);
    for (int i : {1, 2}) {
        QCOMPARE(boxes.boxes[i].style, 48);
        QCOMPARE(boxes.boxes[i].title, QStringLiteral("設定値無し"));
        QCOMPARE(boxes.boxes[i].prompt, QStringLiteral("Key項目を設定してください。"));
    }
}

void TestClsXml::typedQueries_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<qint32>("number");
    QTest::addColumn<bool>("truth");

    QTest::newRow("42") << "42" << 42 << false;
    QTest::newRow("blanks and minus") << " -7 " << -7 << false;
    QTest::newRow("half to even down") << "2.5" << 2 << false;
    QTest::newRow("half to even up") << "3.5" << 4 << false;
    QTest::newRow("too large") << "2147483648" << 0 << false;
    QTest::newRow("rounds out of range") << "2147483647.5" << 0 << false;
    QTest::newRow("empty") << "" << 0 << false;
    QTest::newRow("text") << "abc" << 0 << false;
    QTest::newRow("TRUE") << "TRUE" << 0 << true;
    QTest::newRow("leading blank") << " true" << 0 << false;
    QTest::newRow("yes") << "yes" << 0 << false;
}

void TestClsXml::typedQueries()
{
    QFETCH(QString, content);
    QFETCH(qint32, number);
    QFETCH(bool, truth);
    RecordingPresenter boxes;
    Cls_XML store;
    store.SetFileItem(QStringLiteral("<V>") + content + QStringLiteral("</V>"), QString());
    QCOMPARE(store.GetFileItem_lng(QStringLiteral("V")), number);
    QCOMPARE(store.GetFileItem_bln(QStringLiteral("V")), truth);
    QCOMPARE(store.GetFileItemDefault_str(QStringLiteral("V"), QStringLiteral("def")),
             content.isEmpty() ? QStringLiteral("def") : content);
    QCOMPARE(store.GetFileItem_lng(QStringLiteral("Missing")), 0);
    QVERIFY(boxes.boxes.isEmpty());
}

void TestClsXml::childStore()
{
    Cls_XML store;
    store.IndentLevel_Prop(2);
    QVERIFY(store.SetElement_bln(QStringLiteral("Child"), QStringLiteral("<Base>1</Base>")));
    QCOMPARE(store.Element->Gets(QStringLiteral("Base")), QStringLiteral("1"));
    QCOMPARE(store.Element->IndentLevel_Prop(), 3);
    QVERIFY(store.InitElement_bln());
    QCOMPARE(store.Element->Gets(QStringLiteral("Base")), QString());
}

void TestClsXml::writing()
{
    Cls_XML colors;
    colors.IndentLevel_Prop(1);
    colors.AddItem_bln(QStringLiteral("Base"), QStringLiteral("404040"));
    colors.AddItem_bln(QStringLiteral("Back"), QStringLiteral("606060"));
    Cls_XML top;
    top.AddItem_bln(QStringLiteral("Title"), QStringLiteral("Palette"));
    top.AddItem_bln(QStringLiteral("ColorSetting"), colors.GetFileItemAll_str());

    const QString expected = QStringLiteral("<?xml version = '1.0' encoding = 'Shift_JIS'?>\r\n"
                                            "<myItem>\r\n"
                                            "\t<Title>Palette</Title>\r\n"
                                            "\t<ColorSetting>\r\n"
                                            "\t\t<Base>404040</Base>\r\n"
                                            "\t\t<Back>606060</Back>\r\n"
                                            "\t</ColorSetting>\r\n"
                                            "\r\n"
                                            "</myItem>");
    QCOMPARE(top.GetFileItemAll_str(), expected);

    // Reading it back gives the section's content and its values.
    const QString section = Cls_XML::ExtractElement_str(expected, QStringLiteral("ColorSetting"));
    QCOMPARE(section, QStringLiteral("\r\n\t\t<Base>404040</Base>\r\n\t\t<Back>606060</Back>\r\n\t"));
    QCOMPARE(Cls_XML::ExtractElement_str(section, QStringLiteral("Base")), QStringLiteral("404040"));

    // Deeper and negative levels, and another top tag.
    Cls_XML store;
    store.IndentLevel_Prop(2);
    store.AddItem_bln(QStringLiteral("A"), QStringLiteral("1"));
    QCOMPARE(store.GetFileItemAll_str(), QStringLiteral("\r\n\t\t\t<A>1</A>\r\n\t\t"));

    store.IndentLevel_Prop(-2);
    QVERIFY(!store.IsTopLevel());
    QCOMPARE(store.GetFileItemAll_str(), QStringLiteral("\r\n<A>1</A>\r\n"));

    store.IndentLevel_Prop(0);
    store.TopTagName_Prop(QStringLiteral("root"));
    QCOMPARE(store.GetFileItemAll_str(),
             QStringLiteral("<?xml version = '1.0' encoding = 'Shift_JIS'?>\r\n<root>\r\n\t<A>1</A>\r\n\r\n</root>"));
}

void TestClsXml::saveFileCreatesFoldersAndWritesCodePage()
{
    QTemporaryDir dir;
    Cls_XML store;
    store.SaveFilePath_Prop(dir.filePath(QStringLiteral("a/b/c")));
    const QString value = QStringLiteral("日付\\~\uFF5E\uFF3C\uFFE0\u2460\u7E8A\u2170\uFF71");
    store.AddItem_bln(QStringLiteral("Name"), value);
    QVERIFY(store.SaveFile_bln(QStringLiteral("out.xml")));

    // Like Windows, the code page writes 纊 with its IBM code FA5C; ED40 reads as the same character.
    const QByteArray bytes = readBytes(dir.filePath(QStringLiteral("a/b/c/out.xml")));
    QVERIFY(bytes.contains("<Name>\x93\xfa\x95\x74\\~\x81\x60\x81\x5F\x81\x91\x87\x40\xFA\x5C\xFA\x40\xB1</Name>"));
    QVERIFY(bytes.endsWith("\r\n\r\n</myItem>"));

    Cls_XML reader;
    reader.SaveFilePath_Prop(store.SaveFilePath_Prop());
    QVERIFY(reader.ReadFile_bln(QStringLiteral("out.xml"), false));
    QCOMPARE(reader.Gets(QStringLiteral("Name")), value);
}

void TestClsXml::failedWriteLeavesTargetAlone_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("folderIsFile");
    QTest::addColumn<QString>("reported");

    QTest::newRow("character outside the code page") << "5€" << false << "U+20AC";
    QTest::newRow("folder cannot be made") << "5" << true << QString::number(ErrorNumber::PathFileAccess) + u' ';
}

void TestClsXml::failedWriteLeavesTargetAlone()
{
    QFETCH(QString, value);
    QFETCH(bool, folderIsFile);
    QFETCH(QString, reported);
    QTemporaryDir dir;
    const QString target = dir.filePath(folderIsFile ? QStringLiteral("blocker") : QStringLiteral("out.xml"));
    writeBytes(target, "previous");

    RecordingPresenter boxes;
    Cls_XML store;
    store.MsgDisplayFlg_Prop(true);
    store.SaveFilePath_Prop(folderIsFile ? target : dir.path());
    store.AddItem_bln(QStringLiteral("Price"), value);
    QVERIFY(!store.SaveFile_bln(QStringLiteral("out.xml")));
    QCOMPARE(readBytes(target), QByteArray("previous"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QFileInfo(target).fileName()});
    QCOMPARE(boxes.boxes.size(), 1);
    QVERIFY2(boxes.boxes[0].prompt.contains(reported), qPrintable(boxes.boxes[0].prompt));
}

void TestClsXml::reportErrorFollowsSwitch()
{
    RecordingPresenter boxes;
    Cls_XML store;
    store.SaveFilePath_Prop(QStringLiteral("/nonexistent-folder"));
    QVERIFY(!store.OnlyReadFile_bln(QStringLiteral("a.xml")));
    QVERIFY(boxes.boxes.isEmpty());

    store.MsgDisplayFlg_Prop(true);
    QVERIFY(!store.OnlyReadFile_bln(QStringLiteral("a.xml")));
    QCOMPARE(boxes.boxes.size(), 1);
    QCOMPARE(boxes.boxes[0].style, 16);
    QCOMPARE(boxes.boxes[0].title, QStringLiteral("VB Error"));
    QCOMPARE(boxes.boxes[0].prompt, QStringLiteral("53 File not found\rTavrelo"));
    QCOMPARE(CurrentError().number, 0);

    QVERIFY(!store.SaveFile_bln(QString()));
    QCOMPARE(boxes.boxes.size(), 2);
    QCOMPARE(boxes.boxes[1].style, 48);
    QCOMPARE(boxes.boxes[1].prompt, QStringLiteral("ファイル名が設定されてません。"));
    QCOMPARE(boxes.boxes[1].title, QStringLiteral("設定ミス"));
}

// The palette rewrites on a worker thread, where the item's store traps its own failures (a
// missing file stands in for them here), while the window shows an error box of its own.
void TestClsXml::trapOnWorkerThread()
{
    QTemporaryDir dir;
    std::atomic<int> read = 0;
    const QList<RecordingPresenter::Box> boxes = BoxesBesideWorker([&] {
        Cls_XML store;
        store.SaveFilePath_Prop(dir.path());
        for (int i = 0; i < 2000; ++i)
            read += store.OnlyReadFile_bln(QStringLiteral("missing.xml")) ? 1 : 0;
    });
    QCOMPARE(read, 0);
    QCOMPARE(boxes.size(), 2000);
    for (const RecordingPresenter::Box &box : boxes)
        QCOMPARE(box.prompt, QStringLiteral("6 Overflow\rTavrelo"));
}

void TestClsXml::indentLevelAtTheLimits_data()
{
    QTest::addColumn<qint32>("level");
    QTest::newRow("deepest") << std::numeric_limits<qint32>::max();
    QTest::newRow("lowest") << std::numeric_limits<qint32>::min();
}

// The level arithmetic is 32-bit: at the limits it overflows, as error 6, instead of making a
// 4 GiB indentation.
void TestClsXml::indentLevelAtTheLimits()
{
    QFETCH(qint32, level);
    RecordingPresenter boxes;
    QTemporaryDir dir;
    Cls_XML store;
    store.MsgDisplayFlg_Prop(true);
    store.SaveFilePath_Prop(dir.path());
    store.IndentLevel_Prop(level);
    store.AddItem_bln(QStringLiteral("A"), QStringLiteral("1"));
    QVERIFY(!store.SaveFile_bln(QStringLiteral("out.xml")));
    QVERIFY_THROWS_EXCEPTION(RuntimeError, store.GetFileItemAll_str());
    QCOMPARE(store.InitElement_bln(), level != std::numeric_limits<qint32>::max());
    const QString overflow = QString::number(ErrorNumber::Overflow) + u' ' + ErrorDescription(ErrorNumber::Overflow);
    QVERIFY(!boxes.boxes.isEmpty());
    for (const RecordingPresenter::Box &box : boxes.boxes)
        QVERIFY2(box.prompt.startsWith(overflow), qPrintable(box.prompt));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("out.xml"))));
}

// A writable file in a folder where no file can be made beside it is replaced in place. Root
// writes into the folder all the same, and the suite runs this as another user.
void TestClsXml::writesIntoReadOnlyFolder()
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("out.xml"));
    writeBytes(target, "previous");
    QVERIFY(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    if (QFile file(dir.filePath(QStringLiteral("probe"))); file.open(QIODevice::WriteOnly)) {
        file.remove();
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QSKIP("this user writes into a folder without write permission");
    }
    Cls_XML store;
    store.SaveFilePath_Prop(dir.path());
    store.AddItem_bln(QStringLiteral("A"), QStringLiteral("1"));
    const bool saved = store.SaveFile_bln(QStringLiteral("out.xml"));
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QVERIFY(saved);
    QVERIFY(readBytes(target).contains("<A>1</A>"));
}

QTEST_GUILESS_MAIN(TestClsXml)
#include "tst_cls_xml.moc"
