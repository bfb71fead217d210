#include "settings/SettingsReload.h"

#include "UnreadableEntry.h"

#include <QDir>
#include <QFile>
#include <QFileSystemWatcher>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <filesystem>

Q_DECLARE_METATYPE(ReloadFault)
Q_DECLARE_METATYPE(SettingsFileProblem)

namespace {

QByteArray Palette(const QString &name, const QString &data = QStringLiteral("x"))
{
    return QStringLiteral(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<myItem>\n<ColorSetting><Base>E8F0F8</Base></ColorSetting>\n"
               "<DataSetting>\n<Title>T</Title>\n<Item1><Name>%1</Name><Data>%2</Data></Item1>\n</DataSetting>\n</myItem>\n")
        .arg(name, data)
        .toUtf8();
}

bool Write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// As most editors save: a temporary file beside the file, renamed over it.
bool WriteByRename(const QString &path, const QByteArray &bytes)
{
    const QString temporary = path + QStringLiteral(".tmp~");
    std::error_code error;
    return Write(temporary, bytes) && (std::filesystem::rename(temporary.toStdString(), path.toStdString(), error), !error);
}

// Lets the file notifications that the operations so far have queued arrive and be handled.
void DeliverNotifications()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

QString NameOf(Cls_MySettingFile &settings)
{
    return settings.SetDataPrepare(0) ? settings.GetName() : QString();
}

// A reload follower of a settings file in a temporary folder, free and quick to settle.
struct Followed {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("tavrelo.xml"));
    std::unique_ptr<SettingsReload> reload;
    std::unique_ptr<QSignalSpy> reloaded;
    std::unique_ptr<QSignalSpy> refused;

    explicit Followed(const QByteArray &first = Palette(QStringLiteral("first")))
    {
        if (!first.isNull())
            Write(path, first);
        follow({path});
    }
    void follow(const QStringList &candidates)
    {
        reload = std::make_unique<SettingsReload>(candidates);
        reload->setQuietTime(20);
        reload->setBusy(false);
        reloaded = std::make_unique<QSignalSpy>(reload.get(), &SettingsReload::reloaded);
        refused = std::make_unique<QSignalSpy>(reload.get(), &SettingsReload::refused);
    }
    qsizetype outcomes() const { return reloaded->size() + refused->size(); }
    void forget()
    {
        reloaded->clear();
        refused->clear();
    }
    // Waits for the first outcome; then whatever else is queued has arrived and nothing is left.
    bool settled()
    {
        if (!QTest::qWaitFor([this] { return outcomes() > 0; }, 5000))
            return false;
        DeliverNotifications();
        return !reload->isPending();
    }
};

}

// Following the settings file: which changes lead to a reload (one, however many writes), what
// a reload refuses so that the palette keeps its buttons, and when it waits.
class TestSettingsReload : public QObject {
    Q_OBJECT

private slots:
    void judgement_data();
    void judgement();
    void unreadable_data();
    void unreadable();
    void changes_data();
    void changes();
    void unrelatedChangesAreNone_data();
    void unrelatedChangesAreNone();
    void waitsWhileBusy();
    void checkFindsWhatNoNotificationTold();
    void aFileFoundLaterIsFollowed();
    void aLinkedFileSavedByRename();
};

