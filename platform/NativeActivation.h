#pragma once

#include <string>

// Bringing the palette's own window forward where the desktop lets only a window's own program
// ask for it, with a token that shows the request comes from the user (Wayland's xdg-activation:
// a launcher gets one for the click that starts a program and hands it on in
// XDG_ACTIVATION_TOKEN). A second start hands its token to the running palette, which asks with
// it. Standard library only, so that the Windows file builds alone; there a second start brings
// the window forward itself (NativeForeground), and this has nothing to do.
namespace NativeActivation {

// The token that the launcher of this start gave it; empty when there is none.
std::string LaunchToken();
// Asks the compositor to activate this program's window (its one top-level window that is no
// box) with the token; with none, it is the compositor's to decide (most mark the window as
// wanting attention). False where the desktop takes no such request.
bool ActivateOwnWindow(const std::string &token);

}
