#include "ui/PaletteActions.h"

#include "base/CancelToken.h"
#include "base/mdl_ErrorFunction.h"
#include "platform/NativePaste.h"
#include "settings/SettingsReload.h"
#include "ui/ItemFailureText.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>
#include <QToolTip>
#include <QWidget>

#include <memory>

namespace {

// Work that ends sooner shows only the wait cursor.
constexpr int kProgressDelayMs = 500;
// How long a paste waits for the user to let go of the global key, and then for the target to
// read the result before the clipboard is given back.
constexpr int kReleaseWaitMs = 1000;
constexpr int kReadWaitMs = 3000;

const QString kClipboardKept = QStringLiteral("クリップボードの内容はそのままです。");

QString BusyClipboardMessage()
{
    return QStringLiteral("クリップボードを使用できませんでした。ほかのプログラムが使用中かもしれません。\r\n") + kClipboardKept;
}

QString TextOnlyUndoMessage()
{
    return QStringLiteral("クリップボードの内容が %1 MB を超えていたため、文字列だけを元に戻しました。")
        .arg(ClipboardUndo::Bytes >> 20);
}

QString NoTextNotice()
{
    return QStringLiteral("クリップボードに文字列がありません。\n") + kClipboardKept;
}

QString PasteRefusedNotice()
{
    return QStringLiteral("このデスクトップでは、ほかのプログラムへ貼り付けを送れません。\n結果はクリップボードにあります。");
}

QString UnreadPasteNotice()
{
    return QStringLiteral("貼り付け先が結果を読み取らなかったため、\nクリップボードは結果のままです。");
}

QString ItemFailureMessage(const QString &name, const GeneratedText &result)
{
    return ItemFailureText(name, result) + QStringLiteral("\r\n") + kClipboardKept;
}

// A wait cursor for as long as an action works on the clipboard.
class BusyCursor {
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

// Marks the actions as busy for as long as one runs, and the reload with them.
class ActingScope {
public:
    ActingScope(bool &isActing, SettingsReload *reload) : m_isActing(isActing), m_reload(reload)
    {
        m_isActing = true;
        if (m_reload)
            m_reload->setBusy(true);
    }
    ~ActingScope()
    {
        m_isActing = false;
        if (m_reload)
            m_reload->setBusy(false);
    }
    ActingScope(const ActingScope &) = delete;
    ActingScope &operator=(const ActingScope &) = delete;

private:
    bool &m_isActing;
    QPointer<SettingsReload> m_reload;
};

}

PaletteActions::PaletteActions(QWidget *window) : QObject(window), m_window(window)
{
}

void PaletteActions::setReload(SettingsReload *reload)
{
    m_reload = reload;
    if (m_reload)
        m_reload->setBusy(m_isActing);
}

void PaletteActions::cancel()
{
    if (m_runningWork)
        m_runningWork->cancel();
}

void PaletteActions::act(QWidget *anchor, const QString &name, bool isRewrite, const TextWork &work,
                         const std::optional<Paste> &paste)
{
    if (m_isActing)
        return;
    const ActingScope acting(m_isActing, m_reload);
    QString prompt;
    {
        BusyCursor busy;
        ClipboardSnapshot given;
        if (!ReadClipboardSnapshot(ClipboardMode::Clipboard, given)) {
            prompt = BusyClipboardMessage();
        } else if (isRewrite && given.isWithoutText) {
            // Nothing to rewrite: the picture or file list stays, and so does what undo puts back.
            // A notice rather than a box: it asks for nothing and goes by itself.
            QToolTip::showText(anchor->mapToGlobal(QPoint(0, anchor->height())), NoTextNotice(), anchor);
        } else {
            const GeneratedText result = runWork([&given, &work](const CancelToken *cancel) { return work(given.text, cancel); });
            if (result.ok()) {
                if (paste) {
                    if (!pasteResult(anchor, result.text, *paste, given))
                        prompt = BusyClipboardMessage();
                } else if (WriteClipboardText(ClipboardMode::Clipboard, result.text)) {
                    m_undoSnapshot = std::move(given);
                } else {
                    prompt = BusyClipboardMessage();
                }
            } else if (result.outcome != GeneratedText::Outcome::Cancelled) {
                // A stop by the user's 中止 needs no box.
                prompt = ItemFailureMessage(name, result);
            }
        }
    }
    if (!prompt.isEmpty())
        ShowMessageBox(MsgBox::Exclamation, prompt);
}

GeneratedText PaletteActions::runWork(const std::function<GeneratedText(const CancelToken *)> &work)
{
    // The worker is the only user of the settings while it runs: clicks and undo are dropped
    // until it has ended (m_isActing), and a reload waits.
    CancelToken cancel;
    GeneratedText result;
    QEventLoop loop;
    const std::unique_ptr<QThread> worker(QThread::create([&] { result = work(&cancel); }));
    connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);

