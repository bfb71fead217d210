#include "settings/SettingsLocations.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The rows' absolute paths are Unix paths; on Windows they stand on the system drive.
QString OnThisSystem(const QString &path)
{
    return QDir::rootPath() + path.mid(1);
}

QStringList OnThisSystem(QStringList paths)
{
    for (QString &path : paths)
        path = OnThisSystem(path);
    return paths;
}

}

class TestSettingsLocations : public QObject {
    Q_OBJECT

private slots:
    void candidates_data();
    void candidates();
    void installationFolders_data();
    void installationFolders();
    void desktopFolders();
    void findSettingsFile_data();
    void findSettingsFile();
};

void TestSettingsLocations::candidates_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("baseName");
    QTest::addColumn<QStringList>("configFolders");
    QTest::addColumn<QStringList>("installed");
    QTest::addColumn<QStringList>("expected");

    const QStringList desktop{"/home/u/.config", "/etc/xdg"};
    QTest::newRow("beside, user, system, then the installation's own")
        << "/opt/t/bin"
        << "tavrelo" << desktop << QStringList{"../etc/xdg"}
        << QStringList{"/opt/t/bin/tavrelo.xml", "/home/u/.config/tavrelo/tavrelo.xml", "/etc/xdg/tavrelo/tavrelo.xml",
                       "/opt/t/etc/xdg/tavrelo/tavrelo.xml"};
    QTest::newRow("a renamed copy reads its own name everywhere")
        << "/home/u/bin"
        << "mypalette" << desktop << QStringList{"../etc/xdg"}
        << QStringList{"/home/u/bin/mypalette.xml", "/home/u/.config/mypalette/mypalette.xml", "/etc/xdg/mypalette/mypalette.xml",
                       "/home/u/etc/xdg/mypalette/mypalette.xml"};
    QTest::newRow("installed into /usr: /etc/xdg named once")
        << "/usr/bin"
        << "tavrelo" << desktop << QStringList{"../../etc/xdg"}
        << QStringList{"/usr/bin/tavrelo.xml", "/home/u/.config/tavrelo/tavrelo.xml", "/etc/xdg/tavrelo/tavrelo.xml"};
    QTest::newRow("several system folders keep their order, trailing separators dropped")
        << "/opt/t/bin/"
        << "tavrelo" << QStringList{"/home/u/.config/", "/etc/xdg/site", "/etc/xdg"} << QStringList{}
        << QStringList{"/opt/t/bin/tavrelo.xml", "/home/u/.config/tavrelo/tavrelo.xml", "/etc/xdg/site/tavrelo/tavrelo.xml",
                       "/etc/xdg/tavrelo/tavrelo.xml"};
    QTest::newRow("program at the root") << "/"
                                         << "tavrelo" << QStringList{} << QStringList{} << QStringList{"/tavrelo.xml"};
    QTest::newRow("a program inside its own configuration folder: one file named once")
        << "/etc/xdg/tavrelo"
        << "tavrelo" << QStringList{"/etc/xdg/tavrelo/.."} << QStringList{} << QStringList{"/etc/xdg/tavrelo/tavrelo.xml"};
    // The Debian package of a build configured for ~/.local: the configured layout finds nothing,
    // the package's example is in /etc/xdg, named last even when the desktop leaves it out.
    QTest::newRow("packaged from a build for another prefix")
        << "/usr/bin"
        << "tavrelo" << QStringList{"/home/u/.config", "/etc/xdg/site"} << QStringList{"../etc/xdg", "/etc/xdg"}
        << QStringList{"/usr/bin/tavrelo.xml", "/home/u/.config/tavrelo/tavrelo.xml", "/etc/xdg/site/tavrelo/tavrelo.xml",
                       "/usr/etc/xdg/tavrelo/tavrelo.xml", "/etc/xdg/tavrelo/tavrelo.xml"};
}

void TestSettingsLocations::candidates()
{
    QFETCH(QString, folder);
    QFETCH(QString, baseName);
    QFETCH(QStringList, configFolders);
    QFETCH(QStringList, installed);
    QFETCH(QStringList, expected);
    QStringList native;
    for (const QString &path : OnThisSystem(expected))
        native.append(QDir::toNativeSeparators(path));
    QStringList installedHere;
    for (const QString &path : installed)
        installedHere.append(path.startsWith(u'/') ? OnThisSystem(path) : path);
    QCOMPARE(SettingsFileCandidates(OnThisSystem(folder), baseName, OnThisSystem(configFolders), installedHere), native);
}

