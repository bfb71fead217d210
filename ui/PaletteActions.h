#pragma once

#include "services/ClipboardService.h"
#include "settings/Cls_MySettingFile.h"

#include <QObject>
#include <QPointer>

#include <cstdint>
#include <functional>
#include <optional>

class CancelToken;
class SettingsReload;
class QWidget;

// What the palette's buttons do with the clipboard: read it, every format of it for one step of
// undo, make the new text away from the window's thread and put it on the clipboard; undo puts
// back what the clipboard held before. After half a second a progress box offers 中止, which
// stops the work. One action at a time: a click or an undo while one runs is dropped, not
// queued. On any failure the clipboard stays as it was and one box says why (none after 中止).
class PaletteActions : public QObject {
    Q_OBJECT
public:
    // What a button makes of the clipboard's text; runs on a worker thread.
    using TextWork = std::function<GeneratedText(const QString &, const CancelToken *)>;

    // A run by a global key that pastes its result where the user types.
    struct Paste {
        // The program of the window that had the focus when the key was pressed.
        std::uint64_t target = 0;
        // Once that program has read the result, the clipboard is given back as it was.
        bool isRestore = false;
    };

    // window: the progress box's parent, whose caption the box takes.
    explicit PaletteActions(QWidget *window);

    // Runs the work of the button named name. Work that rewrites the text (isRewrite) leaves a
    // clipboard without text alone, and a notice below the anchor says so. With paste, the result
    // is then pasted where the user types.
    void act(QWidget *anchor, const QString &name, bool isRewrite, const TextWork &work,
             const std::optional<Paste> &paste = std::nullopt);
    // Puts back what the clipboard held before the last action.
    void undo();
    bool isActing() const { return m_isActing; }
    // Stops the running work, if any: the window is closing.
    void cancel();
    // A reload waits while an action runs: the action works on the settings the window has.
    void setReload(SettingsReload *reload);

private:
    GeneratedText runWork(const std::function<GeneratedText(const CancelToken *)> &work);
    // Puts the result on the clipboard for the paste, sends the paste keystroke and gives the
    // clipboard back when asked; false when the clipboard was busy.
    bool pasteResult(QWidget *anchor, const QString &text, const Paste &paste, const ClipboardSnapshot &given);
    // A notice below the anchor that says something once a run.
    void tellOnce(bool &isTold, QWidget *anchor, const QString &notice);

    QWidget *m_window;
    bool m_isActing = false;
    // The running work's token, for closing the window in the middle of it.
    CancelToken *m_runningWork = nullptr;
    // What the clipboard held before the last action.
    std::optional<ClipboardSnapshot> m_undoSnapshot;
    QPointer<SettingsReload> m_reload;
    bool m_isPasteRefusalTold = false;
    bool m_isUnreadPasteTold = false;
};
