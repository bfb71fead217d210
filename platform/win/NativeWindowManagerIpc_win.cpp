#include "platform/NativeWindowManagerIpc.h"

namespace NativeWindowManagerIpc {

bool IsRunning()
{
    return false;
}

std::optional<Floating> FindFloating(std::int64_t, std::uint32_t, const std::string &)
{
    return std::nullopt;
}

bool Move(std::int64_t, int, int)
{
    return false;
}

bool Focus(std::int64_t, std::uint32_t)
{
    return false;
}

}
