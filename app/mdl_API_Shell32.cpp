#include "app/mdl_API_Shell32.h"
#include "app/Win32Native.h"
#include "app/mdl_ErrorFunction.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace {

#ifndef Q_OS_WIN
constexpr qint32 Accepted = 42;
constexpr qint32 FileNotFound = 2;
constexpr qint32 PathNotFound = 3;
constexpr qint32 NoAssociation = 31;
#endif

class DesktopLinkOpener : public LinkOpener {
public:
    qint32 open(quintptr hWnd, const QString &target) override
    {
#ifdef Q_OS_WIN
        return NativeShellExecuteOpen(hWnd, target);
#else
        Q_UNUSED(hWnd);
        // A leading dot can only start a relative path, never a host name.
        const QUrl::UserInputResolutionOptions options =
            target.startsWith(u'.') ? QUrl::AssumeLocalFile : QUrl::DefaultResolution;
        const QUrl url = QUrl::fromUserInput(target, QDir::currentPath(), options);
        if (!url.isValid())
            return FileNotFound;
        if (url.isLocalFile()) {
            const QFileInfo info(url.toLocalFile());
            if (!info.exists())
                return info.absoluteDir().exists() ? FileNotFound : PathNotFound;
        }
        // The URL reaches the handler as one argument; no shell parses it.
        return QDesktopServices::openUrl(url) ? Accepted : NoAssociation;
#endif
    }
};

LinkOpener *&openerSlot()
{
    static LinkOpener *opener = nullptr;
    return opener;
}

LinkOpener &currentOpener()
{
    static DesktopLinkOpener desktop;
    LinkOpener *installed = openerSlot();
    return installed ? *installed : desktop;
}

}

void SetLinkOpener(LinkOpener *opener)
{
    openerSlot() = opener;
}

quintptr GetDesktopWindow()
{
#ifdef Q_OS_WIN
    return NativeDesktopWindow();
#else
    return 0;
#endif
}

bool ShellExecuteOpen(quintptr lngA_hWnd, const QString &strA_File)
{
    try {
        const qint32 result = currentOpener().open(lngA_hWnd, strA_File);
        if (result > 32)
            return true;
        ShowMessageBox(MsgBox::OkOnly, ShellErrorMessage(result));
        return false;
    } catch (...) {
        RecordCurrentException();
        ShowErrorBox();
        return false;
    }
}

QString ShellErrorMessage(qint32 code)
{
    switch (code) {
    case 2: return QStringLiteral("File not found");
    case 3: return QStringLiteral("Path not found");
    case 5: return QStringLiteral("Access denied");
    case 8: return QStringLiteral("Out of memory");
    case 11: return QStringLiteral("Invalid EXE file or error in EXE image");
    case 26: return QStringLiteral("A sharing violation occurred");
    case 27: return QStringLiteral("Incomplete or invalid file association");
    case 28: return QStringLiteral("DDE Time out");
    case 29: return QStringLiteral("DDE transaction failed");
    case 30: return QStringLiteral("DDE busy");
    case 31: return QStringLiteral("No association for file extension");
    case 32: return QStringLiteral("DLL not found");
    default: return QStringLiteral("Unknown error");
    }
}
