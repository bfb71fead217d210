#include "platform/NativeWindowRequests.h"

namespace NativeWindowRequests {

bool KeepsOnTop()
{
    return true;
}

bool PlacesAsAsked()
{
    return true;
}

}
