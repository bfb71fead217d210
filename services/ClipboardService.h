#pragma once

#include "platform/ClipboardMode.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <functional>

// What the clipboard held, for one step of undo: its text and every other format it offered.
struct ClipboardSnapshot {
    QString text;
    // MIME type and bytes of each format beside the plain text.
    QList<QPair<QString, QByteArray>> formats;
    // The formats came to more than the cap and were dropped: undo gives back the text alone.
    bool isTextOnly = false;
    // The clipboard holds something, but no text to rewrite (a picture, files, only rich text).
    // An empty clipboard, or one with an empty text alone, reads as an empty text.
    bool isWithoutText = false;
};

// The way to the desktop's clipboards, one of them by its mode: the desktop's own service unless
// another is installed; tests install one that can be busy.
class ClipboardPort {
public:
    virtual ~ClipboardPort() = default;
    // False when the clipboard cannot be read at the moment: held by a program that does not
    // answer, say. An empty clipboard reads as an empty text.
    virtual bool read(ClipboardMode mode, QString &text) = 0;
    // Replaces the clipboard's content by the text; false when the clipboard refused it, or the
    // desktop has no clipboard of that mode.
    virtual bool write(ClipboardMode mode, const QString &text) = 0;
    // The same for every format; a port that knows only text keeps only the text.
    virtual bool readAll(ClipboardMode mode, ClipboardSnapshot &snapshot)
    {
        snapshot = ClipboardSnapshot();
        return read(mode, snapshot.text);
    }
    virtual bool writeAll(ClipboardMode mode, const ClipboardSnapshot &snapshot) { return write(mode, snapshot.text); }
    // Writes the text with these formats beside it (empty bytes), and calls read whenever a program
    // reads the text from the clipboard from then on; a port that cannot tell writes the text
    // alone and never calls it.
    virtual bool writeWatched(ClipboardMode mode, const QString &text, const QStringList &formats,
                              const std::function<void()> &read)
    {
        Q_UNUSED(formats);
        Q_UNUSED(read);
        return write(mode, text);
    }
};

// Not owned; nullptr goes back to the desktop's clipboard.
void SetClipboardPort(ClipboardPort *port);
ClipboardPort &CurrentClipboardPort();

// A clipboard held by another program is often free again a moment later. An owner that does not
// answer is given OwnerMilliseconds in all before the clipboard counts as busy.
namespace ClipboardRetry {
constexpr int Attempts = 5;
constexpr int Milliseconds = 20;
constexpr int OwnerMilliseconds = 2000;
}

// The most that a snapshot keeps besides the text; beyond it, the text alone.
namespace ClipboardUndo {
constexpr qint64 Bytes = qint64(256) << 20;
}

// Reads or writes through the current port, trying a few times; a write counts only when the
// text reads back unchanged.
bool WriteClipboardText(ClipboardMode mode, const QString &text);
bool ReadClipboardSnapshot(ClipboardMode mode, ClipboardSnapshot &snapshot);
bool WriteClipboardSnapshot(ClipboardMode mode, const ClipboardSnapshot &snapshot);
// The result of a global key for a paste: written as WriteClipboardText writes, with read called
// whenever a program reads it afterwards (the write's own check included).
bool WriteClipboardTextWatched(const QString &text, const QStringList &formats, const std::function<void()> &read);
