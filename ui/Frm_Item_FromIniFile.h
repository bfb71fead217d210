#pragma once

#include "services/ClipboardService.h"
#include "settings/Cls_MySettingFile.h"
#include "ui/WindowPlacement.h"

#include <QList>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class ButtonLabel;
class CancelToken;
class SettingsReload;
class WindowFrameWatch;
struct ReloadRefusal;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QScrollArea;

// The palette window: one label button per named item of the settings, a built-in button that
// joins words, a link label and a keep-on-top check box. Control arrays keep their members in
// lists; a member's objectName is the array's name, "_" and its index ("Lbl_Button_3").
class Frm_Item_FromIniFile : public QWidget {
    Q_OBJECT
public:
    explicit Frm_Item_FromIniFile(QWidget *parent = nullptr);
    ~Frm_Item_FromIniFile() override;

    // The screen that placement measures against; the window's own screen when not set.
    void SetScreenGeometry(const QRect &screen);
    // Builds the buttons from Settings, places the window and paints it. Runs once; showing the
    // window runs it when nobody has.
    void Form_Load();
    // From now on the window takes the settings that reload offers and rebuilds itself from
    // them in place; a reload it refuses shows as a notice in the window. Activating the window
    // runs reload's light check, and a reload waits while an action runs.
    void FollowSettings(SettingsReload *reload);

signals:
    // The user closed the window: the application ends.
    void Unloaded();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void SubP_CreateControls();
    void SubP_CreateFrame();
    void SubP_CreateLabels();
    void SubP_CreateSeparator();
    void SubP_CreateTemplate();
    ButtonLabel *SubP_NewLabel(const QString &name, const QRect &geometry);
    ButtonLabel *SubP_AddButtonMember();
    void SubP_ConnectButton(ButtonLabel *label, bool isFixedButton);
    bool BuildItemButtons();
    // With the outer frame's bottom-right corner at the screen's corner as designed, or where the
    // user left it; the window manager's frame as it has told it so far.
    void SubP_PlaceWindow();
    // Placed again once the events being handled are through, by the frame then known.
    void SubP_PlaceWindowLater();
    void SubP_WatchFrame();
    void SubP_SetTabOrder();
    void SubP_ShowVersion();
    // The buttons, caption, link and colours built again from Settings; the window keeps its
    // corner and its keep-on-top state.
    void SubP_Rebuild();
    void SubP_ClearItemButtons();
    void SubP_DropUnusedButtons();
    void SubP_ShowReloadRefused(const ReloadRefusal &refusal);

    void SubP_InitColor();
    void SubP_SetColorBase(const QString &strA_Key);
    void SubP_SetColorTitle(const QString &strA_Key);
    void SubP_SetColorLabel(const QString &strA_Key);
    void SubP_SetColorBack(const QString &strA_Key);
    void SubP_PaintColor(qint32 colorValue, QPalette::ColorRole role, const QWidgetList &widgets);
    QWidgetList SubP_Frames() const;
    QWidgetList SubP_ButtonLabels() const;
    void SubP_ClearHighlight();
    void SubP_Highlight(ButtonLabel *label);

    void Lbl_Button_Click(int index);
    void Lbl_Button定型_Click(int index);
    void Lbl_ButtonLink_Click();
    void Chk_Most_Click();
    void SubP_Undo();

    // Every format the clipboard offers, its text first; none when the clipboard is busy.
    std::optional<ClipboardSnapshot> GetClipboardText();
    bool SubP_SetClipboardText(const QString &strA_Text);
    GeneratedText GetItemText(qint32 lngA_Index, const QString &strA_Data, const CancelToken *cancel = nullptr);
    // What a button does with the clipboard's text.
    using TextWork = std::function<GeneratedText(const QString &, const CancelToken *)>;
    // Reads the clipboard, makes the text away from the UI thread and puts it on the clipboard;
    // on any failure the clipboard stays as it was and one box says why (none after 中止). Work
    // that rewrites the text (isRewrite) leaves a clipboard without text alone, and a notice at
    // the button says so.
    void SubP_Act(ButtonLabel *button, bool isRewrite, const TextWork &work);
    // Whether the item's button rewrites the clipboard's text, rather than replacing it.
    bool SubP_IsRewrite(qint32 lngA_Index);
    GeneratedText SubP_RunWork(const std::function<GeneratedText(const CancelToken *)> &work);
    bool OpenLink(const QString &strA_Link);

    QScrollArea *Scr_Items = nullptr;
    QList<QGroupBox *> Fra_Items;
    QCheckBox *Chk_Most = nullptr;
    QList<ButtonLabel *> Lbl_Button定型;
    ButtonLabel *Lbl_ButtonLink = nullptr;
    QList<QFrame *> Line1;
    QList<ButtonLabel *> Lbl_Button;
    // Below the buttons while a reload keeps the settings the palette has.
    QLabel *Lbl_Notice = nullptr;

    qint32 lngM_BackColor = 0;
    // The inside height as designed plus the growth for the buttons, before any limit to the screen.
    int m_clientHeight = 0;
    QRect m_screenGeometry;
    bool m_isLoaded = false;
    WindowPlacement m_placement;
    // Where the window manager tells the frame and the window's place itself (X11).
    std::unique_ptr<WindowFrameWatch> m_frameWatch;
    bool m_isPlacementQueued = false;
    // An action is running: clicks and Ctrl+Z meanwhile are dropped, not queued.
    bool m_isActing = false;
    // The running work's token, for closing the window in the middle of it.
    CancelToken *m_runningWork = nullptr;
    // What the clipboard held before the last action, for one step of undo.
    std::optional<ClipboardSnapshot> m_undoSnapshot;
    QPointer<SettingsReload> m_reload;
};
