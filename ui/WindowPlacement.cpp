#include "ui/WindowPlacement.h"

#include "ui/PaletteDesign.h"

using namespace PaletteDesign;

void WindowPlacement::setScreen(const QRect &screen)
{
    m_screen = screen;
}

bool WindowPlacement::setFrame(const QMargins &frame)
{
    if (frame == m_frame)
        return false;
    m_frame = frame;
    m_isFrameChanged = m_isFrameChanged || m_isFollowing;
    return m_isFollowing;
}

bool WindowPlacement::reframed()
{
    m_isReframed = m_isReframed || m_isFollowing;
    return m_isFollowing;
}

QPoint WindowPlacement::corner() const
{
    if (!m_isFollowing)
        return m_leftAt + QPoint(m_frame.right(), m_frame.bottom());
    return QPoint(m_screen.x() + m_screen.width() - Px(ScreenRightGap), m_screen.y() + m_screen.height() - Px(ScreenBottomGap));
}

WindowPlacement::Decision WindowPlacement::place(const QSize &content, int scrollBarWidth)
{
    const QPoint outer = corner();
    const int highestInside = outer.y() - m_screen.y() - m_frame.top() - m_frame.bottom();
    Decision decision;
    decision.isScrolling = content.height() > highestInside && highestInside > 0;
    const QSize inside(content.width() + (decision.isScrolling ? scrollBarWidth : 0),
                       decision.isScrolling ? highestInside : content.height());
    decision.inside = QRect(QPoint(outer.x() - m_frame.right() - inside.width(), outer.y() - m_frame.bottom() - inside.height()),
                            inside);

    m_inside = inside;
    m_isFrameChanged = false;
    m_isReframed = false;
    const QPoint place = decision.inside.topLeft();
    // A window already standing there gets no report of it.
    const bool isThere = m_asked.isEmpty() && m_reported == place;
    if (!isThere && (m_asked.isEmpty() || m_asked.last() != place))
        m_asked.append(place);
    return decision;
}

bool WindowPlacement::answer(const QPoint &insideTopLeft)
{
    // Reports come in the order of the requests: one that is answered answers the earlier ones.
    const qsizetype answered = m_asked.indexOf(insideTopLeft);
    if (answered < 0)
        return false;
    m_asked.remove(0, answered + 1);
    m_isRetried = false;
    return true;
}

void WindowPlacement::told(const QPoint &insideTopLeft)
{
    // The window stood there: a report of that place is no move.
    if (answer(insideTopLeft))
        setReported(insideTopLeft);
}

void WindowPlacement::setReported(const QPoint &insideTopLeft)
{
    m_reported = insideTopLeft;
    m_reportedFrame = m_frame;
}

bool WindowPlacement::reported(const QPoint &insideTopLeft)
{
    const bool isUnmoved = m_reported == insideTopLeft;
    // A window manager that keeps the frame's outer corner where it stands when the frame changes
    // moves the inside by as much as the frame's left and top sides have changed.
    const bool isMovedWithFrame = m_reported
                                  && insideTopLeft - *m_reported
                                         == QPoint(m_frame.left() - m_reportedFrame.left(),
                                                   m_frame.top() - m_reportedFrame.top());
    setReported(insideTopLeft);
    if (answer(insideTopLeft))
        return false;
    // Until the window is placed again, a window manager that has just taken the window over puts
    // it where it likes; a changed frame explains only the move that goes with it, and any other is
    // the user's (openbox changes the frame of a window that is not to be resized, while the user
    // may already be moving it).
    if (isUnmoved || m_isReframed || (m_isFrameChanged && isMovedWithFrame))
        return false;
    if (!m_asked.isEmpty()) {
        if (m_isRetried)
            return false;
        m_isRetried = true;
        return true;
    }
    m_isFollowing = false;
    m_leftAt = insideTopLeft + QPoint(m_inside.width(), m_inside.height());
    return false;
}
