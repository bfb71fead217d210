#pragma once

#include <cstdint>
#include <functional>
#include <memory>

// Watches for the window system destroying the program's window from outside (another program's
// request, as `xdotool windowclose` makes), which no close event announces. Standard library
// only, so that the Windows file builds alone; there no program can destroy another's window, and
// the watch never fires.
class WindowLossWatch {
public:
    // currentWindow answers the window's native handle at the moment of asking (0 for none), so
    // that a window the toolkit itself replaces does not count; lost is called once.
    WindowLossWatch(std::function<std::uintptr_t()> currentWindow, std::function<void()> lost);
    ~WindowLossWatch();
    WindowLossWatch(const WindowLossWatch &) = delete;
    WindowLossWatch &operator=(const WindowLossWatch &) = delete;

    struct Watcher;

private:
    std::unique_ptr<Watcher> m_watcher;
};
