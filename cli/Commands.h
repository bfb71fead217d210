#pragma once

#include <QList>
#include <QString>
#include <QStringList>

struct Command;

// Exit statuses of every command.
namespace ExitStatus {
constexpr int Done = 0;
// The text could not be produced, traps were reported (check), or standard output could not be
// written.
constexpr int Failed = 1;
constexpr int Usage = 2;
constexpr int Unreadable = 2; // the settings file cannot be read
}

// One command of tavrelo-cli, everything about it in one row: the command line is parsed, its
// usage written and the command run from these rows.
struct CommandRow {
    // As typed ("items"), or, when isOption, the long option that asks for it without its dashes
    // ("version" for --version).
    QString name;
    bool isOption = false;
    // It reads the settings file, so --settings belongs to it.
    bool readsSettings = false;
    // Its own long options besides --settings and --help, without their dashes.
    QStringList options;
    // Runs it on the settings file found for it (empty when it reads none) and gives the exit status.
    int (*run)(const Command &command, const QString &settingsFile) = nullptr;
    // The status when memory runs out: Unreadable for a command that reads the settings file to
    // answer, Failed for one that makes a text.
    int outOfMemoryStatus = ExitStatus::Failed;
    QString synopsis; // one line per form, after "tavrelo-cli "
    QString description; // indented lines in the usage
};

const QList<CommandRow> &CommandRows();
// The row of a command typed by name; none for an unknown name or an option's row.
const CommandRow *FindCommandRow(const QString &name);
const CommandRow &HelpRow();
const CommandRow &VersionRow();

// The settings file a command reads: --settings, else the first of the palette's places that
// holds a file. Empty, with every place looked at named on standard error, when there is none.
QString SettingsFileOf(const Command &command);
// The palette's places for its own file, in its order.
QStringList DefaultSettingsFiles();
