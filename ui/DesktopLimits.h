#pragma once

#include <QString>

class QWidget;

// Tells the user, once and plainly, what the desktop does not grant the palette (Wayland above
// all): keeping it above other windows, and its place at the screen's corner. Nothing that the
// desktop ignores is left to look as if it had worked.
class DesktopLimits {
public:
    // The keep-on-top check box's tooltip: what it does, and that this desktop ignores it.
    static QString KeepOnTopToolTip();

    // The box was ticked: where the desktop ignores it, a notice below the box says so, once.
    void keepOnTopTicked(QWidget *checkBox);
    // The palette shows: where the desktop puts it elsewhere than at its corner, and no window
    // manager can be asked to move it, a notice at the window says so, once.
    void shown(QWidget *window, bool isMovedByWindowManager);

private:
    bool m_isKeepOnTopTold = false;
    bool m_isPlaceTold = false;
};
