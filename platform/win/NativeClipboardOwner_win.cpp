#include "platform/NativeClipboardOwner.h"

NativeClipboardOwner::State NativeClipboardOwner::Probe(ClipboardMode, int)
{
    return State::Unknown;
}
