#include "app/SingleInstance.h"

#include "app/NativeRuntimeFolder.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>

#include <memory>

namespace {

std::unique_ptr<QLockFile> &heldLock()
{
    static std::unique_ptr<QLockFile> lock;
    return lock;
}

// A live holder keeps its lock file open under the system's lock (flock on Unix, a handle that
// shares no deletion on Windows), which keeps the file from being removed. The process id in the
// file proves nothing: ids are reused, and on Windows a new start may get the very id of a killed
// palette. So a file that can be removed had no holder. A file that cannot be opened was not made
// by a palette (it makes its lock writable): it is made writable and removed.
enum class LockFile { Removed, Held, InTheWay };

LockFile RemoveUnheldLock(QLockFile &lock, const QString &path)
{
    const QFileInfo file(path);
    if (file.isFile() && file.isReadable() && file.isWritable())
        return lock.removeStaleLockFile() ? LockFile::Removed : LockFile::Held;
    if (file.isFile())
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return QFile::remove(path) ? LockFile::Removed : LockFile::InTheWay;
}

}

QString InstanceLockPath()
{
    const QString folder = QString::fromStdU16String(NativeRuntimeFolder());
    if (folder.isEmpty())
        return QString();
    const QFileInfo executable(QCoreApplication::applicationFilePath());
    const QString canonical = executable.canonicalFilePath();
    const QByteArray key = (canonical.isEmpty() ? executable.absoluteFilePath() : canonical).toUtf8();
    const QString hash = QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(24));
    return QDir(folder).filePath(QStringLiteral("tavrelo-%1.lock").arg(hash));
}

bool AnotherInstanceRuns()
{
    if (heldLock())
        return false;
    const QString path = InstanceLockPath();
    if (path.isEmpty())
        return false;
    auto lock = std::make_unique<QLockFile>(path);
    // Never stale by age, so that a long-running instance keeps its lock.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        if (lock->error() != QLockFile::LockFailedError)
            return false;
        switch (RemoveUnheldLock(*lock, path)) {
        case LockFile::Held:
            return true;
        case LockFile::InTheWay:
            // What cannot be removed does not keep the palette from starting.
            return false;
        case LockFile::Removed:
            break;
        }
        // Another start may have taken it in between.
        if (!lock->tryLock(0))
            return lock->error() == QLockFile::LockFailedError;
    }
    heldLock() = std::move(lock);
    return false;
}

void ReleaseInstanceLock()
{
    heldLock().reset();
}
