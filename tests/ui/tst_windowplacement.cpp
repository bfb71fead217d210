#include "ui/WindowPlacement.h"

#include <QtTest>

// Where the palette goes while the desktop tells its frame and the window's place in its own
// time: the outer frame's bottom-right corner 7 px from the right and 60 px from the bottom of
// the screen, following the frame until the user moves the window, and never after that.
class TestWindowPlacement : public QObject {
    Q_OBJECT
private slots:
    void decisions_data();
    void decisions();
};

namespace {

constexpr int ScrollBar = 17;
const QRect Screen(0, 0, 1280, 1024);

}

void TestWindowPlacement::decisions_data()
{
    QTest::addColumn<QRect>("screen");
    // One step a line: "frame L T R B", "reframed", "place [HEIGHT]", "told X Y" (the place a
    // report names), "report X Y" (where the window stands when it is read); a step that
    // answers whether to place again ends with "= 1" or "= 0".
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QRect>("inside");
    QTest::addColumn<bool>("isFollowing");
    QTest::addColumn<bool>("isScrolling");

    // The corner of a 1280 x 1024 screen is 1273, 964; the inside is 184 x 66.
    QTest::newRow("no frame told") << Screen << QStringList{"place"} << QRect(1089, 898, 184, 66) << true << false;
    QTest::newRow("thin frame known before mapping")
        << Screen << QStringList{"frame 1 20 1 1 = 1", "place"} << QRect(1088, 897, 184, 66) << true << false;
    QTest::newRow("thick frame known before mapping")
        << Screen << QStringList{"frame 8 34 8 8 = 1", "place"} << QRect(1081, 890, 184, 66) << true << false;
    QTest::newRow("thick frame told after mapping")
        << Screen << QStringList{"place", "report 1089 898 = 0", "frame 8 34 8 8 = 1", "place", "report 1081 890 = 0"}
        << QRect(1081, 890, 184, 66) << true << false;
    QTest::newRow("an earlier, partial frame is followed by the final one")
        << Screen << QStringList{"frame 8 34 8 19 = 1", "place", "frame 8 34 8 8 = 1", "place"} << QRect(1081, 890, 184, 66)
        << true << false;
    QTest::newRow("the same frame told again moves nothing")
        << Screen << QStringList{"frame 8 34 8 8 = 1", "place", "report 1081 890 = 0", "frame 8 34 8 8 = 0", "place"}
        << QRect(1081, 890, 184, 66) << true << false;
    QTest::newRow("a late report of an earlier request is not the user's")
        << Screen
        << QStringList{"place", "frame 1 20 1 1 = 1", "place", "report 1089 898 = 0", "report 1088 897 = 0", "frame 8 34 8 8 = 1",
                       "place"}
        << QRect(1081, 890, 184, 66) << true << false;
    QTest::newRow("a report of the last request answers the earlier ones too")
        << Screen << QStringList{"place", "frame 1 20 1 1 = 1", "place", "report 1088 897 = 0", "report 300 200 = 0", "place"}
        << QRect(300, 200, 184, 66) << false << false;
    QTest::newRow("the user's move ends the following")
        << Screen
        << QStringList{"frame 1 20 1 1", "place", "report 1088 897", "report 300 200 = 0", "frame 8 34 8 8 = 0", "place"}
        << QRect(300, 200, 184, 66) << false << false;
    QTest::newRow("after the user's move the window grows upwards from where it was left")
        << Screen << QStringList{"place", "report 1089 898", "report 300 200", "place 81"} << QRect(300, 185, 184, 81) << false
        << false;
    QTest::newRow("a second move by the user is kept too")
        << Screen
        << QStringList{"place", "report 1089 898", "report 300 200", "place 81", "report 300 185", "report 10 20 = 0", "place 66"}
        << QRect(10, 35, 184, 66) << false << false;
    QTest::newRow("a report of the window where it stands is no move")
        << Screen << QStringList{"place", "report 1089 898", "report 1089 898 = 0", "frame 8 34 8 8 = 1", "place"}
        << QRect(1081, 890, 184, 66) << true << false;
    // openbox tells the new frame's size at the frame's old place before it tells the frame.
    QTest::newRow("a move while a new frame waits for its placement is not the user's")
        << Screen
        << QStringList{"frame 1 20 1 1", "place", "report 1088 897", "frame 8 34 8 8 = 1", "report 1095 911 = 0", "place"}
        << QRect(1081, 890, 184, 66) << true << false;
    // openbox drops the handle at the bottom once it reads that the window is not to be resized,
    // maybe while the user moves the window.
    QTest::newRow("the user's move while a changed frame waits for its placement")
        << Screen
        << QStringList{"frame 1 20 1 5", "place", "report 1088 893", "frame 1 20 1 1 = 1", "report 300 200 = 0", "place"}
        << QRect(300, 200, 184, 66) << false << false;
    QTest::newRow("a window manager taking the window over is not the user")
        << Screen << QStringList{"place", "report 1089 898", "reframed = 1", "report 0 0 = 0", "frame 8 34 8 8 = 1", "place"}
        << QRect(1081, 890, 184, 66) << true << false;
    QTest::newRow("moved elsewhere while a request is on its way: asked once more")
        << Screen
        << QStringList{"place", "report 0 0 = 1", "report 5 5 = 0", "place", "report 1089 898 = 0", "frame 8 34 8 8 = 1", "place"}
        << QRect(1081, 890, 184, 66) << true << false;
    // Read late, the report of the palette's own request finds the window where the user has
    // moved it since: the place it names answers the request, and the move is the user's.
    QTest::newRow("a request's report read after the user's move")
        << Screen << QStringList{"place",         "report 1089 898",    "frame 1 20 1 1 = 1", "place",
                                 "told 1088 897", "report 300 200 = 0", "frame 8 34 8 8 = 0", "place"}
        << QRect(300, 200, 184, 66) << false << false;
    QTest::newRow("a request's report read at once")
        << Screen << QStringList{"place", "told 1089 898", "report 1089 898 = 0", "frame 8 34 8 8 = 1",
                                 "place", "told 1081 890", "report 1081 890 = 0"}
        << QRect(1081, 890, 184, 66) << true << false;
    QTest::newRow("a report that names a place never asked answers nothing")
        << Screen << QStringList{"frame 1 20 1 1",      "place", "report 1088 897", "frame 8 34 8 8 = 1", "told 1095 911",
                                 "report 1095 911 = 0", "place", "told 0 0",        "report 0 0 = 1",     "told 5 5",
                                 "report 5 5 = 0"}
        << QRect(1081, 890, 184, 66) << true << false;
    QTest::newRow("asking for the place it stands at awaits no report")
        << Screen << QStringList{"place", "report 1089 898", "place", "report 300 200 = 0", "place"} << QRect(300, 200, 184, 66)
        << false << false;
    QTest::newRow("the user's move while a frame waits for its placement: the placement comes first")
        << Screen << QStringList{"place",           "report 1089 898",  "frame 8 34 8 8 = 1", "place",
                                 "report 1081 890", "report 40 50 = 0", "frame 1 20 1 1 = 0", "place"}
        << QRect(40, 50, 184, 66) << false << false;
    QTest::newRow("a frame taken away is followed")
        << Screen << QStringList{"frame 8 34 8 8", "place", "report 1081 890", "frame 0 0 0 0 = 1", "place"}
        << QRect(1089, 898, 184, 66) << true << false;
    QTest::newRow("a second screen to the right")
        << QRect(1280, 0, 1920, 1080) << QStringList{"frame 8 34 8 8", "place"}
        << QRect(1280 + 1920 - 7 - 8 - 184, 1080 - 60 - 8 - 66, 184, 66) << true << false;
    QTest::newRow("taller than the screen: the caption bar stays on it, the rest scrolls")
        << Screen << QStringList{"frame 8 34 8 8", "place 1500"}
        << QRect(1273 - 8 - 184 - ScrollBar, 34, 184 + ScrollBar, 964 - 42) << true << true;
    QTest::newRow("exactly as tall as the room does not scroll")
        << Screen << QStringList{"frame 8 34 8 8", "place 922"} << QRect(1081, 34, 184, 922) << true << false;
}

