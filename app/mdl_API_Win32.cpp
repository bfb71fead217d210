#include "app/mdl_API_Win32.h"
#include "app/Win32Native.h"

#include <QWidget>
#include <QWindow>

#ifdef Q_OS_WIN
#include <windows.h>
#include <shellapi.h>
#endif

void SetWindowTopMost(QWidget *frmA_Window, bool isTopMost)
{
    if (!frmA_Window)
        return;
    // QWidget::setWindowFlag would hide the window; telling only the widget keeps a later
    // re-creation of the native window (which copies the widget's flags) in the same band.
    frmA_Window->overrideWindowFlags(isTopMost ? frmA_Window->windowFlags() | Qt::WindowStaysOnTopHint
                                               : frmA_Window->windowFlags() & ~Qt::WindowStaysOnTopHint);
    frmA_Window->winId();
    if (QWindow *window = frmA_Window->windowHandle())
        window->setFlag(Qt::WindowStaysOnTopHint, isTopMost);
#ifdef Q_OS_WIN
    SetWindowPos(reinterpret_cast<HWND>(frmA_Window->winId()), isTopMost ? HWND_TOPMOST : HWND_NOTOPMOST,
                 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
#endif
}

#ifdef Q_OS_WIN
quintptr NativeDesktopWindow()
{
    return reinterpret_cast<quintptr>(::GetDesktopWindow());
}

qint32 NativeShellExecuteOpen(quintptr hWnd, const QString &file)
{
    const HINSTANCE result = ShellExecuteW(reinterpret_cast<HWND>(hWnd), L"open",
                                           reinterpret_cast<LPCWSTR>(file.utf16()), L"", L"", SW_SHOWNORMAL);
    return static_cast<qint32>(reinterpret_cast<INT_PTR>(result));
}
#endif
