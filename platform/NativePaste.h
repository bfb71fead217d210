#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A paste where the user types, on behalf of a global key: the paste keystroke sent to the
// window that has the focus, and who reads the clipboard then. Standard library only, so that the
// Windows file builds alone.
namespace NativePaste {

// The program of the window that has the keyboard focus (X11: its client, Windows: its process),
// where a paste goes; 0 when the desktop does not tell.
std::uint64_t FocusedProgram();

// Sends the paste keystroke, Ctrl+V, to the window that has the focus, once the keys the user is
// still holding down (the global key's Ctrl and Alt) are up, waiting at most that long for them
// and lifting them itself after. False where the desktop takes no keystrokes from a program.
bool SendPasteKeystroke(int waitMilliseconds);

// The clipboard formats, beside the text, that keep a pasted result from clipboard managers and
// the clipboard's history where the desktop has such a convention (Windows); MIME types as the
// toolkit names them.
std::vector<std::string> PrivateFormats();

// For as long as it lives, tells from within a read of the clipboard this program holds which
// program reads it (X11 names the reader in the request alone).
class ReaderWatch {
public:
    ReaderWatch();
    ~ReaderWatch();
    ReaderWatch(const ReaderWatch &) = delete;
    ReaderWatch &operator=(const ReaderWatch &) = delete;

    // The program reading the clipboard now, in the terms of FocusedProgram; 0 when unknown.
    std::uint64_t currentReader() const;

    struct Watcher;

private:
    std::unique_ptr<Watcher> m_watcher;
};

}
