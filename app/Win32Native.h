#pragma once

#include <QString>
#include <QtGlobal>

#ifdef Q_OS_WIN
// The user32 and shell32 calls live in mdl_API_Win32.cpp, the one file that includes
// <windows.h>: its GetDesktopWindow would clash with the one in mdl_API_Shell32.h.
quintptr NativeDesktopWindow();
// ShellExecuteW's result: above 32 on success, else the shell's error code.
qint32 NativeShellExecuteOpen(quintptr hWnd, const QString &file);
#endif
