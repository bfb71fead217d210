#pragma once

#include <QList>
#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

// Where the palette's inside goes so that the outer frame's bottom-right corner keeps its place:
// at first the screen's corner less the designed gaps, after the user has moved the window
// wherever the user left it. Window systems that frame a window late (X11) tell the frame, and
// where they put the window, in their own time; this keeps track of what was asked and what was
// reported, so that a report of an earlier request is never taken for the user's move.
class WindowPlacement {
public:
    struct Decision {
        QRect inside;
        // The content is taller than the room above the corner: it scrolls, beside a scroll bar.
        bool isScrolling = false;
    };

    void setScreen(const QRect &screen);
    // The frame that the desktop draws around the inside; none told counts as none drawn.
    // Returns whether the window should be placed again: it follows the frame until the user
    // moves it.
    bool setFrame(const QMargins &frame);
    const QMargins &frame() const { return m_frame; }
    // A window manager took the window over. Returns whether the window should be placed again.
    bool reframed();

    // Where the inside goes for content of this size: the caption bar stays on the screen, and what
    // does not fit scrolls beside a scroll bar of the given width. Remembered as asked until the
    // desktop reports the window there.
    Decision place(const QSize &content, int scrollBarWidth);

    // The desktop reports the inside's top-left corner here. A place that was not asked while
    // nothing asked is still to come is the user's move (or another program's on the user's
    // behalf): from then on the window stays where it was left. Returns whether the window should
    // be placed again: something else put it elsewhere while a request was on its way (a window
    // manager's own placement on mapping, say), which is answered with one more request.
    bool reported(const QPoint &insideTopLeft);
    // A report names this place as where the inside went: the request for it, and those before
    // it, are answered, even when the window has moved on (by the user, say) before the report
    // is read. Which place the window stands at is for reported() to say.
    void told(const QPoint &insideTopLeft);

    // False once the user has moved the window.
    bool isFollowing() const { return m_isFollowing; }
    // Where the outer frame's bottom-right corner stays (one past the last pixel).
    QPoint corner() const;

private:
    // Takes the request for this place, and those before it, as answered; false when none was.
    bool answer(const QPoint &insideTopLeft);
    void setReported(const QPoint &insideTopLeft);

    QRect m_screen;
    QMargins m_frame;
    QSize m_inside;
    // The inside's bottom-right corner (one past) where the user left it.
    QPoint m_leftAt;
    std::optional<QPoint> m_reported;
    // The frame that was told when the window was reported there.
    QMargins m_reportedFrame;
    // Places asked and not yet reported, oldest first.
    QList<QPoint> m_asked;
    bool m_isRetried = false;
    // The frame changed, or a window manager took the window over, since the window was last
    // placed. What is reported until it is placed again tells nothing of the user after a
    // takeover, and after a changed frame only a move that the frame does not explain.
    bool m_isFrameChanged = false;
    bool m_isReframed = false;
    bool m_isFollowing = true;
};
