#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// One invocation of tavrelo-cli, as the arguments ask for it.
struct Command {
    enum class Kind { Items, Apply, JoinWords, Check, Help, Version };

    Kind kind = Kind::Help;
    // Empty when --settings was not given: the file beside the executable is meant.
    QString settingsFile;
    // The item index of apply, counted from 0 like the buttons' tags.
    qint32 index = 0;
};

// The arguments without the program name. Returns nothing, with the reason in *error, when they
// do not form one of the commands.
std::optional<Command> ParseCommandLine(const QStringList &arguments, QString *error);

QString UsageText();
QString VersionText();
