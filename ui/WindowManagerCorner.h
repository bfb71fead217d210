#pragma once

#include <QObject>
#include <QPoint>

#include <optional>

class QWidget;

// The palette at its corner under a window manager that places floating windows itself and takes
// commands over its socket (sway, i3): the window manager is asked to move the frame there, once
// it manages the window, and again whenever the palette has been placed anew (a reload changes its
// height, and the corner stays). A move by the user is kept: the corner goes with it.
class WindowManagerCorner : public QObject {
    Q_OBJECT
public:
    explicit WindowManagerCorner(QWidget *window);

    // Whether such a window manager runs the session.
    bool isActive() const { return m_isActive; }
    // The outer frame's bottom-right corner (one past the last pixel) goes to the screen's corner
    // less the designed gaps, or stays where the user left it.
    void request();

private:
    void attempt();

    QWidget *m_window;
    bool m_isActive;
    int m_attempts = 0;
    // The frame's top-left corner where the window manager was last asked to put it.
    std::optional<QPoint> m_asked;
    // The frame's bottom-right corner where the user left it.
    std::optional<QPoint> m_leftAt;
};
