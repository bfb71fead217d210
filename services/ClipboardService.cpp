#include "services/ClipboardService.h"

#include "base/ServiceSlot.h"
#include "platform/NativeClipboardOwner.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMimeData>
#include <QThread>

#include <algorithm>
#include <memory>

namespace {

QClipboard::Mode QtMode(ClipboardMode mode)
{
    return mode == ClipboardMode::Clipboard ? QClipboard::Clipboard : QClipboard::Selection;
}

// The desktop's clipboards through the toolkit, asking the native clipboard first whether their
// owner answers at all.
class DesktopClipboard : public ClipboardPort {
public:
    bool read(ClipboardMode mode, QString &text) override
    {
        QClipboard *clipboard = readableClipboard(mode);
        if (!clipboard)
            return false;
        return m_isEmpty ? (text.clear(), true) : answeredText(clipboard, mode, text);
    }

    bool write(ClipboardMode mode, const QString &text) override
    {
        QClipboard *clipboard = writableClipboard(mode);
        if (!clipboard)
            return false;
        clipboard->setText(text, QtMode(mode));
        return true;
    }

    bool readAll(ClipboardMode mode, ClipboardSnapshot &snapshot) override
    {
        snapshot = ClipboardSnapshot();
        QClipboard *clipboard = readableClipboard(mode);
        if (!clipboard)
            return false;
        if (m_isEmpty)
            return true;
        if (!answeredText(clipboard, mode, snapshot.text))
            return false;
        const QMimeData *data = clipboard->mimeData(QtMode(mode));
        if (!data)
            return true;
        const QStringList formats = data->formats();
        const auto isText = [](const QString &format) { return format.startsWith(QLatin1String("text/plain")); };
        // Qt makes a text of a file list, which is no text that the clipboard offers.
        const bool offersText = std::any_of(formats.begin(), formats.end(), isText);
        const bool offersOther = !std::all_of(formats.begin(), formats.end(), isText);
        snapshot.isWithoutText = offersOther && (!offersText || snapshot.text.isEmpty());
        qint64 size = snapshot.text.size() * qint64(sizeof(QChar));
        for (const QString &format : formats) {
            // The text is kept once, as text; Qt's own image format is an alias of the real ones.
            if (isText(format) || format.startsWith(QLatin1String("application/x-qt-image")))
                continue;
            QByteArray bytes = data->data(format);
            size += bytes.size();
            if (size > ClipboardUndo::Bytes) {
                snapshot.formats.clear();
                snapshot.isTextOnly = true;
                return true;
            }
            snapshot.formats.append({format, std::move(bytes)});
        }
        return true;
    }

    bool writeAll(ClipboardMode mode, const ClipboardSnapshot &snapshot) override
    {
        QClipboard *clipboard = writableClipboard(mode);
        if (!clipboard)
            return false;
        auto data = std::make_unique<QMimeData>();
        for (const auto &[format, bytes] : snapshot.formats)
            data->setData(format, bytes);
        if (!snapshot.text.isEmpty() || snapshot.formats.isEmpty())
            data->setText(snapshot.text);
        clipboard->setMimeData(data.release(), QtMode(mode));
        return true;
    }

    bool writeWatched(ClipboardMode mode, const QString &text, const QStringList &formats,
                      const std::function<void()> &read) override
    {
        QClipboard *clipboard = writableClipboard(mode);
        if (!clipboard)
            return false;
        auto data = std::make_unique<WatchedText>(read);
        for (const QString &format : formats)
            data->setData(format, QByteArray());
        data->setText(text);
        clipboard->setMimeData(data.release(), QtMode(mode));
        return true;
    }

private:
    // Text whose every read is told: the toolkit asks its clipboard's data for every program that
    // reads it, from within that program's request.
    class WatchedText : public QMimeData {
    public:
        explicit WatchedText(std::function<void()> read) : m_read(std::move(read)) { }

