#pragma once

// Whether the desktop grants what the palette asks of its window, so that the user can be told
// where it does not. Asked once the window system is connected. Standard library only, so that
// the Windows file builds alone; Windows grants both.
namespace NativeWindowRequests {

// Keeping a window above the others: on X11 when the window manager lists
// _NET_WM_STATE_ABOVE among what it supports, or when none runs (the window is raised itself);
// never on Wayland, which has no request for it.
bool KeepsOnTop();
// Putting a window where its program asks: not on Wayland, whose compositors place every window
// themselves.
bool PlacesAsAsked();

}
