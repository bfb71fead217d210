#include "base/ExecutableFolder.h"

#include "platform/NativeExecutable.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

QFileInfo executableFile()
{
    const QString native = QString::fromStdU16String(NativeExecutablePath());
    if (!native.isEmpty())
        return QFileInfo(native);
    if (QCoreApplication::instance())
        return QFileInfo(QCoreApplication::applicationFilePath());
    return QFileInfo(QDir::currentPath() + QStringLiteral("/."));
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
