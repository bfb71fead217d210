// Keeping a window on top. The window is made only where the system can make one (wine without
// a display may not); the desktop window is always there.
#include "LaneCheck.h"
#include "app/NativeWindow.h"

#include <windows.h>

int main()
{
    lane::check(NativeWindow::DesktopWindow() == reinterpret_cast<std::uintptr_t>(GetDesktopWindow())
                    && NativeWindow::DesktopWindow() != 0,
                "the desktop window");

    HWND window = CreateWindowExW(0, L"STATIC", L"lane", WS_OVERLAPPEDWINDOW, 40, 50, 200, 100, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    if (!window) {
        std::printf("skip no window can be made here (error %lu)\n", GetLastError());
        return lane::result("window");
    }
    RECT before = {};
    GetWindowRect(window, &before);
    const auto topMost = [window] { return (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
    lane::check(!topMost(), "a new window is not on top");
    NativeWindow::SetTopMost(reinterpret_cast<std::uintptr_t>(window), true);
    lane::check(topMost(), "on top after SetTopMost(true)");
    NativeWindow::SetTopMost(reinterpret_cast<std::uintptr_t>(window), false);
    lane::check(!topMost(), "released after SetTopMost(false)");
    RECT after = {};
    GetWindowRect(window, &after);
    lane::check(EqualRect(&before, &after) != 0, "the window keeps its place and size");
    DestroyWindow(window);
    return lane::result("window");
}
