#include "platform/NativeWindowFrame.h"

struct WindowFrameWatch::Watcher { };

WindowFrameWatch::WindowFrameWatch(std::function<std::uintptr_t()>, Listener)
{
}

WindowFrameWatch::~WindowFrameWatch() = default;

bool WindowFrameWatch::isWatching() const
{
    return false;
}

void WindowFrameWatch::requestExtents()
{
}

std::optional<WindowFrameWatch::Extents> WindowFrameWatch::extents() const
{
    return std::nullopt;
}
