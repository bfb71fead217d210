#include "ui/ClipboardText.h"

#include "app/ServiceSlot.h"
#include "ui/NativeClipboardOwner.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMimeData>
#include <QThread>

#include <algorithm>
#include <memory>

namespace {

class DesktopClipboard : public ClipboardPort {
public:
    bool read(QString &text) override
    {
        QClipboard *clipboard = readableClipboard();
        if (!clipboard)
            return false;
        return m_isEmpty ? (text.clear(), true) : answeredText(clipboard, text);
    }

    bool write(const QString &text) override
    {
        QClipboard *clipboard = QGuiApplication::clipboard();
        if (!clipboard)
            return false;
        clipboard->setText(text, QClipboard::Clipboard);
        return true;
    }

    bool readAll(ClipboardSnapshot &snapshot) override
    {
        snapshot = ClipboardSnapshot();
        QClipboard *clipboard = readableClipboard();
        if (!clipboard)
            return false;
        if (m_isEmpty)
            return true;
        if (!answeredText(clipboard, snapshot.text))
            return false;
        const QMimeData *data = clipboard->mimeData(QClipboard::Clipboard);
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

    bool writeAll(const ClipboardSnapshot &snapshot) override
    {
        QClipboard *clipboard = QGuiApplication::clipboard();
        if (!clipboard)
            return false;
        auto data = std::make_unique<QMimeData>();
        for (const auto &[format, bytes] : snapshot.formats)
            data->setData(format, bytes);
        if (!snapshot.text.isEmpty() || snapshot.formats.isEmpty())
            data->setText(snapshot.text);
        clipboard->setMimeData(data.release(), QClipboard::Clipboard);
        return true;
    }

private:
    // An owner that listed its formats and then hangs makes Qt wait for the text and hand back an
    // empty one, which is then no answer: a real empty text arrives at once.
    static bool answeredText(QClipboard *clipboard, QString &text)
    {
        QElapsedTimer timer;
        timer.start();
        text = clipboard->text(QClipboard::Clipboard);
        return !text.isEmpty() || timer.elapsed() < ClipboardRetry::OwnerMilliseconds;
    }

    // The clipboard, once its owner has answered; nullptr when it did not answer in time. Sets
    // m_isEmpty when nobody holds the clipboard.
    QClipboard *readableClipboard()
    {
        m_isEmpty = false;
        QClipboard *clipboard = QGuiApplication::clipboard();
        if (!clipboard || clipboard->ownsClipboard())
            return clipboard;
        switch (NativeClipboardOwner::Probe(ClipboardRetry::OwnerMilliseconds)) {
        case NativeClipboardOwner::State::Silent:
            return nullptr;
        case NativeClipboardOwner::State::None:
            m_isEmpty = true;
            break;
        case NativeClipboardOwner::State::Unknown:
        case NativeClipboardOwner::State::Answering:
            break;
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

bool WriteClipboardText(const QString &text)
{
    return withRetries([&] {
        QString check;
        return CurrentClipboardPort().write(text) && CurrentClipboardPort().read(check) && check == text;
    });
}

bool ReadClipboardSnapshot(ClipboardSnapshot &snapshot)
{
    return withRetries([&] { return CurrentClipboardPort().readAll(snapshot); });
}

bool WriteClipboardSnapshot(const ClipboardSnapshot &snapshot)
{
    return withRetries([&] {
        QString check;
        return CurrentClipboardPort().writeAll(snapshot) && CurrentClipboardPort().read(check) && check == snapshot.text;
    });
}
