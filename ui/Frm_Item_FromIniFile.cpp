#include "ui/Frm_Item_FromIniFile.h"

#include "app/mdl_API_Shell32.h"
#include "app/mdl_API_Win32.h"
#include "app/mdl_All.h"
#include "app/mdl_ErrorFunction.h"
#include "settings/CancelToken.h"
#include "settings/ColorText.h"
#include "settings/WordJoining.h"
#include "ui/ButtonLabel.h"
#include "ui/ClipboardText.h"
#include "ui/DesignFonts.h"
#include "ui/PaletteDesign.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGroupBox>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QThread>
#include <QTimer>

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

Cls_MySettingFile &TheSettings()
{
    if (!Settings)
        throw RuntimeError(ErrorNumber::ObjectNotSet);
    return *Settings;
}

// A wait cursor for as long as an action works on the clipboard.
class BusyCursor {
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

// Marks the window as acting for as long as an action runs.
class ActingScope {
public:
    explicit ActingScope(bool &isActing) : m_isActing(isActing) { m_isActing = true; }
    ~ActingScope() { m_isActing = false; }
    ActingScope(const ActingScope &) = delete;
    ActingScope &operator=(const ActingScope &) = delete;

private:
    bool &m_isActing;
};

// Work that ends sooner shows only the wait cursor.
constexpr int kProgressDelayMs = 500;

const QString kClipboardKept = QStringLiteral("クリップボードの内容はそのままです。");

QString BusyClipboardMessage()
{
    return QStringLiteral("クリップボードを使用できませんでした。ほかのプログラムが使用中かもしれません。\r\n")
        + kClipboardKept;
}

QString ItemFailureMessage(const QString &name, const GeneratedText &result)
{
    QString reason = QStringLiteral("%1 %2").arg(result.error.number).arg(result.error.description);
    if (result.patternOffset >= 0)
        reason += QStringLiteral("（パターンの %1 文字目）").arg(result.patternOffset + 1);
    return QStringLiteral("「%1」の文字列を作れませんでした。\r\n%2\r\n").arg(name, reason) + kClipboardKept;
}

}

Frm_Item_FromIniFile::Frm_Item_FromIniFile(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    SubP_CreateControls();
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
    setWindowTitle(QStringLiteral("Tavrelo"));
    setWindowIcon(QIcon(QStringLiteral(":/tavrelo.png")));
    setFont(DesignFont(GothicFamily(), WindowFontSize));
    setAutoFillBackground(true);
    SetColor(this, QPalette::Window, RgbColor(BaseColor));
    m_clientHeight = Px(ClientHeight);
    resize(Px(ClientWidth), m_clientHeight);

    Cmd_Dummy = new QPushButton(QStringLiteral("Command1"), this);
    Cmd_Dummy->setObjectName(QStringLiteral("Cmd_Dummy"));
    Cmd_Dummy->setGeometry(PaletteDesign::Cmd_Dummy);

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

    auto *frame = new QGroupBox(QStringLiteral("設定内容"));
    frame->setObjectName(QStringLiteral("Fra_Items_0"));
    frame->setFont(DesignFont(SerifFamily(), FrameFontSize, QFont::Bold));
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
    // A move over the check box is not a move over the bare frame.
    Chk_Most->setAttribute(Qt::WA_NoMousePropagation);
    connect(Chk_Most, &QCheckBox::clicked, this, &Frm_Item_FromIniFile::Chk_Most_Click);

    Lbl_Button定型.append(SubP_NewLabel(QStringLiteral("Lbl_Button定型_0"), PaletteDesign::Lbl_Button定型));
    Lbl_Button定型[0]->setText(QStringLiteral("空白詰め＋先頭大文字化"));
    SubP_ConnectButton(Lbl_Button定型[0], true);

    Lbl_ButtonLink = SubP_NewLabel(QStringLiteral("Lbl_ButtonLink"), PaletteDesign::Lbl_ButtonLink);
    Lbl_ButtonLink->setText(QStringLiteral("link"));
    Lbl_ButtonLink->setFont(DesignFont(GothicFamily(), LinkFontSize));
    Lbl_ButtonLink->setToolTip(QStringLiteral("Web翻訳ページを開きます。"));
    Lbl_ButtonLink->setVisible(false);
    connect(Lbl_ButtonLink, &ButtonLabel::MouseDown, this, [this] {
        QFont font = Lbl_ButtonLink->font();
        font.setPointSizeF(font.pointSizeF() - 1);
        Lbl_ButtonLink->setFont(font);
    });
    connect(Lbl_ButtonLink, &ButtonLabel::MouseUp, this, [this] {
        QFont font = Lbl_ButtonLink->font();
        font.setPointSizeF(LinkRestSize);
        Lbl_ButtonLink->setFont(font);
    });
    connect(Lbl_ButtonLink, &ButtonLabel::Click, this, &Frm_Item_FromIniFile::Lbl_ButtonLink_Click);

    const QRect lines[] = {PaletteDesign::Line1_0, PaletteDesign::Line1_1};
    const unsigned lineColors[] = {LineGrey, LineWhite};
    for (int i = 0; i < 2; ++i) {
        auto *line = new QFrame(frame);
        line->setObjectName(QStringLiteral("Line1_%1").arg(i));
        line->setGeometry(lines[i]);
        line->setAutoFillBackground(true);
        SetColor(line, QPalette::Window, RgbColor(lineColors[i]));
        Line1.append(line);
    }

    Lbl_Button.append(SubP_NewLabel(QStringLiteral("Lbl_Button_0"), PaletteDesign::Lbl_Button));
    Lbl_Button[0]->setText(QStringLiteral("Private宣言"));
    Lbl_Button[0]->setVisible(false);
    SubP_ConnectButton(Lbl_Button[0], false);

    setTabOrder(Cmd_Dummy, Chk_Most);
    Cmd_Dummy->setFocus();
}