void TestSettingsReload::judgement_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<ReloadFault>("fault");

    const QByteArray whole = Palette(QStringLiteral("新しい"));
    const auto cutAfter = [&whole](const char *text) { return whole.left(whole.indexOf(text) + qsizetype(qstrlen(text))); };
    QTest::newRow("whole") << whole << ReloadFault::None;
    QTest::newRow("without its closing top tag") << cutAfter("</DataSetting>") << ReloadFault::None;
    QTest::newRow("without ColorSetting: black, as at start-up")
        << QByteArray(whole).replace("<ColorSetting><Base>E8F0F8</Base></ColorSetting>", "") << ReloadFault::None;
    QTest::newRow("a section without items") << QByteArray("<DataSetting>\n</DataSetting>") << ReloadFault::None;
    const QByteArray again = Palette(QStringLiteral("新しい"));
    QTest::newRow("emptied") << QByteArray("") << ReloadFault::Empty;
    QTest::newRow("cut inside an item") << again.left(again.indexOf("新しい") + 3) << ReloadFault::UnclosedDataSetting;
    QTest::newRow("cut inside the colours") << again.left(again.indexOf("E8F0F8")) << ReloadFault::UnclosedColorSetting;
    QTest::newRow("cut between the sections") << again.left(again.indexOf("<DataSetting>")) << ReloadFault::NoDataSetting;
    QTest::newRow("colours last, cut inside them")
        << QByteArray("<DataSetting><Item1><Name>a</Name></Item1></DataSetting>\n<ColorSetting><Base>E8")
        << ReloadFault::UnclosedColorSetting;
    QTest::newRow("only a declaration") << QByteArray("<?xml version=\"1.0\"?>\n") << ReloadFault::NoDataSetting;
    QTest::newRow("the section's name in another case")
        << QByteArray("<datasetting></datasetting>") << ReloadFault::NoDataSetting;
}

// What a save leaves in the file decides whether the palette takes it; the dates are those of
// the reload.
void TestSettingsReload::judgement()
{
    QFETCH(QByteArray, bytes);
    QFETCH(ReloadFault, fault);
    Followed followed;
    QVERIFY(Write(followed.path, bytes));
    QVERIFY(followed.settled());
    QCOMPARE(followed.outcomes(), 1);
    if (fault == ReloadFault::None) {
        QCOMPARE(followed.reloaded->size(), 1);
        QVERIFY(followed.reload->takeSettings());
        QVERIFY(!followed.reload->takeSettings());
        return;
    }
    QCOMPARE(followed.refused->size(), 1);
    const auto refusal = followed.refused->at(0).at(0).value<ReloadRefusal>();
    QCOMPARE(refusal.fault, fault);
    QCOMPARE(refusal.file, followed.path);
    QVERIFY(!followed.reload->takeSettings());

    // The next good save takes over, with the date of that reload.
    QVERIFY(Write(followed.path, Palette(QStringLiteral("直した"), QStringLiteral("@@@@/@@/@@"))));
    QVERIFY(QTest::qWaitFor([&] { return followed.reloaded->size() == 1; }, 5000));
    const std::unique_ptr<Cls_MySettingFile> settings = followed.reload->takeSettings();
    QCOMPARE(NameOf(*settings), QStringLiteral("直した"));
    QCOMPARE(settings->GetData(), QDate::currentDate().toString(QStringLiteral("yyyy/MM/dd")));
}

void TestSettingsReload::unreadable_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<SettingsFileProblem>("problem");

    QTest::newRow("deleted") << "missing" << SettingsFileProblem::Missing;
    QTest::newRow("a folder now") << "folder" << SettingsFileProblem::NotRegularFile;
    QTest::newRow("a FIFO now") << "fifo" << SettingsFileProblem::NotRegularFile;
    QTest::newRow("a link to /dev/zero") << "zero" << SettingsFileProblem::NotRegularFile;
    QTest::newRow("over 256 MB") << "large" << SettingsFileProblem::TooLarge;
    QTest::newRow("no permission") << "private" << SettingsFileProblem::NoPermission;
}

// A file that cannot be read is refused with its reason, and the file stays the one followed.
void TestSettingsReload::unreadable()
{
    QFETCH(QString, kind);
    QFETCH(SettingsFileProblem, problem);
    Followed followed;
    QVERIFY(QFile::remove(followed.path));
    const QString skip = MakeUnreadableEntry(followed.path, kind);
    if (!skip.isEmpty())
        QSKIP(qPrintable(skip));
    QVERIFY(followed.settled());
    QCOMPARE(followed.reloaded->size(), 0);
    QCOMPARE(followed.refused->size(), 1);
    const auto refusal = followed.refused->at(0).at(0).value<ReloadRefusal>();
    QCOMPARE(refusal.fault, ReloadFault::Unreadable);
    QCOMPARE(refusal.problem, problem);
    QCOMPARE(followed.reload->file(), followed.path);
}

