#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Window managers that choose the place of a floating window themselves, whatever its program
// asks, and take commands from other programs over a socket of their own: sway (SWAYSOCK), also
// for its X11 windows, and i3 on X11 (I3SOCK), which speak the same protocol. Standard library
// only, so that the Windows file builds alone; there no such window manager runs.
namespace NativeWindowManagerIpc {

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct Floating {
    // The window manager's id of the floating container that holds the window.
    std::int64_t container = 0;
    // Its outer frame, title bar and borders included, in the layout's pixels.
    Rect frame;
    // The output (screen) it stands on.
    Rect output;
};

// Whether such a window manager runs this session: its socket is named and answers.
bool IsRunning();
// The floating container of a window of this process: by its X11 id where it has one (x11Window
// not 0), else by process and caption. None while the window is not managed, or not floating
// (a tiled window has no place of its own).
std::optional<Floating> FindFloating(std::int64_t processId, std::uint32_t x11Window, const std::string &title);
// Moves the container so that its outer frame's top-left corner stands at x, y of the layout.
bool Move(std::int64_t container, int x, int y);
// Focuses the X11 window of that process, as a request to come forward: sway takes none from an
// X11 program. False when no such window manager runs or it has no such window.
bool Focus(std::int64_t processId, std::uint32_t x11Window);

}
