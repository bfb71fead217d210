#include "ui/NativeClipboardOwner.h"

NativeClipboardOwner::State NativeClipboardOwner::Probe(int)
{
    return State::Unknown;
}
