#include "services/mdl_API_Shell32.h"

#include "base/ServiceSlot.h"
#include "base/mdl_ErrorFunction.h"
#include "platform/NativeShell.h"

namespace mdl_API_Shell32 {

namespace {

class DesktopLinkOpener : public LinkOpener {
public:
    qint32 open(quintptr hWnd, const QString &target) override { return NativeShell::Open(hWnd, target.toStdU16String()); }
};

LinkOpener &currentOpener()
{
    static DesktopLinkOpener desktop;
    return ServiceSlot<LinkOpener>::Current(desktop);
}

}

void SetLinkOpener(LinkOpener *opener)
{
    ServiceSlot<LinkOpener>::Install(opener);
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
        ShowTrappedError();
        return false;
    }
}

QString ShellErrorMessage(qint32 code)
{
    return QString::fromLatin1(NativeShell::ErrorMessage(code));
}

}
