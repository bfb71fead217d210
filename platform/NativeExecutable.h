#pragma once

#include <string>

// The full path of the running program file, links resolved, from the operating system itself;
// empty when the system cannot tell. Standard library only, so that the Windows file builds alone.
std::u16string NativeExecutablePath();
