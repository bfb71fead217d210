#pragma once

#include <cstdint>

// Bringing the window of another process to the front, for a second start of the palette.
// Standard library only, so that the Windows file builds alone.
namespace NativeForeground {

// Shows the window again when it is minimised and makes it the active window, as a request of
// the user's (who has just started the program again). Only a window of the process processId
// counts: a handle that has come to name another program's window (handles are reused) is left
// alone. False when there is no such window, or the desktop has no way to do it.
bool BringToFront(std::uintptr_t window, std::int64_t processId);

}
