#pragma once

#include <cstdint>

// The operating system's own window calls, on native window handles. Standard library only, so
// that the Windows file builds alone.
namespace NativeWindow {

// Puts the window into the always-on-top band or takes it out, without moving or resizing it.
// Where the desktop has no such call, the window toolkit's flag does the work and this does nothing.
void SetTopMost(std::uintptr_t window, bool isTopMost);
// The desktop window's handle, 0 where the desktop has none.
std::uintptr_t DesktopWindow();

}
