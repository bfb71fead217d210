#include "ui/Frm_Item_FromIniFile.h"

#include "base/mdl_ErrorFunction.h"
#include "platform/NativeForeground.h"
#include "services/mdl_API_Shell32.h"
#include "services/mdl_API_Win32.h"
#include "services/mdl_All.h"
#include "settings/ColorText.h"
#include "settings/SettingsSchema.h"
#include "settings/WordJoining.h"
#include "ui/ButtonLabel.h"
#include "ui/DesignFonts.h"
#include "ui/EtchedFrame.h"
#include "ui/PaletteAccessibility.h"
#include "ui/PaletteActions.h"
#include "ui/PaletteDesign.h"
#include "ui/PaletteKeys.h"
#include "ui/PaletteNotices.h"
#include "ui/PalettePlacement.h"
#include "ui/PaletteReload.h"
#include "ui/WidgetLook.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QPixmap>
#include <QResource>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>

#include <algorithm>

#include <cstring>

using namespace PaletteDesign;

namespace {

// The dynamic property that carries a label's tag: an item index as text, or the link.
constexpr const char *kTag = "tag";

QColor ValueColor(qint32 colorValue)
{
    return QColor(ColorRed(colorValue), ColorGreen(colorValue), ColorBlue(colorValue));
}

const QString kKeepOnTop = QStringLiteral("常に手前に表示");
const QString kDesignCaption = QStringLiteral("Tavrelo");

// The pressed look: one point smaller for every press, the rest size again after a release.
void ConnectPressedLook(ButtonLabel *label, double restSize)
{
    QObject::connect(label, &ButtonLabel::MouseDown, label, [label] { SetPointSize(label, label->font().pointSizeF() - 1); });
    QObject::connect(label, &ButtonLabel::MouseUp, label, [label, restSize] { SetPointSize(label, restSize); });
}

Cls_MySettingFile &TheSettings()
{
    if (!Settings)
        throw RuntimeError(ErrorNumber::ObjectNotSet);
    return *Settings;
}

// The colour value of a key of the colour section.
qint32 SettingColor(const QString &key)
{
    return ToColor(TheSettings().Color().Gets(key));
}

// Raw pixels: decoding the PNG brought libpng and Qt's reader into the palette's memory, 0.25 MB
// of it, and an image reader left to find out the format loaded every image format plug-in.
QIcon PaletteIcon()
{
    const QByteArray rgba = QResource(QStringLiteral(":/tavrelo-32x32.rgba")).uncompressedData();
    QImage image(32, 32, QImage::Format_RGBA8888);
    std::memcpy(image.bits(), rgba.constData(), size_t(qMin(rgba.size(), image.sizeInBytes())));
    return QIcon(QPixmap::fromImage(image));
}

}

Frm_Item_FromIniFile::Frm_Item_FromIniFile(QWidget *parent)
    : QWidget(parent, Qt::Window), m_placement(new PalettePlacement(this, [this] { SubP_PlaceWindow(); })),
      m_actions(new PaletteActions(this)), m_keys(new PaletteKeys(this))
{
    InstallPaletteAccessibility();
    SubP_CreateControls();
    connect(m_keys, &PaletteKeys::changed, this, &Frm_Item_FromIniFile::SubP_ShowKeys);
    connect(m_keys, &PaletteKeys::itemPressed, this, [this](qint32 item, std::uint64_t target) {
        for (qsizetype i = 0; i < m_buttonItems.size(); ++i) {
            if (m_buttonItems[i].index == item)
                SubP_ActItem(int(i), m_buttonItems[i].isPaste
                                         ? std::optional(PaletteActions::Paste{target, m_buttonItems[i].isRestore})
                                         : std::nullopt);
        }
    });
    connect(m_keys, &PaletteKeys::joinPressed, this, [this] { Lbl_Button定型_Click(0); });
    connect(m_keys, &PaletteKeys::palettePressed, this, &Frm_Item_FromIniFile::SubP_ComeForward);
}

Frm_Item_FromIniFile::~Frm_Item_FromIniFile() = default;

ButtonLabel *Frm_Item_FromIniFile::SubP_NewLabel(const QString &name, const QRect &geometry)
{
    auto *label = new ButtonLabel(Fra_Items[0]);
    label->setObjectName(name);
    label->setGeometry(geometry);
    label->setFont(font());
    // Centred, so that faces taller than MS Gothic lose only their empty leading.
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    SetColor(label, QPalette::WindowText, RgbColor(LabelText));
    return label;
}