void TestSettingsReload::changes_data()
{
    QTest::addColumn<QStringList>("steps");

    QTest::newRow("a save in place") << QStringList{"in place"};
    QTest::newRow("a save by rename") << QStringList{"by rename"};
    QTest::newRow("deleted and made anew") << QStringList{"delete", "in place"};
    QTest::newRow("three saves in a row") << QStringList{"in place", "by rename", "in place"};
    // Emptied, then written in two parts: the pieces never show.
    QTest::newRow("a save in pieces") << QStringList{"empty", "first half", "in place"};
    QTest::newRow("a save in place after a save by rename") << QStringList{"by rename", "settle", "in place"};
    // The old file lives on as a backup, so that no notification says it is gone from the name.
    QTest::newRow("a save in place after a save by rename that kept a hard-linked backup")
        << QStringList{"hard-linked backup", "by rename", "settle", "in place"};
    QTest::newRow("made anew after a settled delete") << QStringList{"delete", "settle", "by rename"};
}

// However the editor saves, what it wrote last is read, once.
void TestSettingsReload::changes()
{
    QFETCH(QStringList, steps);
    Followed followed;
    const QByteArray last = Palette(QStringLiteral("最後"));
    int settles = 0;
    for (const QString &step : steps) {
        if (step == QLatin1String("in place"))
            QVERIFY(Write(followed.path, last));
        else if (step == QLatin1String("by rename"))
            QVERIFY(WriteByRename(followed.path, last));
        else if (step == QLatin1String("delete"))
            QVERIFY(QFile::remove(followed.path));
        else if (step == QLatin1String("hard-linked backup")) {
            std::error_code error;
            std::filesystem::create_hard_link(followed.path.toStdString(), (followed.path + u'~').toStdString(), error);
            QVERIFY(!error);
        } else if (step == QLatin1String("empty"))
            QVERIFY(Write(followed.path, QByteArray()));
        else if (step == QLatin1String("first half"))
            QVERIFY(Write(followed.path, last.left(last.size() / 2)));
        else if (step == QLatin1String("settle")) {
            QVERIFY(followed.settled());
            ++settles;
            followed.forget();
        }
    }
    QVERIFY(settles < 2);
    QVERIFY(followed.settled());
    QCOMPARE(followed.refused->size(), 0);
    QCOMPARE(followed.reloaded->size(), 1);
    QCOMPARE(NameOf(*followed.reload->takeSettings()), QStringLiteral("最後"));
    QCOMPARE(followed.reload->file(), followed.path);
}

void TestSettingsReload::unrelatedChangesAreNone_data()
{
    QTest::addColumn<QString>("step");

    QTest::newRow("an editor's swap file beside it") << "swap";
    QTest::newRow("a backup renamed beside it") << "backup";
    QTest::newRow("read") << "read";
}

// Notifications that do not change the file lead to nothing.
void TestSettingsReload::unrelatedChangesAreNone()
{
    QFETCH(QString, step);
    Followed followed;
    if (step == QLatin1String("swap")) {
        QVERIFY(Write(followed.dir.filePath(QStringLiteral(".tavrelo.xml.swp")), "swap"));
        QVERIFY(QFile::remove(followed.dir.filePath(QStringLiteral(".tavrelo.xml.swp"))));
    } else if (step == QLatin1String("backup")) {
        QVERIFY(Write(followed.dir.filePath(QStringLiteral("t")), "backup"));
        QVERIFY(QFile::rename(followed.dir.filePath(QStringLiteral("t")), followed.path + u'~'));
    } else {
        QFile file(followed.path);
        QVERIFY(file.open(QIODevice::ReadOnly) && !file.readAll().isEmpty());
    }
    DeliverNotifications();
    QVERIFY(!followed.reload->isPending());
    followed.reload->check();
    QVERIFY(!followed.reload->isPending());
    QCOMPARE(followed.outcomes(), 0);
}

