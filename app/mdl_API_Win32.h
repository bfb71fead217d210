#pragma once

class QWidget;

// Puts a top-level window into the always-on-top band, or takes it out, without moving,
// resizing or hiding it. The flag survives a re-creation of the native window.
void SetWindowTopMost(QWidget *frmA_Window, bool isTopMost);