void Frm_Item_FromIniFile::SubP_CreateControls()
{
    setObjectName(QStringLiteral("Frm_Item_FromIniFile"));
    setWindowTitle(kDesignCaption);
    setWindowIcon(PaletteIcon());
    setFont(DesignFont(GothicFamily(), WindowFontSize));
    setAutoFillBackground(true);
    SetColor(this, QPalette::Window, RgbColor(BaseColor));
    m_clientHeight = Px(ClientHeight);
    resize(Px(ClientWidth), m_clientHeight);

    SubP_CreateFrame();
    SubP_CreateLabels();
    SubP_CreateSeparator();
    SubP_CreateTemplate();
}

void Frm_Item_FromIniFile::SubP_CreateFrame()
{
    // The item buttons scroll when the palette would be taller than the screen.
    Scr_Items = new QScrollArea(this);
    Scr_Items->setObjectName(QStringLiteral("Scr_Items"));
    Scr_Items->setFrameShape(QFrame::NoFrame);
    Scr_Items->setFocusPolicy(Qt::NoFocus);
    Scr_Items->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Scr_Items->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    Scr_Items->setAutoFillBackground(false);
    Scr_Items->viewport()->setAutoFillBackground(false);
    Scr_Items->setGeometry(0, 0, Px(ClientWidth), m_clientHeight);

    // Made in the scroll area, so that the caption is measured in the window's font from the start:
    // made alone, it would load the desktop's default font only to measure the caption once.
    auto *frame = new EtchedFrame(QStringLiteral("設定内容"), DesignFont(SerifFamily(), FrameFontSize, QFont::Bold),
                                  Scr_Items->viewport());
    frame->setObjectName(QStringLiteral("Fra_Items_0"));
    frame->setAutoFillBackground(true);
    SetColor(frame, QPalette::Window, RgbColor(FrameBack));
    SetColor(frame, QPalette::WindowText, RgbColor(FrameText));
    frame->setMouseTracking(true);
    frame->installEventFilter(this);
    frame->setGeometry(PaletteDesign::Fra_Items);
    Fra_Items.append(frame);
    Scr_Items->setWidget(frame);

    Chk_Most = new QCheckBox(frame);
    Chk_Most->setObjectName(QStringLiteral("Chk_Most"));
    Chk_Most->setGeometry(PaletteDesign::Chk_Most);
    Chk_Most->setFont(DesignFont(SansFamily(), CheckFontSize, QFont::Bold));
    Chk_Most->setAutoFillBackground(true);
    SetColor(Chk_Most, QPalette::Window, RgbColor(FrameBack));
    SetColor(Chk_Most, QPalette::WindowText, RgbColor(CheckText));
    // The check box has no caption: its name tells assistive technology, and the tooltip the
    // user, what it does.
    Chk_Most->setAccessibleName(kKeepOnTop);
    Chk_Most->setToolTip(DesktopLimits::KeepOnTopToolTip());
    // A move over the check box is not a move over the bare frame.
    Chk_Most->setAttribute(Qt::WA_NoMousePropagation);
    // Every change of state, not only a click: a screen reader's Toggle action and the keyboard
    // change it without one.
    connect(Chk_Most, &QCheckBox::toggled, this, &Frm_Item_FromIniFile::Chk_Most_Click);
}

void Frm_Item_FromIniFile::SubP_CreateLabels()
{
    Lbl_Button定型.append(SubP_NewLabel(QStringLiteral("Lbl_Button定型_0"), PaletteDesign::Lbl_Button定型));
    Lbl_Button定型[0]->setText(QStringLiteral("空白詰め＋先頭大文字化"));
    SubP_ConnectButton(Lbl_Button定型[0], true);

    Lbl_ButtonLink = SubP_NewLabel(QStringLiteral("Lbl_ButtonLink"), PaletteDesign::Lbl_ButtonLink);
    Lbl_ButtonLink->setText(QStringLiteral("link"));
    Lbl_ButtonLink->setFont(DesignFont(GothicFamily(), LinkFontSize));
    // Drawn from the top: centred, the 5.25-point text would reach down onto the separator.
    Lbl_ButtonLink->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Lbl_ButtonLink->setToolTip(QStringLiteral("Web翻訳ページを開きます。"));
    Lbl_ButtonLink->setAccessibleRole(QAccessible::Link);
    Lbl_ButtonLink->setVisible(false);
    ConnectPressedLook(Lbl_ButtonLink, LinkRestSize);
    connect(Lbl_ButtonLink, &ButtonLabel::Click, this, &Frm_Item_FromIniFile::Lbl_ButtonLink_Click);
}

