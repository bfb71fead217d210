#include "ui/Frm_Item_FromIniFile.h"

#include "base/CancelToken.h"
#include "base/mdl_ErrorFunction.h"
#include "platform/NativeWindowFrame.h"
#include "services/mdl_API_Shell32.h"
#include "services/mdl_API_Win32.h"
#include "services/mdl_All.h"
#include "settings/ColorText.h"
#include "settings/SettingsReload.h"
#include "settings/SettingsSchema.h"
#include "settings/WordJoining.h"
#include "ui/ButtonLabel.h"
#include "ui/DesignFonts.h"
#include "ui/EtchedFrame.h"
#include "ui/ItemFailureText.h"
#include "ui/PaletteAccessibility.h"
#include "ui/PaletteDesign.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGroupBox>
#include <QGuiApplication>
#include <QIcon>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QMoveEvent>
#include <QPixmap>
#include <QProgressDialog>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QThread>
#include <QTimer>
#include <QToolTip>
#include <QWindow>

#include <algorithm>

using namespace PaletteDesign;

namespace {

// The dynamic property that carries a label's tag: an item index as text, or the link.
constexpr const char *kTag = "tag";

QColor RgbColor(unsigned rrggbb)
{
    return QColor::fromRgb(QRgb(rrggbb));
}

QColor ValueColor(qint32 colorValue)
{
    return QColor(ColorRed(colorValue), ColorGreen(colorValue), ColorBlue(colorValue));
}

void SetColor(QWidget *widget, QPalette::ColorRole role, const QColor &color)
{
    QPalette palette = widget->palette();
    palette.setColor(role, color);
    widget->setPalette(palette);
}

void SetPointSize(QWidget *widget, double points)
{
    QFont font = widget->font();
    font.setPointSizeF(points);
    widget->setFont(font);
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

// A wait cursor for as long as an action works on the clipboard.
class BusyCursor {
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

// Marks the window as acting for as long as an action runs; a reload waits meanwhile, as the
// action works on the settings the window has.
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

// The window system's pixels are the toolkit's but under a scale factor, which keeps the screen's
// origin where it is.
double NativeScale(const QWidget *window)
{
    return window->windowHandle() ? window->windowHandle()->devicePixelRatio() : 1.0;
}

QPoint FromNative(const QWidget *window, int x, int y)
{
    const double scale = NativeScale(window);
    const QPoint origin = window->screen() ? window->screen()->geometry().topLeft() : QPoint();
    return origin + QPoint(qRound((x - origin.x()) / scale), qRound((y - origin.y()) / scale));
}

QMargins FromNative(const QWidget *window, const WindowFrameWatch::Extents &frame)
{
    const double scale = NativeScale(window);
    return QMargins(qRound(frame.left / scale), qRound(frame.top / scale), qRound(frame.right / scale),
                    qRound(frame.bottom / scale));
}

// Work that ends sooner shows only the wait cursor.
constexpr int kProgressDelayMs = 500;

const QString kClipboardKept = QStringLiteral("クリップボードの内容はそのままです。");

QString BusyClipboardMessage()
{
    return QStringLiteral("クリップボードを使用できませんでした。ほかのプログラムが使用中かもしれません。\r\n")
        + kClipboardKept;
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

// The user does not resize the palette: its size limits are its size. They are the native
// window's own, set before the geometry: the widget's limits would clamp that geometry, or resize
// the window on their own first. Each is set in the order that never lets the window be resized
// even for a moment, since a window manager frames a window that may be resized otherwise
// (openbox adds a handle at the bottom, and now and then keeps it).
void FixSize(QWindow &window, const QSize &size)
{
    if (size.width() >= window.maximumWidth() && size.height() >= window.maximumHeight()) {
        window.setMinimumSize(size);
        window.setMaximumSize(size);
    } else {
        window.setMaximumSize(size);
        window.setMinimumSize(size);
    }
}

// Read as what it is: an image reader left to find out the format loads every image format
// plug-in to ask it, a third of a megabyte for one picture.
QIcon PaletteIcon()
{
    QImageReader reader(QStringLiteral(":/tavrelo.png"), "png");
    reader.setAutoDetectImageFormat(false);
    return QIcon(QPixmap::fromImage(reader.read()));
}

QString ItemFailureMessage(const QString &name, const GeneratedText &result)
{
    return ItemFailureText(name, result) + QStringLiteral("\r\n") + kClipboardKept;
}

}

Frm_Item_FromIniFile::Frm_Item_FromIniFile(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    InstallPaletteAccessibility();
    SubP_CreateControls();
    SubP_WatchFrame();
}

Frm_Item_FromIniFile::~Frm_Item_FromIniFile() = default;

void Frm_Item_FromIniFile::SubP_WatchFrame()
{
    WindowFrameWatch::Listener listener;
    listener.frameChanged = [this](const WindowFrameWatch::Extents &frame) {
        if (m_placement.setFrame(FromNative(this, frame)))
            SubP_PlaceWindowLater();
    };
    listener.placed = [this](int x, int y) {
        if (m_placement.reported(FromNative(this, x, y)))
            SubP_PlaceWindowLater();
    };
    listener.told = [this](int x, int y) { m_placement.told(FromNative(this, x, y)); };
    listener.reframed = [this] {
        if (m_placement.reframed())
            SubP_PlaceWindowLater();
    };
    m_frameWatch = std::make_unique<WindowFrameWatch>([this] { return std::uintptr_t(internalWinId()); }, std::move(listener));
}

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

    auto *frame = new EtchedFrame(QStringLiteral("設定内容"), DesignFont(SerifFamily(), FrameFontSize, QFont::Bold));
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
    Chk_Most->setToolTip(kKeepOnTop);
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
    m_screenGeometry = screen;
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
}

void Frm_Item_FromIniFile::SubP_ShowVersion()
{
    if (Settings && Settings->IsShowVersion()) {
        setWindowTitle(windowTitle()
                       + QStringLiteral(" ver%1.%2.%3")
                             .arg(TAVRELO_VERSION_MAJOR)
                             .arg(TAVRELO_VERSION_MINOR)
                             .arg(TAVRELO_VERSION_PATCH));
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
    m_isPlacementQueued = false;
    QRect screenRect = m_screenGeometry;
    if (!screenRect.isValid() && screen())
        screenRect = screen()->geometry();
    m_placement.setScreen(screenRect);
    // The desktop's frame around the inside: caption bar and borders. Where the window manager
    // tells it (X11), as it has told it so far, before mapping when it answers the request; the
    // watch follows what it tells later. Elsewhere the toolkit knows it before the window shows.
    if (m_frameWatch->isWatching()) {
        if (const std::optional<WindowFrameWatch::Extents> frame = m_frameWatch->extents())
            m_placement.setFrame(FromNative(this, *frame));
    } else {
        m_placement.setFrame(windowHandle() ? windowHandle()->frameMargins() : QMargins());
    }

    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, Scr_Items->verticalScrollBar());
    const WindowPlacement::Decision decision = m_placement.place(QSize(Px(ClientWidth), m_clientHeight), scrollBar);
    if (QWindow *window = windowHandle())
        FixSize(*window, decision.inside.size());
    // One request to the window system, which the size limits now allow.
    setGeometry(decision.inside);
    Scr_Items->setGeometry(QRect(QPoint(), decision.inside.size()));
}

void Frm_Item_FromIniFile::SubP_PlaceWindowLater()
{
    if (!m_isLoaded || m_isPlacementQueued)
        return;
    m_isPlacementQueued = true;
    QTimer::singleShot(0, this, [this] {
        if (m_isPlacementQueued)
            SubP_PlaceWindow();
    });
}

void Frm_Item_FromIniFile::showEvent(QShowEvent *event)
{
    // Before the window is mapped, which follows this event.
    m_frameWatch->requestExtents();
    Form_Load();
    QWidget::showEvent(event);
}

void Frm_Item_FromIniFile::moveEvent(QMoveEvent *event)
{
    // Where the toolkit reports every move itself, it is the report of the window's place.
    if (!m_frameWatch->isWatching() && m_isLoaded && m_placement.reported(geometry().topLeft()))
        SubP_PlaceWindowLater();
    QWidget::moveEvent(event);
}

bool Frm_Item_FromIniFile::event(QEvent *event)
{
    const bool result = QWidget::event(event);
    // Where the toolkit knows the frame itself, a frame that changes (known once the native window
    // exists) moves the window as long as the user has not.
    if (m_isLoaded && !m_frameWatch->isWatching() && isVisible() && windowHandle()
        && windowHandle()->frameMargins() != m_placement.frame() && m_placement.isFollowing())
        SubP_PlaceWindowLater();
    return result;
}

void Frm_Item_FromIniFile::closeEvent(QCloseEvent *event)
{
    if (m_runningWork)
        m_runningWork->cancel();
    event->accept();
    emit Unloaded();
}

void Frm_Item_FromIniFile::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Undo)) {
        if (!m_isActing)
            SubP_Undo();
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

void Frm_Item_FromIniFile::changeEvent(QEvent *event)
{
    // A share may send no notifications of a save: activating the palette checks the file.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_reload)
        m_reload->check();
    QWidget::changeEvent(event);
}

// --- reload ----------------------------------------------------------------------------------

void Frm_Item_FromIniFile::FollowSettings(SettingsReload *reload)
{
    Form_Load();
    m_reload = reload;
    connect(reload, &SettingsReload::reloaded, this, [this] {
        if (std::unique_ptr<Cls_MySettingFile> settings = m_reload->takeSettings()) {
            Settings = std::move(settings);
            SubP_Rebuild();
        }
    });
    connect(reload, &SettingsReload::refused, this, &Frm_Item_FromIniFile::SubP_ShowReloadRefused);
    reload->setBusy(m_isActing);
}

void Frm_Item_FromIniFile::SubP_Rebuild()
{
    SubP_ClearItemButtons();
    BuildItemButtons();
    SubP_DropUnusedButtons();
    SubP_SetTabOrder();
    SubP_PlaceWindow();
    SubP_InitColor();
    SubP_ShowVersion();
}

void Frm_Item_FromIniFile::SubP_ClearItemButtons()
{
    SubP_ClearHighlight();
    setWindowTitle(kDesignCaption);
    Lbl_ButtonLink->setProperty(kTag, QVariant());
    Lbl_ButtonLink->setVisible(false);
    for (ButtonLabel *button : std::as_const(Lbl_Button))
        button->setVisible(false);
    if (Lbl_Notice)
        Lbl_Notice->setVisible(false);
    m_clientHeight = Px(ClientHeight);
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
    if (!Lbl_Notice) {
        // No colours of its own: the frame's caption colour, which reads on the frame.
        Lbl_Notice = new QLabel(Fra_Items[0]);
        Lbl_Notice->setObjectName(QStringLiteral("Lbl_Notice"));
        Lbl_Notice->setFont(font());
        Lbl_Notice->setTextFormat(Qt::PlainText);
        Lbl_Notice->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        Lbl_Notice->setText(ReloadRefusedNotice());
        Lbl_Notice->setVisible(false);
    }
    const QString message = ReloadRefusedMessage(refusal);
    Lbl_Notice->setToolTip(message);
    Lbl_Notice->setAccessibleDescription(message);
    // Said once: a further refusal changes only the reason.
    if (!Lbl_Notice->isHidden())
        return;

    const ButtonLabel *templateLabel = Lbl_Button[0];
    const auto rows = std::count_if(Lbl_Button.cbegin(), Lbl_Button.cend(), [](const ButtonLabel *b) { return !b->isHidden(); });
    // One row below the buttons, where the next would stand.
    Lbl_Notice->setGeometry(templateLabel->x(), templateLabel->y() + int(rows) * templateLabel->height(), templateLabel->width(),
                            templateLabel->height());
    m_clientHeight += templateLabel->height();
    Fra_Items[0]->resize(Fra_Items[0]->width(), Fra_Items[0]->height() + templateLabel->height());
    Lbl_Notice->setVisible(true);
    SubP_PlaceWindow();
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
    ButtonLabel *button = Lbl_Button.value(index);
    // A running action's worker uses Settings, which SubP_IsRewrite would ask at the same time.
    if (!button || m_isActing)
        return;
    const qint32 item = button->property(kTag).toString().toInt();
    SubP_Act(button, SubP_IsRewrite(item), [this, item](const QString &text, const CancelToken *cancel) {
        return GetItemText(item, text, cancel);
    });
}

void Frm_Item_FromIniFile::Lbl_Button定型_Click(int index)
{
    SubP_Act(Lbl_Button定型.value(index, Lbl_Button定型[0]), true, &ConvertAllLines);
}

bool Frm_Item_FromIniFile::SubP_IsRewrite(qint32 lngA_Index)
{
    // Asked only while no action runs, so that nothing else uses Settings. An item that cannot be
    // read counts as a rewrite: its failure is then told as it is.
    try {
        return !Settings || !Settings->SetDataPrepare(lngA_Index) || Settings->isReg();
    } catch (...) {
        return true;
    }
}

void Frm_Item_FromIniFile::SubP_Act(ButtonLabel *button, bool isRewrite, const TextWork &work)
{
    if (m_isActing)
        return;
    const ActingScope acting(m_isActing, m_reload);
    const QString name = button->text();
    QString prompt;
    {
        BusyCursor busy;
        std::optional<ClipboardSnapshot> given = GetClipboardText();
        if (!given) {
            prompt = BusyClipboardMessage();
        } else if (isRewrite && given->isWithoutText) {
            // Nothing to rewrite: the picture or file list stays, and so does what Ctrl+Z undoes.
            // A notice rather than a box: it asks for nothing and goes by itself.
            QToolTip::showText(button->mapToGlobal(QPoint(0, button->height())), NoTextNotice(), button);
        } else {
            const GeneratedText result =
                SubP_RunWork([&given, &work](const CancelToken *cancel) { return work(given->text, cancel); });
            if (result.ok()) {
                if (SubP_SetClipboardText(result.text))
                    m_undoSnapshot = std::move(given);
                else
                    prompt = BusyClipboardMessage();
            } else if (result.outcome != GeneratedText::Outcome::Cancelled) {
                // The clipboard stays as it was; a stop by the user's 中止 needs no box.
                prompt = ItemFailureMessage(name, result);
            }
        }
    }
    if (!prompt.isEmpty())
        ShowMessageBox(MsgBox::Exclamation, prompt);
}

GeneratedText Frm_Item_FromIniFile::SubP_RunWork(const std::function<GeneratedText(const CancelToken *)> &work)
{
    // The worker is the only user of Settings while it runs: the window drops clicks and Ctrl+Z
    // until it has ended (m_isActing), and nothing else touches Settings after loading.
    CancelToken cancel;
    GeneratedText result;
    QEventLoop loop;
    const std::unique_ptr<QThread> worker(QThread::create([&] { result = work(&cancel); }));
    connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);

    std::unique_ptr<QProgressDialog> progress;
    QTimer delay;
    delay.setSingleShot(true);
    connect(&delay, &QTimer::timeout, this, [&] {
        progress = std::make_unique<QProgressDialog>(QStringLiteral("処理しています…"), QStringLiteral("中止"), 0, 0, this);
        progress->setObjectName(QStringLiteral("Dlg_Progress"));
        progress->setWindowTitle(windowTitle());
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

void Frm_Item_FromIniFile::SubP_Undo()
{
    if (!m_undoSnapshot)
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

void Frm_Item_FromIniFile::Lbl_ButtonLink_Click()
{
    OpenLink(Lbl_ButtonLink->property(kTag).toString());
}

void Frm_Item_FromIniFile::Chk_Most_Click()
{
    mdl_API_Win32::SetWindowTopMost(this, Chk_Most->checkState() == Qt::Checked);
}

std::optional<ClipboardSnapshot> Frm_Item_FromIniFile::GetClipboardText()
{
    ClipboardSnapshot snapshot;
    if (!ReadClipboardSnapshot(ClipboardMode::Clipboard, snapshot))
        return std::nullopt;
    return snapshot;
}

bool Frm_Item_FromIniFile::SubP_SetClipboardText(const QString &strA_Text)
{
    return WriteClipboardText(ClipboardMode::Clipboard, strA_Text);
}

GeneratedText Frm_Item_FromIniFile::GetItemText(qint32 lngA_Index, const QString &strA_Data, const CancelToken *cancel)
{
    // GenerateText traps every failure itself and returns it with its reason.
    if (!Settings) {
        return GeneratedText{GeneratedText::Outcome::ReadFailed, QString(),
                             {ErrorNumber::ObjectNotSet, ErrorDescription(ErrorNumber::ObjectNotSet), ApplicationTitle()}, -1};
    }
    return Settings->GenerateText(lngA_Index, strA_Data, cancel);
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
