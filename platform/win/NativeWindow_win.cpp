#include "platform/NativeWindow.h"

#include <windows.h>

namespace NativeWindow {

void SetTopMost(std::uintptr_t window, bool isTopMost)
{
    SetWindowPos(reinterpret_cast<HWND>(window), isTopMost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

std::uintptr_t DesktopWindow()
{
    return reinterpret_cast<std::uintptr_t>(GetDesktopWindow());
}

}
