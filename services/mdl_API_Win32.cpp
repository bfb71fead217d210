#include "services/mdl_API_Win32.h"

#include "platform/NativeWindow.h"

#include <QWidget>
#include <QWindow>

namespace mdl_API_Win32 {

void SetWindowTopMost(QWidget *frmA_Window, bool isTopMost)
{
    if (!frmA_Window)
        return;
    // QWidget::setWindowFlag would hide the window; telling only the widget keeps a later
    // re-creation of the native window (which copies the widget's flags) in the same band.
    frmA_Window->overrideWindowFlags(isTopMost ? frmA_Window->windowFlags() | Qt::WindowStaysOnTopHint
                                               : frmA_Window->windowFlags() & ~Qt::WindowStaysOnTopHint);
    const WId handle = frmA_Window->winId();
    if (QWindow *window = frmA_Window->windowHandle())
        window->setFlag(Qt::WindowStaysOnTopHint, isTopMost);
    NativeWindow::SetTopMost(handle, isTopMost);
}

quintptr GetDesktopWindow()
{
    return NativeWindow::DesktopWindow();
}

}
