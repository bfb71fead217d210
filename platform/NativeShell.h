#pragma once

#include <cstdint>
#include <string>

// The desktop shell's "open": a path or address handed to its default handler. Standard library
// only, so that the Windows file builds alone.
namespace NativeShell {

// Shell result codes, as ShellExecute returns them.
constexpr int Accepted = 42;
constexpr int FileNotFound = 2;
constexpr int PathNotFound = 3;
constexpr int NoAssociation = 31;

// Returns more than 32 when the desktop accepted the request, else one of the shell's error
// codes (2 file not found, 3 path not found, 31 no association, ...).
int Open(std::uintptr_t owner, const std::u16string &target);

// The message for a shell error code of 32 or less.
const char *ErrorMessage(int code);

}