void Frm_Item_FromIniFile::SubP_CreateSeparator()
{
    const QRect lines[] = {PaletteDesign::Line1_0, PaletteDesign::Line1_1};
    const unsigned lineColors[] = {LineGrey, LineWhite};
    for (int i = 0; i < 2; ++i) {
        auto *line = new QFrame(Fra_Items[0]);
        line->setObjectName(QStringLiteral("Line1_%1").arg(i));
        line->setGeometry(lines[i]);
        line->setAutoFillBackground(true);
        SetColor(line, QPalette::Window, RgbColor(lineColors[i]));
        // Part of the frame's surface: a move over it reaches the frame and clears the highlight.
        line->setAttribute(Qt::WA_TransparentForMouseEvents);
        // Below the labels, which are drawn over it where they reach it.
        line->lower();
        MarkAsDrawingOnly(line);
        Line1.append(line);
    }
}

void Frm_Item_FromIniFile::SubP_CreateTemplate()
{
    Lbl_Button.append(SubP_NewLabel(QStringLiteral("Lbl_Button_0"), PaletteDesign::Lbl_Button));
    Lbl_Button[0]->setText(QStringLiteral("Private宣言"));
    Lbl_Button[0]->setVisible(false);
    SubP_ConnectButton(Lbl_Button[0], false);
}

void Frm_Item_FromIniFile::SubP_ConnectButton(ButtonLabel *label, bool isFixedButton)
{
    QList<ButtonLabel *> &array = isFixedButton ? Lbl_Button定型 : Lbl_Button;
    connect(label, &ButtonLabel::MouseMove, this, [this, label] { SubP_Highlight(label); });
    ConnectPressedLook(label, ButtonRestSize);
    connect(label, &ButtonLabel::Click, this, [this, label, &array, isFixedButton] {
        const int index = int(array.indexOf(label));
        if (isFixedButton)
            Lbl_Button定型_Click(index);
        else
            Lbl_Button_Click(index);
    });
}

ButtonLabel *Frm_Item_FromIniFile::SubP_AddButtonMember()
{
    ButtonLabel *templateLabel = Lbl_Button[0];
    auto *label = new ButtonLabel(templateLabel->parentWidget());
    label->setObjectName(QStringLiteral("Lbl_Button_%1").arg(Lbl_Button.size()));
    label->setGeometry(templateLabel->geometry());
    label->setFont(templateLabel->font());
    label->setPalette(templateLabel->palette());
    label->setAlignment(templateLabel->alignment());
    label->setAutoFillBackground(templateLabel->autoFillBackground());
    label->setVisible(false);
    Lbl_Button.append(label);
    SubP_ConnectButton(label, false);
    return label;
}

void Frm_Item_FromIniFile::SetScreenGeometry(const QRect &screen)
{
    m_placement->setScreenGeometry(screen);
}

void Frm_Item_FromIniFile::Form_Load()
{
    if (m_isLoaded)
        return;
    m_isLoaded = true;
    BuildItemButtons();
    SubP_SetTabOrder();
    SubP_PlaceWindow();
    raise();
    activateWindow();
    SubP_InitColor();
    SubP_ShowVersion();
    SubP_TakeKeys();
    QTimer::singleShot(0, this, [this] { m_desktopLimits.shown(this, m_placement->isMovedByWindowManager()); });
}

void Frm_Item_FromIniFile::SubP_ShowVersion()
{
    if (Settings && Settings->IsShowVersion()) {
        setWindowTitle(
            windowTitle()
            + QStringLiteral(" ver%1.%2.%3").arg(TAVRELO_VERSION_MAJOR).arg(TAVRELO_VERSION_MINOR).arg(TAVRELO_VERSION_PATCH));
    }
}

