#include "platform/NativeWindow.h"

namespace NativeWindow {

void SetTopMost(std::uintptr_t, bool)
{
}

std::uintptr_t DesktopWindow()
{
    return 0;
}

}
