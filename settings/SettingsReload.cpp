#include "settings/SettingsReload.h"

#include "settings/SettingsFileLoad.h"
#include "settings/SettingsLocations.h"

#include <QDir>
#include <QFileInfo>

SettingsFileStamp SettingsFileStamp::Of(const QString &path)
{
    SettingsFileStamp stamp;
    if (path.isEmpty())
        return stamp;
    const QFileInfo info(path);
    stamp.exists = info.exists();
    if (!stamp.exists)
        return stamp;
    stamp.size = info.size();
    stamp.modified = info.lastModified();
    stamp.changed = info.metadataChangeTime();
    stamp.target = info.canonicalFilePath();
    return stamp;
}

ReloadFault JudgeReload(const ReloadReading &reading)
{
    if (reading.problem != SettingsFileProblem::None)
        return ReloadFault::Unreadable;
    if (reading.size == 0)
        return ReloadFault::Empty;
    if (reading.data == SectionState::Unclosed)
        return ReloadFault::UnclosedDataSetting;
    if (reading.color == SectionState::Unclosed)
        return ReloadFault::UnclosedColorSetting;
    if (reading.data == SectionState::Missing)
        return ReloadFault::NoDataSetting;
    return ReloadFault::None;
}

namespace {

// The folder itself or, while it is missing, the nearest one above it that exists: making the
// missing folders is a change there.
QString NearestFolder(const QString &folder)
{
    QDir dir(folder);
    while (!dir.exists() && !dir.isRoot()) {
        if (!dir.cdUp())
            break;
    }
    return dir.exists() ? dir.absolutePath() : QString();
}

}

SettingsReload::SettingsReload(const QStringList &candidates, QObject *parent)
    : QObject(parent), m_candidates(candidates), m_watcher(this), m_quiet(this)
{
    m_quiet.setSingleShot(true);
    m_quiet.setInterval(DefaultQuietMs);
    connect(&m_quiet, &QTimer::timeout, this, &SettingsReload::settle);
    // Every notification rearms the watches: after a save by rename the old one follows the file
    // that was replaced, and a folder that was made may hold the file.
    // Queued, so that the watcher is not changed while it reports.
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &SettingsReload::check, Qt::QueuedConnection);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &SettingsReload::check, Qt::QueuedConnection);
    m_file = FindSettingsFile(m_candidates);
    m_read = m_seen = SettingsFileStamp::Of(m_file);
    rearm();
}

void SettingsReload::setQuietTime(int ms)
{
    m_quiet.setInterval(ms);
}

QString SettingsReload::file() const
{
    return m_file;
}

bool SettingsReload::isPending() const
{
    return m_quiet.isActive() || m_isDue;
}

std::unique_ptr<Cls_MySettingFile> SettingsReload::takeSettings()
{
    return std::move(m_settings);
}

void SettingsReload::check()
{
    rearm();
    noteChange();
}

void SettingsReload::setBusy(bool isBusy)
{
    m_isBusy = isBusy;
    // Not at once: the palette may still be inside the action that made it busy.
    if (!m_isBusy && m_isDue)
        QTimer::singleShot(0, this, &SettingsReload::settle);
}

QString SettingsReload::target() const
{
    return m_file.isEmpty() ? FindSettingsFile(m_candidates) : m_file;
}

void SettingsReload::noteChange()
{
    const SettingsFileStamp now = SettingsFileStamp::Of(target());
    // Only the file counts, not an editor's swap or backup files beside it; while a change
    // settles, only a further change of the file starts the quiet time again.
    if (now == (isPending() ? m_seen : m_read))
        return;
    m_seen = now;
    m_quiet.start();
}

void SettingsReload::settle()
{
    const SettingsFileStamp now = SettingsFileStamp::Of(target());
    if (now == m_read) {
        // Back as it was read (made and removed again): nothing to do.
        m_isDue = false;
        return;
    }
    if (now != m_seen) {
        // Changed without a notification since: still being written.
        m_seen = now;
        m_quiet.start();
        return;
    }
    if (m_isBusy) {
        m_isDue = true;
        return;
    }
    m_isDue = false;
    reload();
}

void SettingsReload::reload()
{
    const QString file = target();
    // Taken before reading: a save during the read then counts as a change of its own.
    m_read = m_seen = SettingsFileStamp::Of(file);
    if (file.isEmpty()) {
        rearm();
        return;
    }
    m_file = file;

    SettingsFileLoad load = LoadSettingsFile(file);
    const ReloadReading reading{load.problem, m_read.size, load.settings->ColorSectionState(), load.settings->DataSectionState()};
    rearm();
    const ReloadFault fault = JudgeReload(reading);
    if (fault == ReloadFault::None) {
        m_settings = std::move(load.settings);
        emit reloaded();
    } else {
        emit refused(ReloadRefusal{file, fault, reading.problem});
    }
    noteChange();
}

void SettingsReload::rearm()
{
    const QStringList files = m_file.isEmpty() ? m_candidates : QStringList{m_file};
    QStringList paths;
    for (const QString &file : files) {
        const QFileInfo info(file);
        if (info.exists())
            paths.append(file);
        // The folder tells of a save by rename and of a file that is made anew.
        paths.append(NearestFolder(info.absolutePath()));
        if (info.isSymLink() && info.exists())
            paths.append(QFileInfo(info.canonicalFilePath()).absolutePath());
    }
    paths.removeAll(QString());
    paths.removeDuplicates();
    const QStringList watched = m_watcher.files() + m_watcher.directories();
    if (!watched.isEmpty())
        m_watcher.removePaths(watched);
    if (!paths.isEmpty())
        m_watcher.addPaths(paths);
}
