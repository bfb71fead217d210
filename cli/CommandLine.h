#pragma once

#include <QString>
#include <QStringList>

#include <optional>

struct CommandRow;

// One invocation of tavrelo-cli, as the arguments ask for it.
struct Command {
    // The command's row in CommandRows().
    const CommandRow *row = nullptr;
    // Empty when --settings was not given: the first of SettingsFileCandidates is meant.
    QString settingsFile;
    // apply: the item index, counted from 0 like the buttons' tags (given as 2 or as Item3)...
    qint32 index = 0;
    // ... or, when not empty, the caption of the item's button (--name).
    QString name;
    // items: print JSON instead of tab-separated lines.
    bool json = false;
    // help: the command whose usage is asked for; empty for the whole usage.
    QString topic;
};

// The arguments without the program name. Returns nothing, with the reason in *error, when they
// do not form one of the commands; apply's index must name one of the palette's items.
std::optional<Command> ParseCommandLine(const QStringList &arguments, QString *error);

// The whole usage; settingsFiles are the places looked at without --settings, in their order.
QString UsageText(const QStringList &settingsFiles);
// The forms of every command, for a usage error.
QString ShortUsageText();
// The usage of one command (items, apply, join-words, check, help).
QString CommandUsageText(const QString &command);
QString VersionText();
