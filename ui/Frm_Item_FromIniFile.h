#pragma once

#include "settings/Cls_MySettingFile.h"
#include "ui/DesktopLimits.h"
#include "ui/PaletteActions.h"

#include <QList>
#include <QPalette>
#include <QRect>
#include <QWidget>

class ButtonLabel;
class CancelToken;
class KeyNotice;
class PaletteKeys;
class PalettePlacement;
class ReloadNotice;
class SettingsReload;
struct ReloadRefusal;
class QCheckBox;
class QFrame;
class QGroupBox;
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
    void keyPressEvent(QKeyEvent *event) override;
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
    void SubP_SetTabOrder();
    void SubP_ShowVersion();
    // The buttons, caption, link and colours built again from Settings; the window keeps its
    // corner and its keep-on-top state.
    void SubP_Rebuild();
    void SubP_ClearItemButtons();
    void SubP_DropUnusedButtons();
    void SubP_ShowReloadRefused(const ReloadRefusal &refusal);
    // The notices that stand below the buttons, one row each; the window grows to hold them.
    void SubP_ShowNotices();
    void SubP_TakeKeys();
    // The buttons' keys in their tooltips, and the keys not taken in their notice.
    void SubP_ShowKeys();
    // The palette in front with the keyboard focus on its first button, for its global key.
    void SubP_ComeForward();

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
    // A click's action, or a global key's, which may paste the result where the user types.
    void SubP_ActItem(int index, const std::optional<PaletteActions::Paste> &paste);
    void Lbl_Button定型_Click(int index);
    void Lbl_ButtonLink_Click();
    void Chk_Most_Click();

    // The item's text for the clipboard's text; runs away from the window's thread.
    GeneratedText GetItemText(qint32 lngA_Index, const QString &strA_Data, const CancelToken *cancel = nullptr);
    bool OpenLink(const QString &strA_Link);

    QScrollArea *Scr_Items = nullptr;
    QList<QGroupBox *> Fra_Items;
    QCheckBox *Chk_Most = nullptr;
    QList<ButtonLabel *> Lbl_Button定型;
    ButtonLabel *Lbl_ButtonLink = nullptr;
    QList<QFrame *> Line1;
    QList<ButtonLabel *> Lbl_Button;
    // Below the buttons while a reload keeps the settings the palette has.
    ReloadNotice *Lbl_Notice = nullptr;
    // Below the buttons while some global key could not be taken.
    KeyNotice *Lbl_KeyNotice = nullptr;

    qint32 lngM_BackColor = 0;
    // The inside height as designed plus the growth for the buttons, before any limit to the screen.
    int m_clientHeight = 0;
    bool m_isLoaded = false;
    // The rows that the notices add below the buttons.
    int m_noticeRows = 0;
    // What each visible member of Lbl_Button does, in their order.
    QList<ButtonItem> m_buttonItems;
    PalettePlacement *m_placement;
    PaletteActions *m_actions;
    PaletteKeys *m_keys;
    DesktopLimits m_desktopLimits;
};
