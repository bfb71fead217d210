#include "app/SingleInstance.h"

#include "platform/NativeActivation.h"
#include "platform/NativeForeground.h"
#include "platform/NativeInstanceMailbox.h"
#include "platform/NativeRuntimeFolder.h"
#include "platform/NativeWindowManagerIpc.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>

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

// A file beside the lock, of the same name with another extension.
QString BesideLock(const QString &extension)
{
    QString path = InstanceLockPath();
    if (path.endsWith(QLatin1String(".lock")))
        path.replace(path.size() - 5, 5, extension);
    return path;
}

// The file that names the holder's window.
QString WindowFilePath()
{
    return BesideLock(QStringLiteral(".window"));
}

// Where the holder takes requests to come forward from later starts (Wayland, where no program
// may bring another's window forward).
QString MailboxPath()
{
    return BesideLock(QStringLiteral(".socket"));
}

std::unique_ptr<InstanceMailbox> &openMailbox()
{
    static std::unique_ptr<InstanceMailbox> mailbox;
    return mailbox;
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
        case LockFile::Held: return true;
        case LockFile::InTheWay:
            // What cannot be removed does not keep the palette from starting.
            return false;
        case LockFile::Removed: break;
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
    if (!heldLock())
        return;
    QFile::remove(WindowFilePath());
    openMailbox().reset();
    heldLock().reset();
}

void PublishInstanceWindow(std::uintptr_t window)
{
    // Only the holder speaks for the palette; written whole or not at all.
    if (!heldLock() || window == 0)
        return;
    QSaveFile file(WindowFilePath());
    if (file.open(QIODevice::WriteOnly) && file.write(QByteArray::number(qulonglong(window)) + '\n') > 0)
        file.commit();
    // A message is the activation token that the later start was given (or none).
    openMailbox() = std::make_unique<InstanceMailbox>(MailboxPath().toStdU16String(), &NativeActivation::ActivateOwnWindow);
}

bool BringInstanceToFront()
{
    const QString lockPath = InstanceLockPath();
    if (lockPath.isEmpty())
        return false;
    // The window file may be left over from a palette that was killed: only a window of the
    // lock's holder counts.
    qint64 holder = 0;
    QString host;
    QString application;
    if (!QLockFile(lockPath).getLockInfo(&holder, &host, &application))
        return false;
    // Anything but a small regular file (a FIFO would never answer) names no window.
    const QString path = WindowFilePath();
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return false;
    bool isNumber = false;
    const qulonglong window = file.read(32).trimmed().toULongLong(&isNumber);
    if (!isNumber)
        return false;
    // A window manager that takes commands over its socket is asked as well: sway leaves an X11
    // program's request to come forward unanswered.
    const bool isFocused = window <= UINT32_MAX && NativeWindowManagerIpc::Focus(holder, std::uint32_t(window));
    if (NativeForeground::BringToFront(std::uintptr_t(window), holder) || isFocused)
        return true;
    // Where only the palette itself may ask (Wayland), it is asked to, with this start's token.
    return InstanceMailbox::Send(MailboxPath().toStdU16String(), NativeActivation::LaunchToken());
}
