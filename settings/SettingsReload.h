#pragma once

#include "settings/Cls_MySettingFile.h"
#include "xml/SettingsFileAccess.h"

#include <QDateTime>
#include <QFileSystemWatcher>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <memory>

// A settings file's directory entry, as far as telling a change goes: a save in place changes
// its size or modification time, a save by rename or a file made anew its change time too.
struct SettingsFileStamp {
    bool exists = false;
    qint64 size = -1;
    QDateTime modified;
    QDateTime changed;
    // Where a symbolic link leads: pointing it elsewhere is a change.
    QString target;

    static SettingsFileStamp Of(const QString &path);
    friend bool operator==(const SettingsFileStamp &, const SettingsFileStamp &) = default;
};

// Why a reloaded settings file is not taken; the palette keeps what it shows.
enum class ReloadFault {
    None,
    Unreadable, // missing, not a regular file, not permitted, too large or a read error
    Empty, // nothing in it: an editor empties the file before it writes it again
    UnclosedDataSetting, // the file ends inside a section: a save that is still being written
    UnclosedColorSetting,
    NoDataSetting, // the file lost its section: there would be no buttons
};

// What a read of the settings file found, for the judgement.
struct ReloadReading {
    SettingsFileProblem problem = SettingsFileProblem::None;
    qint64 size = 0;
    SectionState color = SectionState::Missing;
    SectionState data = SectionState::Missing;
};

// Whether a reload with this reading replaces the palette's settings (None) or why not. A file
// that is being written ends inside a section, or is empty, more often than it lacks one, so
// those faults come first.
ReloadFault JudgeReload(const ReloadReading &reading);

// A reload that was not taken: the file, the fault, and for Unreadable the reason.
struct ReloadRefusal {
    QString file;
    ReloadFault fault = ReloadFault::None;
    SettingsFileProblem problem = SettingsFileProblem::None;
};

// Follows the settings file after start-up: the file found among the candidates or, while none
// is there, all of them. A change (a save in place or by rename, a file deleted and made anew,
// and on a share that sends no notifications what check() finds) leads, once the file has been
// quiet for a moment, to one reload. While the palette is busy the reload waits for it. A reload
// that reads a usable file offers new settings (reloaded, takeSettings); one that cannot read it,
// or reads it as broken, says why (refused) and offers nothing, so the palette keeps its own.
class SettingsReload : public QObject {
    Q_OBJECT
public:
    // Long enough for an editor's save by rename or in a few writes to end, short enough that a
    // change shows well within a second.
    static constexpr int DefaultQuietMs = 250;

    // candidates: the places start-up looks at, in its order. Made before start-up reads the file,
    // so that a save in between is not missed; it starts busy (see setBusy).
    explicit SettingsReload(const QStringList &candidates, QObject *parent = nullptr);

    void setQuietTime(int ms);
    // The file followed; empty while no candidate is a file. The first one found is kept: when it
    // disappears, the palette waits for it rather than taking another candidate.
    QString file() const;
    // A change waits for the file to be quiet or for the palette to be free.
    bool isPending() const;
    // The settings of the last reload that was taken, once; null otherwise.
    std::unique_ptr<Cls_MySettingFile> takeSettings();

public slots:
    // The light check for a share that sends no notifications: the file's stamp against the one
    // of the last read.
    void check();
    // The palette cannot take new settings now: before its window follows them, and while an
    // action works on the settings it has. A reload that falls due meanwhile runs once it is free.
    void setBusy(bool isBusy);

signals:
    void reloaded();
    void refused(const ReloadRefusal &refusal);

private:
    QString target() const;
    void noteChange();
    void settle();
    void reload();
    void rearm();

    QStringList m_candidates;
    QString m_file;
    // The stamp taken just before the last read, and the one at the last change seen since.
    SettingsFileStamp m_read;
    SettingsFileStamp m_seen;
    QFileSystemWatcher m_watcher;
    QTimer m_quiet;
    bool m_isBusy = true;
    bool m_isDue = false;
    std::unique_ptr<Cls_MySettingFile> m_settings;
};