void Frm_Item_FromIniFile::SubP_ConnectButton(ButtonLabel *label, bool isFixedButton)
{
    QList<ButtonLabel *> &array = isFixedButton ? Lbl_Button定型 : Lbl_Button;
    connect(label, &ButtonLabel::MouseMove, this, [this, label] { SubP_Highlight(label); });
    connect(label, &ButtonLabel::MouseDown, this, [label] {
        QFont font = label->font();
        font.setPointSizeF(font.pointSizeF() - 1);
        label->setFont(font);
    });
    connect(label, &ButtonLabel::MouseUp, this, [label] {
        QFont font = label->font();
        font.setPointSizeF(ButtonRestSize);
        label->setFont(font);
    });
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
    SubP_PlaceWindow();
    raise();
    activateWindow();
    SubP_InitColor();
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
        for (qint32 index = 0; index <= 99; ++index) {
            if (!settings.SetDataPrepare(index))
                continue;
            const QString name = settings.GetName();
            if (name.isEmpty())
                continue;
            ButtonLabel *button = Lbl_Button[0];
            if (count > 0) {
                button = SubP_AddButtonMember();
                currentTop = Lbl_Button[count - 1]->y() + Lbl_Button[count - 1]->height();
            }
            button->setGeometry(templateLeft, currentTop, button->width(), templateHeight);
            button->setVisible(true);
            button->setText(name);
            button->setProperty(kTag, QString::number(index));
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

void Frm_Item_FromIniFile::SubP_PlaceWindow()
{
    QRect screenRect = m_screenGeometry;
    if (!screenRect.isValid() && screen())
        screenRect = screen()->geometry();
    // Before the desktop has framed the window, its outer size is its inside size.
    const QSize frameExtra = frameGeometry().size() - size();

    // The caption bar stays on the screen: what does not fit scrolls.
    const int highestClient = screenRect.height() - Px(ScreenBottomGap) - frameExtra.height();
    const bool isScrolling = m_clientHeight > highestClient && highestClient > 0;
    const int clientHeight = isScrolling ? highestClient : m_clientHeight;
    int clientWidth = Px(ClientWidth);
    if (isScrolling)
        clientWidth += style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, Scr_Items->verticalScrollBar());

    setFixedSize(clientWidth, clientHeight);
    Scr_Items->setGeometry(0, 0, clientWidth, clientHeight);

    const int outerWidth = clientWidth + frameExtra.width();
    const int outerHeight = clientHeight + frameExtra.height();
    move(screenRect.x() + screenRect.width() - outerWidth - Px(ScreenRightGap),
         screenRect.y() + screenRect.height() - outerHeight - Px(ScreenBottomGap));
}

void Frm_Item_FromIniFile::showEvent(QShowEvent *event)
{
    Form_Load();
    QWidget::showEvent(event);
}

bool Frm_Item_FromIniFile::event(QEvent *event)
{
    const bool result = QWidget::event(event);
    // The desktop adds its frame after the first placement; place once more with the real
    // outer size, before the user has had a chance to move the window.
    if ((event->type() == QEvent::Move || event->type() == QEvent::Resize) && m_isLoaded && !m_isPlacedInFrame
        && isVisible() && frameGeometry().size() != size()) {
        m_isPlacedInFrame = true;
        SubP_PlaceWindow();
    }
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

// --- colours ---------------------------------------------------------------------------------

void Frm_Item_FromIniFile::SubP_InitColor()
{
    SubP_SetColorBase(QStringLiteral("Base"));
    SubP_SetColorTitle(QStringLiteral("Title"));
    SubP_SetColorLabel(QStringLiteral("Label"));
    SubP_SetColorBack(QStringLiteral("Back"));
}

void Frm_Item_FromIniFile::SubP_SetColorBase(const QString &strA_Key)
{
    try {
        const QColor color = ValueColor(ToColor(TheSettings().Color().Gets(strA_Key)));
        SetColor(this, QPalette::Window, color);
        SetColor(Chk_Most, QPalette::Window, color);
        for (QGroupBox *frame : Fra_Items)
            SetColor(frame, QPalette::Window, color);
    } catch (...) {
        ShowTrappedError();
    }
}

void Frm_Item_FromIniFile::SubP_SetColorTitle(const QString &strA_Key)
{
    try {
        const QColor color = ValueColor(ToColor(TheSettings().Color().Gets(strA_Key)));
        for (QGroupBox *frame : Fra_Items)
            SetColor(frame, QPalette::WindowText, color);
    } catch (...) {
        ShowTrappedError();
    }
}

void Frm_Item_FromIniFile::SubP_SetColorLabel(const QString &strA_Key)
{
    try {
        const QColor color = ValueColor(ToColor(TheSettings().Color().Gets(strA_Key)));
        SetColor(Lbl_ButtonLink, QPalette::WindowText, color);
        for (ButtonLabel *label : Lbl_Button定型)
            SetColor(label, QPalette::WindowText, color);
        for (ButtonLabel *label : Lbl_Button)
            SetColor(label, QPalette::WindowText, color);
    } catch (...) {
        ShowTrappedError();
    }
}

void Frm_Item_FromIniFile::SubP_SetColorBack(const QString &strA_Key)
{
    try {
        lngM_BackColor = ToColor(TheSettings().Color().Gets(strA_Key));
        const QColor color = ValueColor(lngM_BackColor);
        for (ButtonLabel *label : Lbl_Button定型)
            SetColor(label, QPalette::Window, color);
        for (ButtonLabel *label : Lbl_Button)
            SetColor(label, QPalette::Window, color);
    } catch (...) {
        ShowTrappedError();
    }
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
    if (!button || m_isActing)
        return;
    const ActingScope acting(m_isActing);
    QString prompt;
    {
        BusyCursor busy;
        const std::optional<QString> given = GetClipboardText();
        if (!given) {
            prompt = BusyClipboardMessage();
        } else {
            const qint32 item = button->property(kTag).toString().toInt();
            const GeneratedText result
                = SubP_RunWork([this, item, &given](const CancelToken *cancel) { return GetItemText(item, *given, cancel); });
            if (result.ok()) {
                if (SubP_SetClipboardText(result.text))
                    m_undoText = *given;
                else
                    prompt = BusyClipboardMessage();
            } else if (result.outcome != GeneratedText::Outcome::Cancelled) {
                // The clipboard stays as it was; a stop by the user's 中止 needs no box.
                prompt = ItemFailureMessage(button->text(), result);
            }
        }
    }
    if (!prompt.isEmpty())
        ShowMessageBox(MsgBox::Exclamation, prompt);
}

void Frm_Item_FromIniFile::Lbl_Button定型_Click(int index)
{
    if (m_isActing)
        return;
    const ActingScope acting(m_isActing);
    QString prompt;
    {
        BusyCursor busy;
        const std::optional<QString> given = GetClipboardText();
        if (!given) {
            prompt = BusyClipboardMessage();
        } else {
            const GeneratedText result
                = SubP_RunWork([&given](const CancelToken *cancel) { return ConvertAllLines(*given, cancel); });
            if (result.ok()) {
                if (SubP_SetClipboardText(result.text))
                    m_undoText = *given;
                else
                    prompt = BusyClipboardMessage();
            } else if (result.outcome != GeneratedText::Outcome::Cancelled) {
                // The clipboard stays as it was; a stop by the user's 中止 needs no box.
                prompt = ItemFailureMessage(Lbl_Button定型.value(index, Lbl_Button定型[0])->text(), result);
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
    if (!m_undoText)
        return;
    bool isWritten = false;
    {
        BusyCursor busy;
        isWritten = SubP_SetClipboardText(*m_undoText);
    }
    if (isWritten)
        m_undoText.reset();
    else
        ShowMessageBox(MsgBox::Exclamation, BusyClipboardMessage());
}

void Frm_Item_FromIniFile::Lbl_ButtonLink_Click()
{
    OpenLink(Lbl_ButtonLink->property(kTag).toString());
}

void Frm_Item_FromIniFile::Chk_Most_Click()
{
    mdl_API_Win32::SetWindowTopMost(this, Chk_Most->checkState() == Qt::Checked);
}

std::optional<QString> Frm_Item_FromIniFile::GetClipboardText()
{
    QString text;
    if (!ReadClipboardText(text))
        return std::nullopt;
    return text;
}

bool Frm_Item_FromIniFile::SubP_SetClipboardText(const QString &strA_Text)
{
    return WriteClipboardText(strA_Text);
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