    std::unique_ptr<QProgressDialog> progress;
    QTimer delay;
    delay.setSingleShot(true);
    connect(&delay, &QTimer::timeout, this, [&] {
        progress = std::make_unique<QProgressDialog>(QStringLiteral("処理しています…"), QStringLiteral("中止"), 0, 0, m_window);
        progress->setObjectName(QStringLiteral("Dlg_Progress"));
        progress->setWindowTitle(m_window->windowTitle());
        progress->setWindowModality(Qt::WindowModal);
        progress->setMinimumDuration(0);
        connect(progress.get(), &QProgressDialog::canceled, &loop, [&cancel] { cancel.cancel(); });
        progress->show();
    });

    m_runningWork = &cancel;
    worker->start();
    delay.start(kProgressDelayMs);
    loop.exec();
    worker->wait();
    m_runningWork = nullptr;
    return result;
}

bool PaletteActions::pasteResult(QWidget *anchor, const QString &text, const Paste &paste, const ClipboardSnapshot &given)
{
    // Shared with the clipboard's copy of the result, which may outlive this run.
    struct State {
        NativePaste::ReaderWatch watch;
        std::uint64_t target = 0;
        bool isPasted = false;
        bool isRead = false;
        QPointer<QEventLoop> loop;
    };
    auto state = std::make_shared<State>();
    state->target = paste.target;
    // A clipboard manager reads every new clipboard at once: only the read by the target's
    // program after the keystroke is the paste.
    const auto read = [state] {
        if (!state->isPasted || state->isRead || state->target == 0 || state->watch.currentReader() != state->target)
            return;
        state->isRead = true;
        if (state->loop)
            QMetaObject::invokeMethod(state->loop, &QEventLoop::quit, Qt::QueuedConnection);
    };
    QStringList formats;
    for (const std::string &format : NativePaste::PrivateFormats())
        formats.append(QString::fromStdString(format));
    if (!WriteClipboardTextWatched(text, formats, read))
        return false;
    m_undoSnapshot = given;

    state->isPasted = NativePaste::SendPasteKeystroke(kReleaseWaitMs);
    if (!state->isPasted) {
        tellOnce(m_isPasteRefusalTold, anchor, PasteRefusedNotice());
        return true;
    }
    if (!paste.isRestore)
        return true;
    QEventLoop loop;
    state->loop = &loop;
    QTimer::singleShot(kReadWaitMs, &loop, &QEventLoop::quit);
    if (!state->isRead)
        loop.exec();
    if (!state->isRead) {
        tellOnce(m_isUnreadPasteTold, anchor, UnreadPasteNotice());
        return true;
    }
    if (WriteClipboardSnapshot(ClipboardMode::Clipboard, given))
        m_undoSnapshot.reset();
    return true;
}

void PaletteActions::tellOnce(bool &isTold, QWidget *anchor, const QString &notice)
{
    if (isTold)
        return;
    isTold = true;
    QToolTip::showText(anchor->mapToGlobal(QPoint(0, anchor->height())), notice, anchor);
}

void PaletteActions::undo()
{
    if (m_isActing || !m_undoSnapshot)
        return;
    bool isWritten = false;
    {
        BusyCursor busy;
        isWritten = WriteClipboardSnapshot(ClipboardMode::Clipboard, *m_undoSnapshot);
    }
    if (!isWritten) {
        ShowMessageBox(MsgBox::Exclamation, BusyClipboardMessage());
        return;
    }
    const bool isTextOnly = m_undoSnapshot->isTextOnly;
    m_undoSnapshot.reset();
    if (isTextOnly)
        ShowMessageBox(MsgBox::Information, TextOnlyUndoMessage());
}
