#pragma once

#include "ui/WindowPlacement.h"

#include <QObject>
#include <QRect>

#include <functional>
#include <memory>

class WindowFrameWatch;
class WindowManagerCorner;
class QWidget;

// WindowPlacement's decisions applied to a top-level window: the frame around it as the window
// manager tells it (X11, in its own time) or as the toolkit knows it (elsewhere), converted to the
// toolkit's pixels, and every report of where the window went. Whenever those call for it, the
// window is placed again, by its own routine, once the events being handled are through.
class PalettePlacement : public QObject {
    Q_OBJECT
public:
    // placeAgain: the window's routine that measures its content and calls apply().
    PalettePlacement(QWidget *window, std::function<void()> placeAgain);
    ~PalettePlacement() override;

    // The screen that placement measures against; the window's own screen when not set.
    void setScreenGeometry(const QRect &screen);
    // Where the inside goes for content of this size, with the frame known so far, applied to
    // the window: its size limits are its size (the user does not resize the palette).
    WindowPlacement::Decision apply(const QSize &content, int scrollBarWidth);
    // Whether a window manager that places windows itself is asked to move this one (sway, i3).
    bool isMovedByWindowManager() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void placeLater();

    QWidget *m_window;
    std::function<void()> m_placeAgain;
    QRect m_screenGeometry;
    WindowPlacement m_placement;
    // Where the window manager tells the frame and the window's place itself (X11).
    std::unique_ptr<WindowFrameWatch> m_frameWatch;
    // Where the window manager places the window itself and is asked to move it (sway, i3).
    WindowManagerCorner *m_managerCorner;
    // Reports count once the window has been placed.
    bool m_isPlaced = false;
    bool m_isQueued = false;
};
