#include "PaletteFixture.h"
#include "settings/SettingsLocations.h"
#include "settings/SettingsReload.h"
#include "ui/ButtonLabel.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFileSystemWatcher>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

#include <filesystem>

namespace {

QString Version()
{
    return QStringLiteral(" ver%1.%2.%3").arg(TAVRELO_VERSION_MAJOR).arg(TAVRELO_VERSION_MINOR).arg(TAVRELO_VERSION_PATCH);
}

// The file as the fixture writes it.
QByteArray FileText(const QString &data, const QString &colors = PaletteFixture::Colors)
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<myItem><ColorSetting>%1</ColorSetting>"
                          "<DataSetting>%2</DataSetting></myItem>\n")
        .arg(colors, data)
        .toUtf8();
}

// As most editors save: a temporary file renamed over the file.
bool SaveByRename(const QString &path, const QByteArray &bytes)
{
    const QString temporary = path + QStringLiteral(".tmp~");
    QFile file(temporary);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return false;
    file.close();
    std::error_code error;
    std::filesystem::rename(temporary.toStdString(), path.toStdString(), error);
    return !error;
}

bool SaveInPlace(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QPoint OuterBottomRight(const QWidget *window)
{
    const QRect outer = window->frameGeometry();
    return QPoint(outer.x() + outer.width(), outer.y() + outer.height());
}

}

// The palette following its settings file: a reload rebuilds the buttons, caption, link and
// colours in place, a refused one keeps them and says so once in the window, a reload waits for
// a running action, and activating the window checks a file that sends no notifications.
class TestPaletteReload : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void rebuiltInPlace_data();
    void rebuiltInPlace();
    void refusedKeepsTheButtons_data();
    void refusedKeepsTheButtons();
    void waitsForTheRunningAction();
    void activationChecksTheFile();
    void aFileMadeAfterStartUp();

private:
    // Loads data as start-up does, follows the file and shows the window.
    bool start(const QString &data, const QString &colors = PaletteFixture::Colors)
    {
        if (!palette.load(data, colors))
            return false;
        reload = std::make_unique<SettingsReload>(SettingsFileCandidates(palette.dir.path(), QStringLiteral("tavrelo")));
        reload->setQuietTime(20);
        palette.window->FollowSettings(reload.get());
        return palette.show();
    }
    // The tag and caption of every button shown, in order.
    QStringList shownButtons() const
    {
        QStringList shown;
        for (int i = 0;; ++i) {
            auto *button = palette.control<ButtonLabel>(QStringLiteral("Lbl_Button_%1").arg(i));
            if (!button || !button->isVisibleTo(palette.window.get()))
                return shown;
            shown << button->property("tag").toString() + ' ' + button->text();
        }
    }
    QLabel *notice() const { return palette.control<QLabel>(QStringLiteral("Lbl_Notice")); }
    bool isNoticeShown() const { return notice() && notice()->isVisibleTo(palette.window.get()); }

    std::unique_ptr<RecordingPresenter> presenter;
    PaletteFixture palette;
    std::unique_ptr<SettingsReload> reload;
};

void TestPaletteReload::init()
{
    presenter = std::make_unique<RecordingPresenter>();
}

void TestPaletteReload::cleanup()
{
    // No box, ever: what a reload has to say stands in the window.
    QVERIFY2(presenter->boxes.isEmpty(), qPrintable(presenter->boxes.value(0).prompt));
    palette.window.reset();
    reload.reset();
    presenter.reset();
}

void TestPaletteReload::rebuiltInPlace_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("colors"); // after
    QTest::addColumn<bool>("byRename");
    QTest::addColumn<QStringList>("buttons");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("firstText"); // what the first button puts on the clipboard

    const QString two = PaletteFixture::Named(1, "一") + PaletteFixture::Named(3, "三");
    const QString today = QDate::currentDate().toString(QStringLiteral("yyyy/MM/dd"));
    QTest::newRow("a button more, by rename")
        << two << two + PaletteFixture::Item(5, "<Name>五</Name><Data>@@@@/@@/@@</Data>") << PaletteFixture::Colors << true
        << QStringList{"0 一", "2 三", "4 五"} << "Tavrelo" << QString() << "x";
    QTest::newRow("fewer buttons, in place")
        << two + PaletteFixture::Named(7, "七") << PaletteFixture::Item(2, "<Name>日付</Name><Data>@@@@/@@/@@</Data>")
        << PaletteFixture::Colors << false << QStringList{"1 日付"} << "Tavrelo" << QString() << today;
    QTest::newRow("no buttons left") << two << "<Title>空</Title>" << PaletteFixture::Colors << false << QStringList{} << "空"
                                     << QString() << QString();
    QTest::newRow("caption, version and link come and go")
        << two + "<Title>前</Title><Link>https://example.com/old</Link>"
        << "<Title>後</Title><Version>true</Version><Link>https://example.com/new</Link>" + two
        << "<Base>102030</Base><Title>405060</Title><Label>708090</Label><Back>A0B0C0</Back>" << true
        << QStringList{"0 一", "2 三"} << "後" + Version() << "https://example.com/new"
        << "x";
    QTest::newRow("the link goes") << two + "<Link>https://example.com/old</Link>" << two << PaletteFixture::Colors << false
                                   << QStringList{"0 一", "2 三"} << "Tavrelo" << QString() << "x";
}

