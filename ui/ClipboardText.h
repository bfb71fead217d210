#pragma once

#include <QString>

// The way to the clipboard's plain text. The window uses the desktop's clipboard; tests install
// one that can be busy.
class ClipboardPort {
public:
    virtual ~ClipboardPort() = default;
    // False when the clipboard cannot be read at the moment.
    virtual bool read(QString &text) = 0;
    // Replaces the clipboard's content by the text; false when the clipboard refused it.
    virtual bool write(const QString &text) = 0;
};

// Not owned; nullptr goes back to the desktop's clipboard.
void SetClipboardPort(ClipboardPort *port);
ClipboardPort &CurrentClipboardPort();

// A clipboard held by another program is often free again a moment later.
namespace ClipboardRetry {
constexpr int Attempts = 5;
constexpr int Milliseconds = 20;
}

// Reads or writes through the current port, trying a few times; a write counts only when the
// text reads back unchanged.
bool ReadClipboardText(QString &text);
bool WriteClipboardText(const QString &text);
