#pragma once

class QWidget;

// What assistive technology is told of the palette beyond each control's own interface: the
// window is a window named by its caption, and the frame lists its controls but not the widgets
// that only draw on it. Installed once, before the first interface is asked for.
void InstallPaletteAccessibility();

// The widget only draws (a line of the etched separator): the frame does not list it.
void MarkAsDrawingOnly(QWidget *widget);
