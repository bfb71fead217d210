#pragma once

#include "platform/ClipboardMode.h"

// Whether the program that holds the clipboard answers at all, asked before the toolkit reads
// it: on X11 a stopped or hanging owner makes Qt wait about 5 s per format and then hand back an
// empty text, which cannot be told from an empty clipboard. Standard library only, so that the
// Windows file builds alone; there a busy clipboard fails to open, and the answer is Unknown.
namespace NativeClipboardOwner {

enum class State {
    Unknown, // not asked: the toolkit's own read tells
    None, // nobody holds it: it is empty
    Answering, // the owner listed its formats
    Silent, // an owner exists but gave no list of formats in time
};

// Asks the owner of the clipboard of this mode for its list of formats and waits at most the given
// time for the answer.
State Probe(ClipboardMode mode, int milliseconds);

}