void TestWindowPlacement::decisions()
{
    QFETCH(QRect, screen);
    QFETCH(QStringList, steps);
    QFETCH(QRect, inside);
    QFETCH(bool, isFollowing);
    QFETCH(bool, isScrolling);

    WindowPlacement placement;
    placement.setScreen(screen);
    WindowPlacement::Decision decision;
    for (const QString &step : std::as_const(steps)) {
        const QStringList sides = step.split(QLatin1Char('='));
        const QStringList words = sides[0].simplified().split(QLatin1Char(' '));
        const auto number = [&words](int i) { return words.value(i).toInt(); };
        bool isPlacedAgain = false;
        if (words[0] == QLatin1String("frame")) {
            isPlacedAgain = placement.setFrame(QMargins(number(1), number(2), number(3), number(4)));
        } else if (words[0] == QLatin1String("reframed")) {
            isPlacedAgain = placement.reframed();
        } else if (words[0] == QLatin1String("told")) {
            placement.told(QPoint(number(1), number(2)));
        } else if (words[0] == QLatin1String("report")) {
            isPlacedAgain = placement.reported(QPoint(number(1), number(2)));
        } else if (words[0] == QLatin1String("place")) {
            decision = placement.place(QSize(184, words.size() > 1 ? number(1) : 66), ScrollBar);
        } else {
            QFAIL(qPrintable(QStringLiteral("unknown step: ") + step));
        }
        if (sides.size() > 1)
            QVERIFY2(isPlacedAgain == bool(sides[1].trimmed().toInt()), qPrintable(step));
    }
    QCOMPARE(decision.inside, inside);
    QCOMPARE(decision.isScrolling, isScrolling);
    QCOMPARE(placement.isFollowing(), isFollowing);
    // The outer frame's corner is where the placement keeps it.
    const QMargins frame = placement.frame();
    QCOMPARE(QPoint(inside.x() + inside.width() + frame.right(), inside.y() + inside.height() + frame.bottom()),
             placement.corner());
}

QTEST_GUILESS_MAIN(TestWindowPlacement)
#include "tst_windowplacement.moc"