// The window is rebuilt in place: its corner and keep-on-top state stay, the buttons stack from
// the template as at start-up, and their clicks use the new settings.
void TestPaletteReload::rebuiltInPlace()
{
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(QString, colors);
    QFETCH(bool, byRename);
    QFETCH(QStringList, buttons);
    QFETCH(QString, caption);
    QFETCH(QString, link);
    QFETCH(QString, firstText);
    QVERIFY(start(before));
    QWidget *window = palette.window.get();
    auto *check = palette.control<QCheckBox>(QStringLiteral("Chk_Most"));
    QTest::mouseClick(check, Qt::LeftButton);
    QVERIFY(window->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    // Moved away from where it was placed: it stays where the user put it.
    window->move(window->pos() - QPoint(200, 100));
    const QPoint corner = OuterBottomRight(window);

    const QString file = palette.file();
    QSignalSpy reloaded(reload.get(), &SettingsReload::reloaded);
    QVERIFY(byRename ? SaveByRename(file, FileText(after, colors)) : SaveInPlace(file, FileText(after, colors)));
    QVERIFY(reloaded.wait(5000));
    QCOMPARE(shownButtons(), buttons);

    const int count = int(buttons.size());
    for (int i = 0; i < count; ++i)
        QCOMPARE(palette.control(QStringLiteral("Lbl_Button_%1").arg(i))->geometry(), QRect(12, 44 + 15 * i, 163, 15));
    // Members past the buttons are gone; the template stays, hidden, when there are none.
    QVERIFY(!palette.control(QStringLiteral("Lbl_Button_%1").arg(qMax(count, 1))));
    QVERIFY(palette.control(QStringLiteral("Lbl_Button_0")));
    QCOMPARE(window->windowTitle(), caption);
    auto *linkLabel = palette.control(QStringLiteral("Lbl_ButtonLink"));
    QCOMPARE(linkLabel->isVisibleTo(window), !link.isEmpty());
    QCOMPARE(linkLabel->property("tag").toString(), link);
    QCOMPARE(window->height(), 66 + 15 * (count - 1));
    QCOMPARE(palette.control(QStringLiteral("Fra_Items_0"))->height(), 65 + 15 * (count - 1));
    QCOMPARE(OuterBottomRight(window), corner);
    QVERIFY(check->isChecked());
    QVERIFY(window->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(!isNoticeShown());

    // The colours are the file's now, on the members made anew too.
    const auto color = [&](const QString &name, QPalette::ColorRole role) {
        return palette.control(name)->palette().color(role);
    };
    const QString lastButton = QStringLiteral("Lbl_Button_%1").arg(qMax(count - 1, 0));
    if (colors != PaletteFixture::Colors) {
        QCOMPARE(window->palette().color(QPalette::Window), QColor(0x102030u));
        QCOMPARE(color("Fra_Items_0", QPalette::WindowText), QColor(0x405060u));
        QCOMPARE(color(lastButton, QPalette::WindowText), QColor(0x708090u));
        QCOMPARE(color(lastButton, QPalette::Window), QColor(0xA0B0C0u));
    } else {
        QCOMPARE(color(lastButton, QPalette::WindowText), QColor(0x0000C0u));
    }

    if (count > 0) {
        QGuiApplication::clipboard()->setText(QStringLiteral("given"));
        QTest::mouseClick(palette.control(QStringLiteral("Lbl_Button_0")), Qt::LeftButton);
        QCOMPARE(QGuiApplication::clipboard()->text(), firstText);
    }
}

void TestPaletteReload::refusedKeepsTheButtons_data()
{
    QTest::addColumn<QByteArray>("broken");
    QTest::addColumn<QString>("reason"); // in the notice's tooltip

    const QByteArray whole = FileText(PaletteFixture::Named(1, "新しい") + PaletteFixture::Named(2, "もう一つ"));
    QTest::newRow("half written") << whole.left(whole.indexOf("もう一つ")) << "</DataSetting> がありません";
    QTest::newRow("emptied") << QByteArray("") << "空です";
    QTest::newRow("lost its section") << QByteArray("<myItem><ColorSetting></ColorSetting></myItem>")
                                      << "<DataSetting> がありません";
    QTest::newRow("deleted") << QByteArray() << "みあたりません";
}

// A broken save keeps the buttons, which go on working, and one notice below them says why; a
// second broken save changes nothing more; the next good save takes over.
void TestPaletteReload::refusedKeepsTheButtons()
{
    QFETCH(QByteArray, broken);
    QFETCH(QString, reason);
    const QStringList kept{"0 一", "2 三"};
    QVERIFY(start(PaletteFixture::Item(1, "<Name>一</Name><Data>まだ使える</Data>") + PaletteFixture::Named(3, "三")));
    QWidget *window = palette.window.get();
    const QPoint corner = OuterBottomRight(window);
    const int height = window->height();
    const QString file = palette.file();

    QVERIFY(broken.isNull() ? QFile::remove(file) : SaveInPlace(file, broken));
    QTRY_VERIFY(isNoticeShown());
    QCOMPARE(shownButtons(), kept);
    QCOMPARE(notice()->text(), QStringLiteral("！設定を読み直せません"));
    QVERIFY2(notice()->toolTip().contains(reason) && notice()->toolTip().contains(QDir::toNativeSeparators(file)),
             qPrintable(notice()->toolTip()));
    QCOMPARE(notice()->geometry(), QRect(12, 44 + 15 * 2, 163, 15));
    QCOMPARE(window->height(), height + 15);
    QCOMPARE(OuterBottomRight(window), corner);
    QGuiApplication::clipboard()->setText(QStringLiteral("given"));
    QTest::mouseClick(palette.control(QStringLiteral("Lbl_Button_0")), Qt::LeftButton);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("まだ使える"));

    QSignalSpy refused(reload.get(), &SettingsReload::refused);
    QVERIFY(SaveInPlace(file, "<myItem>"));
    QVERIFY(refused.wait(5000));
    QCOMPARE(window->height(), height + 15);
    QCOMPARE(shownButtons(), kept);
    QVERIFY(notice()->toolTip().contains(QStringLiteral("<DataSetting> がありません")));

    QVERIFY(SaveByRename(file, FileText(PaletteFixture::Named(4, "直った"))));
    QTRY_COMPARE(shownButtons(), QStringList{"3 直った"});
    QVERIFY(!isNoticeShown());
    QCOMPARE(window->height(), 66);
    QCOMPARE(OuterBottomRight(window), corner);
}

// A save while an action runs is taken once the action has ended; here it is stopped with 中止.
void TestPaletteReload::waitsForTheRunningAction()
{
    QVERIFY(start(PaletteFixture::Item(1, "<Name>長い</Name><Reg>(\\w+)\\s*=\\s*\\1!</Reg>")));
    QGuiApplication::clipboard()->setText(QString(150'000, u'a') + QStringLiteral("=!"));
    QTimer::singleShot(50, palette.window.get(),
                       [this] { QVERIFY(SaveByRename(palette.file(), FileText(PaletteFixture::Named(1, "後")))); });
    QStringList duringAction;
    QTimer poll;
    poll.setInterval(20);
    connect(&poll, &QTimer::timeout, palette.window.get(), [&] {
        auto *progress = qobject_cast<QProgressDialog *>(QApplication::activeModalWidget());
        if (!progress || !progress->isVisible())
            return;
        poll.stop();
        // Half a second after the click: the save is long quiet, and still waits.
        duringAction = shownButtons();
        QVERIFY(reload->isPending());
        QTest::mouseClick(progress->findChild<QPushButton *>(), Qt::LeftButton);
    });
    poll.start();
    QTest::mouseClick(palette.control(QStringLiteral("Lbl_Button_0")), Qt::LeftButton);
    poll.stop();
    QCOMPARE(duringAction, QStringList{"0 長い"});
    QTRY_COMPARE(shownButtons(), QStringList{"0 後"});
}

// On a share that sends no notifications, activating the window finds the saved change.
void TestPaletteReload::activationChecksTheFile()
{
    QVERIFY(start(PaletteFixture::Named(1, "前")));
    reload->findChild<QFileSystemWatcher *>()->blockSignals(true);
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QVERIFY(SaveInPlace(palette.file(), FileText(PaletteFixture::Named(1, "共有"))));
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    QVERIFY(!reload->isPending());
    QCOMPARE(shownButtons(), QStringList{"0 前"});
    palette.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(palette.window.get()));
    QTRY_COMPARE(shownButtons(), QStringList{"0 共有"});
}

// Started without a settings file (after the one box that says so), the palette takes the file
// once it is made.
void TestPaletteReload::aFileMadeAfterStartUp()
{
    QFile::remove(palette.file());
    QVERIFY(start(QString()));
    QCOMPARE(presenter->boxes.size(), 1);
    presenter->boxes.clear();
    QCOMPARE(shownButtons(), QStringList{});
    QVERIFY(SaveByRename(palette.file(), FileText(PaletteFixture::Named(2, "できた") + "<Title>新</Title>")));
    QTRY_COMPARE(shownButtons(), QStringList{"1 できた"});
    QCOMPARE(palette.window->windowTitle(), QStringLiteral("新"));
}

QTEST_MAIN(TestPaletteReload)
#include "tst_palette_reload.moc"
