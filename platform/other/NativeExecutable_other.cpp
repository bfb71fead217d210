#include "platform/NativeExecutable.h"

#include <QFileInfo>

std::u16string NativeExecutablePath()
{
    // Linux names the program file here, also before the application object exists.
    const QString target = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    return target.toStdU16String();
}
