#include "platform/NativeWindowLoss.h"

struct WindowLossWatch::Watcher { };

WindowLossWatch::WindowLossWatch(std::function<std::uintptr_t()>, std::function<void()>)
{
}

WindowLossWatch::~WindowLossWatch() = default;
