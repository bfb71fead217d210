#include "cli/CommandLine.h"

namespace {

const QString kSettingsOption = QStringLiteral("--settings");

// Only plain decimal digits: a sign or blanks would hide a typing slip in a script.
std::optional<qint32> ParseIndex(const QString &text)
{
    if (text.isEmpty())
        return std::nullopt;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
    }
    bool ok = false;
    const qint32 value = text.toInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    return value;
}

}

std::optional<Command> ParseCommandLine(const QStringList &arguments, QString *error)
{
    Command command;
    bool hasSettings = false;
    QStringList rest;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == kSettingsOption || argument.startsWith(kSettingsOption + u'=')) {
            if (hasSettings) {
                *error = QStringLiteral("--settings given twice");
                return std::nullopt;
            }
            if (argument == kSettingsOption) {
                if (i + 1 >= arguments.size()) {
                    *error = QStringLiteral("--settings needs a file");
                    return std::nullopt;
                }
                command.settingsFile = arguments.at(++i);
            } else {
                command.settingsFile = argument.mid(kSettingsOption.size() + 1);
            }
            if (command.settingsFile.isEmpty()) {
                *error = QStringLiteral("--settings needs a file");
                return std::nullopt;
            }
            hasSettings = true;
        } else {
            rest.append(argument);
        }
    }

    if (rest.isEmpty()) {
        *error = QStringLiteral("no command given");
        return std::nullopt;
    }
    const QString name = rest.takeFirst();
    qsizetype expectedArguments = 0;
    bool takesSettings = true;
    if (name == QStringLiteral("items")) {
        command.kind = Command::Kind::Items;
    } else if (name == QStringLiteral("apply")) {
        command.kind = Command::Kind::Apply;
        expectedArguments = 1;
    } else if (name == QStringLiteral("check")) {
        command.kind = Command::Kind::Check;
    } else if (name == QStringLiteral("join-words")) {
        command.kind = Command::Kind::JoinWords;
        takesSettings = false;
    } else if (name == QStringLiteral("--help")) {
        command.kind = Command::Kind::Help;
        takesSettings = false;
    } else if (name == QStringLiteral("--version")) {
        command.kind = Command::Kind::Version;
        takesSettings = false;
    } else {
        *error = QStringLiteral("unknown command: %1").arg(name);
        return std::nullopt;
    }

    if (hasSettings && !takesSettings) {
        *error = QStringLiteral("%1 reads no settings file").arg(name);
        return std::nullopt;
    }
    if (rest.size() < expectedArguments) {
        *error = QStringLiteral("%1 needs an item index").arg(name);
        return std::nullopt;
    }
    if (rest.size() > expectedArguments) {
        *error = QStringLiteral("unexpected argument: %1").arg(rest.at(expectedArguments));
        return std::nullopt;
    }
    if (command.kind == Command::Kind::Apply) {
        const std::optional<qint32> index = ParseIndex(rest.at(0));
        if (!index) {
            *error = QStringLiteral("not an item index: %1").arg(rest.at(0));
            return std::nullopt;
        }
        command.index = *index;
    }
    return command;
}

QString UsageText()
{
    return QStringLiteral(
        "usage: tavrelo-cli [--settings FILE] items\n"
        "       tavrelo-cli [--settings FILE] apply INDEX\n"
        "       tavrelo-cli join-words\n"
        "       tavrelo-cli [--settings FILE] check\n"
        "       tavrelo-cli --help\n"
        "       tavrelo-cli --version\n"
        "\n"
        "  items       list the palette's buttons: INDEX, NAME and MODE (replace, text or empty),\n"
        "              separated by tabs\n"
        "  apply       write the text of item INDEX (counted from 0) for the UTF-8 text on\n"
        "              standard input to standard output\n"
        "  join-words  join the words of every line of standard input (get user name -> getUserName)\n"
        "  check       report the settings file's traps as FILE:LINE: message\n"
        "\n"
        "FILE defaults to tavrelo.xml in the folder of tavrelo-cli.\n"
        "Exit status: 0 done, 1 failed (check: something reported), 2 usage error or unreadable FILE.\n");
}

QString VersionText()
{
    return QStringLiteral("tavrelo-cli %1.%2.%3\n")
        .arg(TAVRELO_VERSION_MAJOR)
        .arg(TAVRELO_VERSION_MINOR)
        .arg(TAVRELO_VERSION_PATCH);
}
