#pragma once

#include <QString>
#include <QtGlobal>

namespace mdl_API_Shell32 {

// Hands a path or address to the desktop's default handler.
class LinkOpener {
public:
    virtual ~LinkOpener() = default;
    // Returns 33 or more when the desktop accepted the request, else one of the shell's
    // error codes (2 file not found, 3 path not found, 31 no association, ...).
    virtual qint32 open(quintptr hWnd, const QString &target) = 0;
};

// Not owned; nullptr restores the platform's opener. Tests install a recording one.
void SetLinkOpener(LinkOpener *opener);

// Opens strA_File with the verb "open". A refusal is told in a message box with the shell's
// reason ("File not found", "No association for file extension", ...); returns false then.
bool ShellExecuteOpen(quintptr lngA_hWnd, const QString &strA_File);

// The message for a shell error code of 32 or less.
QString ShellErrorMessage(qint32 code);

}