void TestSettingsLocations::installationFolders_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("configured");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("configured for /usr, in /usr/bin") << "/usr/bin"
                                                      << "../../etc/xdg" << QStringList{"../../etc/xdg", "/etc/xdg"};
    QTest::newRow("configured for ~/.local, packaged into /usr/bin") << "/usr/bin"
                                                                     << "../etc/xdg" << QStringList{"../etc/xdg", "/etc/xdg"};
    QTest::newRow("the package's folder written otherwise") << "/usr/bin/"
                                                            << "../etc/xdg" << QStringList{"../etc/xdg", "/etc/xdg"};
    QTest::newRow("installed into ~/.local") << "/home/u/.local/bin"
                                             << "../etc/xdg" << QStringList{"../etc/xdg"};
    QTest::newRow("a copy in /usr/local/bin") << "/usr/local/bin"
                                              << "../etc/xdg" << QStringList{"../etc/xdg"};
    QTest::newRow("a folder below /usr/bin") << "/usr/bin/x"
                                             << "../etc/xdg" << QStringList{"../etc/xdg"};
}

// The package's /usr/bin is told apart by the folder itself; what the build was configured
// for always stays first.
void TestSettingsLocations::installationFolders()
{
    QFETCH(QString, folder);
    QFETCH(QString, configured);
    QFETCH(QStringList, expected);
    QCOMPARE(InstallationConfigFolders(folder, configured, QStringLiteral("/usr/bin"), QStringLiteral("/etc/xdg")), expected);
}

// The user's folder, then the system's, as the desktop's variables name them.
void TestSettingsLocations::desktopFolders()
{
#ifdef Q_OS_UNIX
    QTemporaryDir root;
    const QString home = root.filePath(QStringLiteral("home"));
    const QString site = root.filePath(QStringLiteral("site"));
    const QString system = root.filePath(QStringLiteral("system"));
    qputenv("XDG_CONFIG_HOME", home.toLocal8Bit());
    qputenv("XDG_CONFIG_DIRS", (site + u':' + system).toLocal8Bit());
    const QStringList candidates = SettingsFileCandidates(QStringLiteral("/opt/t/bin"), QStringLiteral("tavrelo"));
    QCOMPARE(candidates.mid(0, 4), (QStringList{"/opt/t/bin/tavrelo.xml", home + "/tavrelo/tavrelo.xml",
                                                site + "/tavrelo/tavrelo.xml", system + "/tavrelo/tavrelo.xml"}));
    // The installation's own folder comes last.
    QCOMPARE(candidates.size(), 5);
    QVERIFY(candidates.last().endsWith(QStringLiteral("/tavrelo/tavrelo.xml")));
#else
    QSKIP("the desktop's configuration folders are set through XDG variables on Unix only");
#endif
}

void TestSettingsLocations::findSettingsFile_data()
{
    QTest::addColumn<QList<int>>("files"); // which candidates exist as files
    QTest::addColumn<QList<int>>("folders"); // which exist as folders
    QTest::addColumn<int>("found");

    QTest::newRow("none") << QList<int>{} << QList<int>{} << -1;
    QTest::newRow("only the user's") << QList<int>{1} << QList<int>{} << 1;
    QTest::newRow("user's before system's") << QList<int>{1, 2} << QList<int>{} << 1;
    QTest::newRow("beside the program wins") << QList<int>{0, 1, 2} << QList<int>{} << 0;
    QTest::newRow("a folder of that name is passed over") << QList<int>{2} << QList<int>{0, 1} << 2;
}

void TestSettingsLocations::findSettingsFile()
{
    QFETCH(QList<int>, files);
    QFETCH(QList<int>, folders);
    QFETCH(int, found);
    QTemporaryDir root;
    const QStringList candidates{root.filePath("bin/tavrelo.xml"), root.filePath("home/tavrelo/tavrelo.xml"),
                                 root.filePath("etc/tavrelo/tavrelo.xml")};
    for (int i : files) {
        QVERIFY(QDir().mkpath(QFileInfo(candidates[i]).absolutePath()));
        QFile file(candidates[i]);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    for (int i : folders)
        QVERIFY(QDir().mkpath(candidates[i]));
    QCOMPARE(FindSettingsFile(candidates), candidates.value(found));
}

QTEST_GUILESS_MAIN(TestSettingsLocations)
#include "tst_settingslocations.moc"
