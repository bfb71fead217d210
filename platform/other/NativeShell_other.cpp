#include "platform/NativeShell.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace NativeShell {

int Open(std::uintptr_t, const std::u16string &target)
{
    const QString text = QString::fromStdU16String(target);
    // A leading dot can only start a relative path, never a host name.
    const QUrl::UserInputResolutionOptions options = text.startsWith(u'.') ? QUrl::AssumeLocalFile : QUrl::DefaultResolution;
    const QUrl url = QUrl::fromUserInput(text, QDir::currentPath(), options);
    if (!url.isValid())
        return FileNotFound;
    if (url.isLocalFile()) {
        const QFileInfo info(url.toLocalFile());
        if (!info.exists())
            return info.absoluteDir().exists() ? FileNotFound : PathNotFound;
    }
    // The URL reaches the handler as one argument; no shell parses it.
    return QDesktopServices::openUrl(url) ? Accepted : NoAssociation;
}

}