    protected:
        QVariant retrieveData(const QString &mimeType, QMetaType type) const override
        {
            if (mimeType.startsWith(QLatin1String("text/plain")) && m_read)
                m_read();
            return QMimeData::retrieveData(mimeType, type);
        }

    private:
        std::function<void()> m_read;
    };

    // An owner that listed its formats and then hangs makes Qt wait for the text and hand back an
    // empty one, which is then no answer: a real empty text arrives at once.
    static bool answeredText(QClipboard *clipboard, ClipboardMode mode, QString &text)
    {
        QElapsedTimer timer;
        timer.start();
        text = clipboard->text(QtMode(mode));
        return !text.isEmpty() || timer.elapsed() < ClipboardRetry::OwnerMilliseconds;
    }

    // The toolkit's clipboard when the desktop has one of this mode (only X11 has a selection).
    static QClipboard *writableClipboard(ClipboardMode mode)
    {
        QClipboard *clipboard = QGuiApplication::clipboard();
        if (!clipboard || (mode == ClipboardMode::Selection && !clipboard->supportsSelection()))
            return nullptr;
        return clipboard;
    }

    // The clipboard, once its owner has answered; nullptr when it did not answer in time. Sets
    // m_isEmpty when nobody holds the clipboard.
    QClipboard *readableClipboard(ClipboardMode mode)
    {
        m_isEmpty = false;
        QClipboard *clipboard = writableClipboard(mode);
        if (!clipboard)
            return nullptr;
        const bool isOwn = mode == ClipboardMode::Clipboard ? clipboard->ownsClipboard() : clipboard->ownsSelection();
        if (isOwn)
            return clipboard;
        switch (NativeClipboardOwner::Probe(mode, ClipboardRetry::OwnerMilliseconds)) {
        case NativeClipboardOwner::State::Silent: return nullptr;
        case NativeClipboardOwner::State::None: m_isEmpty = true; break;
        case NativeClipboardOwner::State::Unknown:
        case NativeClipboardOwner::State::Answering: break;
        }
        return clipboard;
    }

    bool m_isEmpty = false;
};

// Stops early once an owner has had its time: every attempt would wait for it again.
template <typename Attempt>
bool withRetries(Attempt attempt)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < ClipboardRetry::Attempts && timer.elapsed() < ClipboardRetry::OwnerMilliseconds; ++i) {
        if (i > 0)
            QThread::msleep(ClipboardRetry::Milliseconds);
        if (attempt())
            return true;
    }
    return false;
}

}

void SetClipboardPort(ClipboardPort *port)
{
    ServiceSlot<ClipboardPort>::Install(port);
}

ClipboardPort &CurrentClipboardPort()
{
    static DesktopClipboard desktop;
    return ServiceSlot<ClipboardPort>::Current(desktop);
}

bool WriteClipboardText(ClipboardMode mode, const QString &text)
{
    return withRetries([&] {
        QString check;
        return CurrentClipboardPort().write(mode, text) && CurrentClipboardPort().read(mode, check) && check == text;
    });
}

bool WriteClipboardTextWatched(const QString &text, const QStringList &formats, const std::function<void()> &read)
{
    return withRetries([&] {
        QString check;
        return CurrentClipboardPort().writeWatched(ClipboardMode::Clipboard, text, formats, read)
               && CurrentClipboardPort().read(ClipboardMode::Clipboard, check) && check == text;
    });
}

bool ReadClipboardSnapshot(ClipboardMode mode, ClipboardSnapshot &snapshot)
{
    return withRetries([&] { return CurrentClipboardPort().readAll(mode, snapshot); });
}

bool WriteClipboardSnapshot(ClipboardMode mode, const ClipboardSnapshot &snapshot)
{
    return withRetries([&] {
        QString check;
        return CurrentClipboardPort().writeAll(mode, snapshot) && CurrentClipboardPort().read(mode, check)
               && check == snapshot.text;
    });
}
