#include "platform/NativeActivation.h"

namespace NativeActivation {

std::string LaunchToken()
{
    return std::string();
}

bool ActivateOwnWindow(const std::string &)
{
    return false;
}

}
