#include "ui/ClipboardText.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QThread>

namespace {

class DesktopClipboard : public ClipboardPort {
public:
    bool read(QString &text) override
    {
        QClipboard *clipboard = QGuiApplication::clipboard();
        if (!clipboard)
            return false;
        text = clipboard->text(QClipboard::Clipboard);
        return true;
    }

    bool write(const QString &text) override
    {
        QClipboard *clipboard = QGuiApplication::clipboard();
        if (!clipboard)
            return false;
        clipboard->setText(text, QClipboard::Clipboard);
        return true;
    }
};

ClipboardPort *&portSlot()
{
    static ClipboardPort *port = nullptr;
    return port;
}

template <typename Attempt>
bool withRetries(Attempt attempt)
{
    for (int i = 0; i < ClipboardRetry::Attempts; ++i) {
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
    portSlot() = port;
}

ClipboardPort &CurrentClipboardPort()
{
    static DesktopClipboard desktop;
    ClipboardPort *port = portSlot();
    return port ? *port : desktop;
}

bool ReadClipboardText(QString &text)
{
    return withRetries([&] { return CurrentClipboardPort().read(text); });
}

bool WriteClipboardText(const QString &text)
{
    return withRetries([&] {
        QString check;
        return CurrentClipboardPort().write(text) && CurrentClipboardPort().read(check) && check == text;
    });
}