bool Frm_Item_FromIniFile::BuildItemButtons()
{
    try {
        Cls_MySettingFile &settings = TheSettings();
        const int templateLeft = Lbl_Button[0]->x();
        int currentTop = Lbl_Button[0]->y();
        const int templateHeight = Lbl_Button[0]->height();

        const QString title = settings.GetTitle();
        if (!title.isEmpty())
            setWindowTitle(title);
        const QString link = settings.GetLink();
        if (!link.isEmpty()) {
            Lbl_ButtonLink->setProperty(kTag, link);
            Lbl_ButtonLink->setVisible(true);
        }

        int count = 0;
        for (const ButtonItem &item : settings.ButtonItems()) {
            ButtonLabel *button = Lbl_Button[0];
            if (count > 0) {
                // A rebuild uses the members it has before it makes new ones.
                button = count < Lbl_Button.size() ? Lbl_Button[count] : SubP_AddButtonMember();
                currentTop = Lbl_Button[count - 1]->y() + Lbl_Button[count - 1]->height();
            }
            button->setGeometry(templateLeft, currentTop, button->width(), templateHeight);
            button->setVisible(true);
            button->setText(item.name);
            button->setProperty(kTag, QString::number(item.index));
            m_buttonItems.append(item);
            ++count;
        }

        // With no button the palette loses the template's row.
        const int growth = templateHeight * (count - 1);
        m_clientHeight += growth;
        Fra_Items[0]->resize(Fra_Items[0]->width(), Fra_Items[0]->height() + growth);
        return true;
    } catch (...) {
        ShowTrappedError();
        return false;
    }
}

void Frm_Item_FromIniFile::SubP_SetTabOrder()
{
    // The item buttons first, as the palette is there for them, then the frame's controls from
    // the top; the first item button (the built-in one without items) has the focus at start, and
    // again after a reload that took the focused button away.
    QWidgetList order;
    for (ButtonLabel *button : Lbl_Button) {
        if (button->isVisibleTo(this))
            order.append(button);
    }
    order << Lbl_Button定型[0] << Chk_Most << Lbl_ButtonLink;
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    const QWidget *focused = focusWidget();
    if (!focused || !focused->isVisibleTo(this))
        order.first()->setFocus();
}

void Frm_Item_FromIniFile::SubP_PlaceWindow()
{
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, Scr_Items->verticalScrollBar());
    const WindowPlacement::Decision decision = m_placement->apply(QSize(Px(ClientWidth), m_clientHeight), scrollBar);
    Scr_Items->setGeometry(QRect(QPoint(), decision.inside.size()));
}

void Frm_Item_FromIniFile::showEvent(QShowEvent *event)
{
    Form_Load();
    QWidget::showEvent(event);
}

void Frm_Item_FromIniFile::closeEvent(QCloseEvent *event)
{
    m_actions->cancel();
    event->accept();
    emit Unloaded();
}

void Frm_Item_FromIniFile::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Undo)) {
        m_actions->undo();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool Frm_Item_FromIniFile::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseMove && Fra_Items.contains(watched))
        SubP_ClearHighlight();
    return QWidget::eventFilter(watched, event);
}

// --- reload ----------------------------------------------------------------------------------

void Frm_Item_FromIniFile::FollowSettings(SettingsReload *reload)
{
    Form_Load();
    new PaletteReload(
        this, reload, [this] { SubP_Rebuild(); }, [this](const ReloadRefusal &refusal) { SubP_ShowReloadRefused(refusal); });
    m_actions->setReload(reload);
}

void Frm_Item_FromIniFile::SubP_Rebuild()
{
    SubP_ClearItemButtons();
    BuildItemButtons();
    SubP_DropUnusedButtons();
    SubP_SetTabOrder();
    SubP_ShowNotices();
    SubP_InitColor();
    SubP_ShowVersion();
    SubP_TakeKeys();
}

void Frm_Item_FromIniFile::SubP_ClearItemButtons()
{
    SubP_ClearHighlight();
    setWindowTitle(kDesignCaption);
    Lbl_ButtonLink->setProperty(kTag, QVariant());
    Lbl_ButtonLink->setVisible(false);
    for (ButtonLabel *button : std::as_const(Lbl_Button))
        button->setVisible(false);
    m_buttonItems.clear();
    if (Lbl_Notice)
        Lbl_Notice->setVisible(false);
    m_clientHeight = Px(ClientHeight);
    m_noticeRows = 0;
    Fra_Items[0]->resize(Fra_Items[0]->width(), PaletteDesign::Fra_Items.height());
}

