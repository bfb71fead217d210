#pragma once

#include <string>

// The folder for this user's run-time files, one that other users can neither read nor write:
// the user's own temporary folder on Windows, the desktop's runtime folder elsewhere. Empty when
// the system has none. Standard library only, so that the Windows file builds alone.
std::u16string NativeRuntimeFolder();
