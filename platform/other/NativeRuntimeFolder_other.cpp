#include "platform/NativeRuntimeFolder.h"

#include <QStandardPaths>

std::u16string NativeRuntimeFolder()
{
    // $XDG_RUNTIME_DIR, or a folder of mode 0700 that Qt makes; empty when the folder that is
    // named belongs to another user.
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation).toStdU16String();
}
