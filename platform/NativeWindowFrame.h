#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

// What the window manager tells of a top-level window, in its own time: the frame it draws
// around the inside (caption bar and borders) and where it puts the window. Standard library
// only, so that the Windows file builds alone; there the toolkit knows the frame from the
// window's style before the window is shown and reports every move itself, and the watch tells
// nothing (isWatching() is false).
class WindowFrameWatch {
public:
    // In the window system's pixels.
    struct Extents {
        int left = 0;
        int right = 0;
        int top = 0;
        int bottom = 0;
        bool operator==(const Extents &) const = default;
    };
    struct Listener {
        // The frame changed; a frame taken away (no window manager any more) reads as none.
        std::function<void(const Extents &)> frameChanged;
        // The inside's top-left corner stands here on the screen now, after the window manager
        // (or the window system without one) changed the window's place or size.
        std::function<void(int x, int y)> placed;
        // Comes just before placed when the report names a place itself (the window manager's
        // report, or the server's without one): where the inside's top-left corner went then,
        // which may be another place than where it stands by the time the report is read.
        std::function<void(int x, int y)> told;
        // A window manager took the window over (or gave it back as it ended); it may have put it
        // anywhere meanwhile.
        std::function<void()> reframed;
    };

    // currentWindow answers the window's native handle at the moment of asking (0 for none), so
    // that a window the toolkit makes anew is followed too.
    WindowFrameWatch(std::function<std::uintptr_t()> currentWindow, Listener listener);
    ~WindowFrameWatch();
    WindowFrameWatch(const WindowFrameWatch &) = delete;
    WindowFrameWatch &operator=(const WindowFrameWatch &) = delete;

    bool isWatching() const;
    // Asks the window manager, before the window is mapped, for the frame it is going to draw;
    // the answer comes as frameChanged, or is read by extents().
    void requestExtents();
    // The frame as the window manager has told it so far; none before it has.
    std::optional<Extents> extents() const;

    struct Watcher;

private:
    std::unique_ptr<Watcher> m_watcher;
};
