#include "app/ExecutableFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

QFileInfo executableFile()
{
    if (QCoreApplication::instance())
        return QFileInfo(QCoreApplication::applicationFilePath());
#ifdef Q_OS_LINUX
    // Stores can be created before the application object exists (static set-up, tools).
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget());
#else
    return QFileInfo(QDir::currentPath() + QStringLiteral("/."));
#endif
}

}

QString ExecutableFolder()
{
    return QDir::toNativeSeparators(executableFile().absolutePath());
}

QString ExecutableBaseName()
{
    return executableFile().completeBaseName();
}
