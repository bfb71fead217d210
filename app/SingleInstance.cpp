#include "app/SingleInstance.h"

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

}

QString InstanceLockPath()
{
    const QFileInfo executable(QCoreApplication::applicationFilePath());
    const QString canonical = executable.canonicalFilePath();
    const QByteArray key = (canonical.isEmpty() ? executable.absoluteFilePath() : canonical).toUtf8();
    const QString hash = QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(24));
    return QDir(QDir::tempPath()).filePath(QStringLiteral("tavrelo-%1.lock").arg(hash));
}

bool AnotherInstanceRuns()
{
    if (heldLock())
        return false;
    auto lock = std::make_unique<QLockFile>(InstanceLockPath());
    // Never stale by age, so a long-running instance keeps its lock; a lock whose process is
    // gone is still taken over, because QLockFile checks whether the recorded PID lives.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return lock->error() == QLockFile::LockFailedError;
    heldLock() = std::move(lock);
    return false;
}