void Frm_Item_FromIniFile::SubP_DropUnusedButtons()
{
    // The members that the rebuild did not use; the template, member 0, stays. A rebuild runs
    // from the event loop, never inside a button's own event.
    while (Lbl_Button.size() > 1 && Lbl_Button.last()->isHidden())
        delete Lbl_Button.takeLast();
}

void Frm_Item_FromIniFile::SubP_ShowReloadRefused(const ReloadRefusal &refusal)
{
    if (!Lbl_Notice)
        Lbl_Notice = new ReloadNotice(Fra_Items[0]);
    if (!Lbl_Notice->tell(refusal))
        return;
    Lbl_Notice->setVisible(true);
    SubP_ShowNotices();
}

void Frm_Item_FromIniFile::SubP_ShowNotices()
{
    // One row each below the buttons, where the next buttons would stand.
    const QRect row = Lbl_Button[0]->geometry();
    int rows = 0;
    for (QLabel *notice : {static_cast<QLabel *>(Lbl_Notice), static_cast<QLabel *>(Lbl_KeyNotice)}) {
        if (notice && !notice->isHidden())
            notice->setGeometry(row.translated(0, int(m_buttonItems.size() + rows++) * row.height()));
    }
    const int growth = (rows - m_noticeRows) * row.height();
    m_noticeRows = rows;
    m_clientHeight += growth;
    Fra_Items[0]->resize(Fra_Items[0]->width(), Fra_Items[0]->height() + growth);
    SubP_PlaceWindow();
}

// --- global keys -----------------------------------------------------------------------------

void Frm_Item_FromIniFile::SubP_TakeKeys()
{
    if (Settings)
        m_keys->take(*Settings, m_buttonItems);
}

void Frm_Item_FromIniFile::SubP_ShowKeys()
{
    // Only where a tip changes: each change is an event to the label and its accessible object.
    const auto setTip = [](QWidget *label, const QString &tip) {
        if (label->toolTip() != tip)
            label->setToolTip(tip);
    };
    for (qsizetype i = 0; i < m_buttonItems.size(); ++i)
        setTip(Lbl_Button[i], m_keys->itemKeyTip(m_buttonItems[i].index));
    setTip(Lbl_Button定型[0], m_keys->joinKeyTip());
    // Said once, in one line whose tooltip lists each key not taken with its reason.
    const QStringList refusals = m_keys->refusals();
    if (!refusals.isEmpty() && !Lbl_KeyNotice)
        Lbl_KeyNotice = new KeyNotice(Fra_Items[0]);
    if (!Lbl_KeyNotice)
        return;
    Lbl_KeyNotice->tell(refusals);
    SubP_ShowNotices();
}

void Frm_Item_FromIniFile::SubP_ComeForward()
{
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
    // A global key is the user's request, as a second start is: the window manager lets it in.
    NativeForeground::BringToFront(std::uintptr_t(winId()), QCoreApplication::applicationPid());
    const auto first = std::find_if(Lbl_Button.cbegin(), Lbl_Button.cend(), [this](QWidget *b) { return b->isVisibleTo(this); });
    (first != Lbl_Button.cend() ? *first : Lbl_Button定型[0])->setFocus(Qt::ShortcutFocusReason);
}

// --- colours ---------------------------------------------------------------------------------

void Frm_Item_FromIniFile::SubP_InitColor()
{
    SubP_SetColorBase(SettingsSchema::Base);
    SubP_SetColorTitle(SettingsSchema::Title);
    SubP_SetColorLabel(SettingsSchema::Label);
    SubP_SetColorBack(SettingsSchema::Back);
}

void Frm_Item_FromIniFile::SubP_SetColorBase(const QString &strA_Key)
{
    try {
        SubP_PaintColor(SettingColor(strA_Key), QPalette::Window, QWidgetList{this, Chk_Most} + SubP_Frames());
    } catch (...) {
        ShowTrappedError();
    }
}

void Frm_Item_FromIniFile::SubP_SetColorTitle(const QString &strA_Key)
{
    try {
        SubP_PaintColor(SettingColor(strA_Key), QPalette::WindowText, SubP_Frames());
    } catch (...) {
        ShowTrappedError();
    }
}

