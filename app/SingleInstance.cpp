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

// A lock file that names no holder is left by a crash between creating and writing it, or was
// put there by hand. Only a start that is writing it at this moment still holds the system's
// lock on it; such a file is kept and answers true.
bool IsBeingWritten(QLockFile &lock, const QString &path)
{
    const QFileInfo file(path);
    if (file.isFile() && file.isReadable() && file.isWritable())
        return !lock.removeStaleLockFile();
    QFile::remove(path);
    return false;
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
    // Never stale by age, so a long-running instance keeps its lock; a lock whose process is
    // gone is still taken over, because QLockFile checks whether the recorded PID lives.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        if (lock->error() != QLockFile::LockFailedError)
            return false;
        qint64 pid = 0;
        QString hostName;
        QString appName;
        if (lock->getLockInfo(&pid, &hostName, &appName))
            return true;
        if (IsBeingWritten(*lock, path))
            return true;
        // What cannot be removed or locked now does not keep the palette from starting.
        if (!lock->tryLock(0))
            return lock->error() == QLockFile::LockFailedError && lock->getLockInfo(&pid, &hostName, &appName);
    }
    heldLock() = std::move(lock);
    return false;
}

void ReleaseInstanceLock()
{
    heldLock().reset();
}