// While the palette is busy a reload that falls due waits; afterwards it runs once.
void TestSettingsReload::waitsWhileBusy()
{
    Followed followed;
    followed.reload->setBusy(true);
    QVERIFY(Write(followed.path, Palette(QStringLiteral("待った"))));
    auto *quiet = followed.reload->findChild<QTimer *>(QString(), Qt::FindDirectChildrenOnly);
    QVERIFY(quiet);
    QTRY_VERIFY(followed.reload->isPending() && !quiet->isActive());
    DeliverNotifications();
    QCOMPARE(followed.outcomes(), 0);
    followed.reload->setBusy(false);
    // Not inside the call that frees it: the palette may still be in its action.
    QCOMPARE(followed.outcomes(), 0);
    QVERIFY(followed.settled());
    QCOMPARE(followed.reloaded->size(), 1);
    QCOMPARE(NameOf(*followed.reload->takeSettings()), QStringLiteral("待った"));
}

// On a share that sends no notifications the check, run when the window is activated, finds a
// change by the size and times alone.
void TestSettingsReload::checkFindsWhatNoNotificationTold()
{
    Followed followed;
    followed.reload->findChild<QFileSystemWatcher *>()->blockSignals(true);
    QVERIFY(Write(followed.path, Palette(QStringLiteral("共有"))));
    DeliverNotifications();
    QVERIFY(!followed.reload->isPending());
    followed.reload->check();
    QVERIFY(followed.reload->isPending());
    QVERIFY(followed.settled());
    QCOMPARE(followed.reloaded->size(), 1);
    QCOMPARE(NameOf(*followed.reload->takeSettings()), QStringLiteral("共有"));
    followed.reload->check();
    QVERIFY(!followed.reload->isPending());
}

// With no file at start-up every place looked at is followed, folders not yet made included; the
// first file found is kept, also when one of higher rank appears later.
void TestSettingsReload::aFileFoundLaterIsFollowed()
{
    Followed followed{QByteArray()};
    const QString user = followed.dir.filePath(QStringLiteral("config/tavrelo/tavrelo.xml"));
    followed.follow({followed.path, user, followed.dir.filePath(QStringLiteral("system/tavrelo/tavrelo.xml"))});
    QVERIFY(followed.reload->file().isEmpty());
    QVERIFY(QDir(followed.dir.path()).mkpath(QStringLiteral("config/tavrelo")));
    DeliverNotifications();
    QVERIFY(WriteByRename(user, Palette(QStringLiteral("利用者"))));
    QVERIFY(followed.settled());
    QCOMPARE(followed.reloaded->size(), 1);
    QCOMPARE(NameOf(*followed.reload->takeSettings()), QStringLiteral("利用者"));
    QCOMPARE(followed.reload->file(), user);

    followed.forget();
    QVERIFY(Write(followed.path, Palette(QStringLiteral("横"))));
    DeliverNotifications();
    QVERIFY(!followed.reload->isPending());
    QVERIFY(QFile::remove(user));
    QVERIFY(followed.settled());
    QCOMPARE(followed.refused->size(), 1);
    QCOMPARE(followed.refused->at(0).at(0).value<ReloadRefusal>().problem, SettingsFileProblem::Missing);
    QCOMPARE(followed.reload->file(), user);
}

// A settings file that is a link into another folder (kept with other configuration files, say):
// a save by rename there counts too.
void TestSettingsReload::aLinkedFileSavedByRename()
{
    QTemporaryDir elsewhere;
    const QString real = elsewhere.filePath(QStringLiteral("palette.xml"));
    QVERIFY(Write(real, Palette(QStringLiteral("first"))));
#ifdef Q_OS_WIN
    QSKIP("a link made by Qt on Windows is a shortcut, which no program reads as the file it names");
#endif
    Followed followed{QByteArray()};
    if (!QFile::link(real, followed.path))
        QSKIP("cannot make a symbolic link");
    followed.follow({followed.path});
    QCOMPARE(followed.reload->file(), followed.path);
    QVERIFY(WriteByRename(real, Palette(QStringLiteral("リンク先"))));
    QVERIFY(followed.settled());
    QCOMPARE(followed.reloaded->size(), 1);
    QCOMPARE(NameOf(*followed.reload->takeSettings()), QStringLiteral("リンク先"));
}

QTEST_GUILESS_MAIN(TestSettingsReload)
#include "tst_settingsreload.moc"
