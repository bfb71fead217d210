#pragma once

#include <QtGlobal>

class QWidget;

namespace mdl_API_Win32 {

// Puts a top-level window into the always-on-top band, or takes it out, without moving,
// resizing or hiding it. The flag survives a re-creation of the native window.
void SetWindowTopMost(QWidget *frmA_Window, bool isTopMost);

// The desktop window's handle (0 where the desktop has none).
quintptr GetDesktopWindow();

}