void Frm_Item_FromIniFile::SubP_SetColorLabel(const QString &strA_Key)
{
    try {
        SubP_PaintColor(SettingColor(strA_Key), QPalette::WindowText, QWidgetList{Lbl_ButtonLink} + SubP_ButtonLabels());
    } catch (...) {
        ShowTrappedError();
    }
}

void Frm_Item_FromIniFile::SubP_SetColorBack(const QString &strA_Key)
{
    try {
        lngM_BackColor = SettingColor(strA_Key);
        SubP_PaintColor(lngM_BackColor, QPalette::Window, SubP_ButtonLabels());
    } catch (...) {
        ShowTrappedError();
    }
}

void Frm_Item_FromIniFile::SubP_PaintColor(qint32 colorValue, QPalette::ColorRole role, const QWidgetList &widgets)
{
    const QColor color = ValueColor(colorValue);
    for (QWidget *widget : widgets)
        SetColor(widget, role, color);
}

QWidgetList Frm_Item_FromIniFile::SubP_Frames() const
{
    return QWidgetList(Fra_Items.begin(), Fra_Items.end());
}

QWidgetList Frm_Item_FromIniFile::SubP_ButtonLabels() const
{
    return QWidgetList(Lbl_Button定型.begin(), Lbl_Button定型.end()) + QWidgetList(Lbl_Button.begin(), Lbl_Button.end());
}

// --- pointer feedback ------------------------------------------------------------------------

void Frm_Item_FromIniFile::SubP_ClearHighlight()
{
    for (ButtonLabel *label : Lbl_Button定型)
        label->setAutoFillBackground(false);
    for (ButtonLabel *label : Lbl_Button)
        label->setAutoFillBackground(false);
}

void Frm_Item_FromIniFile::SubP_Highlight(ButtonLabel *label)
{
    SubP_ClearHighlight();
    SetColor(label, QPalette::Window, ValueColor(lngM_BackColor));
    label->setAutoFillBackground(true);
}

// --- actions ---------------------------------------------------------------------------------

void Frm_Item_FromIniFile::Lbl_Button_Click(int index)
{
    SubP_ActItem(index, std::nullopt);
}

void Frm_Item_FromIniFile::SubP_ActItem(int index, const std::optional<PaletteActions::Paste> &paste)
{
    ButtonLabel *button = Lbl_Button.value(index);
    if (!button || index >= m_buttonItems.size())
        return;
    const qint32 item = button->property(kTag).toString().toInt();
    m_actions->act(
        button, button->text(), m_buttonItems[index].mode == ButtonItem::Mode::Replace,
        [this, item](const QString &text, const CancelToken *cancel) { return GetItemText(item, text, cancel); }, paste);
}

void Frm_Item_FromIniFile::Lbl_Button定型_Click(int index)
{
    ButtonLabel *button = Lbl_Button定型.value(index, Lbl_Button定型[0]);
    m_actions->act(button, button->text(), true, &ConvertAllLines);
}

void Frm_Item_FromIniFile::Lbl_ButtonLink_Click()
{
    OpenLink(Lbl_ButtonLink->property(kTag).toString());
}

void Frm_Item_FromIniFile::Chk_Most_Click()
{
    mdl_API_Win32::SetWindowTopMost(this, Chk_Most->checkState() == Qt::Checked);
    if (Chk_Most->checkState() == Qt::Checked)
        m_desktopLimits.keepOnTopTicked(Chk_Most);
}

GeneratedText Frm_Item_FromIniFile::GetItemText(qint32 lngA_Index, const QString &strA_Data, const CancelToken *cancel)
{
    // DataGet traps every failure itself and returns it with its reason. It runs on the action's
    // worker thread, the only user of Settings meanwhile.
    if (!Settings) {
        return GeneratedText{GeneratedText::Outcome::ReadFailed,
                             QString(),
                             {ErrorNumber::ObjectNotSet, ErrorDescription(ErrorNumber::ObjectNotSet), ApplicationTitle()},
                             -1};
    }
    return Settings->DataGet(lngA_Index, strA_Data, cancel);
}

bool Frm_Item_FromIniFile::OpenLink(const QString &strA_Link)
{
    try {
        mdl_API_Shell32::ShellExecuteOpen(mdl_API_Win32::GetDesktopWindow(), strA_Link);
        return true;
    } catch (...) {
        ShowTrappedError();
        return false;
    }
}
