#include "platform/NativeForeground.h"

#include <windows.h>

namespace NativeForeground {

bool BringToFront(std::uintptr_t window, std::int64_t processId)
{
    const HWND handle = reinterpret_cast<HWND>(window);
    DWORD owner = 0;
    if (!handle || !IsWindow(handle) || GetWindowThreadProcessId(handle, &owner) == 0 || owner != DWORD(processId))
        return false;
    if (IsIconic(handle))
        ShowWindow(handle, SW_RESTORE);
    // The user has just started this process, which may therefore hand the foreground on.
    SetForegroundWindow(handle);
    return true;
}

}
