#include "platform/NativeForeground.h"

#include <QGuiApplication>
#include <QProcess>
#include <QWidget>
#include <QtTest>

// A second start brings the running palette to the front: the window comes back from the task
// bar and becomes the active one. Only a window of the process named counts, as handles are
// reused. Runs on a real desktop (a virtual X display with openbox; wine's own under wine), where
// every row can fail.
class TestForeground : public QObject {
    Q_OBJECT

private slots:
    void bringToFront_data();
    void bringToFront();
};

namespace {

// Whether the window manager has taken the window down to the task bar (X11: its state says
// hidden); elsewhere the toolkit's state tells it.
bool IsIconified(QWidget &window)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return window.isMinimized();
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"),
                {QStringLiteral("-id"), QString::number(window.winId()), QStringLiteral("_NET_WM_STATE")});
    return xprop.waitForFinished() && xprop.readAllStandardOutput().contains("_NET_WM_STATE_HIDDEN");
}

}

void TestForeground::bringToFront_data()
{
    QTest::addColumn<bool>("isOwnWindow");
    QTest::addColumn<qint64>("pidOffset"); // from this process's id
    QTest::addColumn<bool>("isBrought");

    QTest::newRow("this process's window") << true << qint64(0) << true;
    QTest::newRow("another process's id") << true << qint64(1) << false;
    QTest::newRow("no window") << false << qint64(0) << false;
}

void TestForeground::bringToFront()
{
    QFETCH(bool, isOwnWindow);
    QFETCH(qint64, pidOffset);
    QFETCH(bool, isBrought);
    QWidget window;
    window.setWindowTitle(QStringLiteral("tst_foreground"));
    window.resize(200, 100);
    window.showMinimized();
    QTRY_VERIFY(IsIconified(window));

    const std::uintptr_t handle = isOwnWindow ? std::uintptr_t(window.winId()) : 0;
    QCOMPARE(NativeForeground::BringToFront(handle, QCoreApplication::applicationPid() + pidOffset), isBrought);
    if (isBrought) {
        QTRY_VERIFY(!IsIconified(window));
        QTRY_VERIFY(window.isActiveWindow());
    } else {
        // Nothing is to happen: give the window manager the time it took above to act.
        QTest::qWait(500);
        QVERIFY(IsIconified(window));
        QVERIFY(!window.isActiveWindow());
    }
}

QTEST_MAIN(TestForeground)
#include "tst_foreground.moc"
