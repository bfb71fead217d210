#pragma once

#include "platform/NativeGlobalKeys.h"

// Global keys through the desktop portal's GlobalShortcuts interface on the session bus, where a
// Wayland compositor gives them. Without the portal every key is Unavailable.
std::unique_ptr<NativeGlobalKeys::Grabber> MakePortalGrabber(NativeGlobalKeys::Listener listener);

// A key as the portal's preferred trigger writes it: "CTRL+ALT+1", "LOGO+a", "SHIFT+F5".
std::string PortalTrigger(const NativeGlobalKeys::Key &key);
