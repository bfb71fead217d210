#include "RecordingPresenter.h"
#include "UnreadableEntry.h"
#include "services/mdl_All.h"
#include "settings/SettingsLocations.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// Start-up's loading of the settings file: anything but a readable regular file up to the cap is
// refused at once, and the one box names the reason.
class TestSettingsLoad : public QObject {
    Q_OBJECT

private slots:
    void refused_data();
    void refused();
};

void TestSettingsLoad::refused_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason"); // the box's first line

    QTest::newRow("missing") << "missing"
                             << "以下のファイルがみあたりません";
    QTest::newRow("folder") << "folder"
                            << "以下は通常のファイルではないため、読み込みませんでした";
    QTest::newRow("FIFO") << "fifo"
                          << "以下は通常のファイルではないため、読み込みませんでした";
    QTest::newRow("link to /dev/zero") << "zero"
                                       << "以下は通常のファイルではないため、読み込みませんでした";
    QTest::newRow("over 256 MB") << "large"
                                 << "以下のファイルは 256 MB を超えるため、読み込みませんでした";
    QTest::newRow("no permission") << "private"
                                   << "以下のファイルを読む権限がありません";
}

void TestSettingsLoad::refused()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    QTemporaryDir folder;
    AppPath = folder.path();
    ExeName = QStringLiteral("tavrelo");
    const QString path = SettingsFileCandidates(AppPath, ExeName).first();
    const QString skip = MakeUnreadableEntry(path, kind);
    if (!skip.isEmpty())
        QSKIP(qPrintable(skip));

    RecordingPresenter presenter;
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!LoadSettings());
    QVERIFY(timer.elapsed() < 5000);
    QVERIFY(Settings);
    QCOMPARE(presenter.boxes.size(), 1);
    QCOMPARE(presenter.boxes[0].style, MsgBox::Information);
    // A missing file lists the configuration folders looked at after it.
    QVERIFY2(presenter.boxes[0].prompt.startsWith(reason + QStringLiteral("\r\n『%1』").arg(path)),
             qPrintable(presenter.boxes[0].prompt));
}

QTEST_MAIN(TestSettingsLoad)
#include "tst_settingsload.moc"
