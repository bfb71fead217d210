#pragma once

// Which of the desktop's clipboards: the clipboard that copy and paste use, or the selection
// that X11 desktops keep of the text last selected (pasted with the middle button). Standard
// library only, so that the Windows file of the native clipboard builds alone.
enum class ClipboardMode { Clipboard, Selection };
