#include "cli/CommandLine.h"

#include "cli/Commands.h"
#include "settings/SettingsSchema.h"
#include "xml/TextHelpers.h"

#include <QCommandLineParser>

#include <limits>

namespace {

QString Indented(const QString &text, qsizetype width)
{
    QString result;
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i)
        result += (i == 0 ? QString() : QString(width, u' ')) + lines.at(i) + u'\n';
    return result;
}

QString Synopsis(const CommandRow &row, bool first)
{
    QString text;
    for (const QString &form : row.synopsis.split(u'\n')) {
        text += (first ? QStringLiteral("usage: ") : QStringLiteral("       ")) + QStringLiteral("tavrelo-cli ") + form + u'\n';
        first = false;
    }
    return text;
}

// Only plain decimal digits: a sign or blanks would hide a typing slip in a script.
// "2" is the index 2; "Item3", the element as the file names it, is the index 2 as well. Item0
// and numbers with leading zeros are never read by the palette, so they name no item.
std::optional<qint32> ParseItem(const QString &text)
{
    if (IsDecimalDigits(text)) {
        bool ok = false;
        const qint32 value = text.toInt(&ok, 10);
        return ok ? std::optional<qint32>(value) : std::nullopt;
    }
    const std::optional<qint64> number = SettingsSchema::ItemNumber(text);
    if (!number || *number - 1 > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return qint32(*number - 1);
}

}

std::optional<Command> ParseCommandLine(const QStringList &arguments, QString *error)
{
    QCommandLineParser parser;
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, {});
    const QCommandLineOption version({QStringLiteral("V"), QStringLiteral("version")}, {});
    const QCommandLineOption settings({QStringLiteral("s"), QStringLiteral("settings")}, {}, QStringLiteral("FILE"));
    const QCommandLineOption json(QStringLiteral("json"), {});
    const QCommandLineOption name(QStringLiteral("name"), {}, QStringLiteral("CAPTION"));
    parser.addOptions({help, version, settings, json, name});
    // parse(), not process(): a usage error must end with status 2, not with the parser's exit.
    if (!parser.parse(QStringList{QStringLiteral("tavrelo-cli")} + arguments)) {
        *error = parser.errorText();
        return std::nullopt;
    }
    const auto fail = [error](const QString &reason) {
        *error = reason;
        return std::optional<Command>();
    };

    Command command;
    command.row = &HelpRow();
    QStringList rest = parser.positionalArguments();
    const QStringList settingsFiles = parser.values(settings);
    if (settingsFiles.size() > 1)
        return fail(QStringLiteral("--settings given twice"));
    command.settingsFile = settingsFiles.value(0);
    if (parser.isSet(settings) && command.settingsFile.isEmpty())
        return fail(QStringLiteral("--settings needs a file"));

    if (rest.isEmpty()) {
        if (parser.isSet(help))
            return command;
        if (parser.isSet(version)) {
            command.row = &VersionRow();
            return command;
        }
        return fail(QStringLiteral("no command given"));
    }
    const QString commandName = rest.takeFirst();
    const CommandRow *row = FindCommandRow(commandName);
    if (!row)
        return fail(QStringLiteral("unknown command: %1").arg(commandName));
    if (parser.isSet(help)) {
        command.topic = commandName;
        return command;
    }
    command.row = row;
    if (parser.isSet(version))
        return fail(QStringLiteral("--version takes no command"));
    if (parser.isSet(settings) && !row->readsSettings)
        return fail(QStringLiteral("%1 reads no settings file").arg(commandName));
    for (const CommandRow &other : CommandRows()) {
        for (const QString &option : other.options) {
            if (parser.isSet(option) && !row->options.contains(option))
                return fail(QStringLiteral("--%1 belongs to %2").arg(option, other.name));
        }
    }
    command.json = parser.isSet(json);

    if (row == &HelpRow()) {
        if (rest.size() > 1)
            return fail(QStringLiteral("unexpected argument: %1").arg(rest.at(1)));
        command.topic = rest.value(0);
        if (!command.topic.isEmpty() && !FindCommandRow(command.topic))
            return fail(QStringLiteral("unknown command: %1").arg(command.topic));
        return command;
    }
    if (row->options.contains(QStringLiteral("name"))) {
        const QStringList names = parser.values(name);
        if (names.size() > 1)
            return fail(QStringLiteral("--name given twice"));
        if (names.isEmpty() && rest.isEmpty())
            return fail(QStringLiteral("apply needs an item: its index, its element name or --name CAPTION"));
        if (!names.isEmpty() && names.first().isEmpty())
            return fail(QStringLiteral("--name needs a caption"));
        if (!names.isEmpty() && !rest.isEmpty())
            return fail(QStringLiteral("apply takes either ITEM or --name, not both"));
        if (names.isEmpty()) {
            const QString item = rest.takeFirst();
            const std::optional<qint32> index = ParseItem(item);
            if (!index)
                return fail(QStringLiteral("not an item index or element name: %1").arg(item));
            command.index = *index;
        } else {
            command.name = names.first();
        }
    }
    if (!rest.isEmpty())
        return fail(QStringLiteral("unexpected argument: %1").arg(rest.first()));
    // apply answers for the items that the palette shows.
    if (command.name.isEmpty() && command.index >= SettingsSchema::ItemCount)
        return fail(QStringLiteral("the item index must be 0 to %1: %2").arg(SettingsSchema::ItemCount - 1).arg(command.index));
    return command;
}

QString UsageText(const QStringList &settingsFiles)
{
    QString text;
    for (const CommandRow &row : CommandRows()) {
        if (!row.isOption)
            text += Synopsis(row, text.isEmpty());
    }
    text += QStringLiteral("       tavrelo-cli -h | --help\n");
    for (const CommandRow &row : CommandRows()) {
        if (row.isOption)
            text += Synopsis(row, false);
    }
    text += QStringLiteral("\nCommands:\n");
    for (const CommandRow &row : CommandRows()) {
        if (!row.isOption)
            text += QStringLiteral("  %1").arg(row.name, -12) + Indented(row.description, 14);
    }
    text += QStringLiteral("\nOptions:\n"
                           "  -s, --settings FILE  read FILE as the settings file\n"
                           "  -h, --help           print this usage; after a command, the command's usage\n"
                           "  -V, --version        print the version\n"
                           "  --                   end the options: what follows is an argument, even with a leading -\n"
                           "\nWithout --settings, the settings file is the first of these that exists: tavrelo.xml beside\n"
                           "tavrelo-cli (links resolved), tavrelo/tavrelo.xml in the user's configuration folder, in\n"
                           "each system configuration folder and, for an installation into a prefix, in its etc/xdg. Here:\n");
    for (const QString &file : settingsFiles)
        text += QStringLiteral("  %1\n").arg(file);
    text += QStringLiteral("\nExit status: 0 done, 1 failed (check: something reported), 2 usage error or unreadable FILE.\n");
    return text;
}

QString ShortUsageText()
{
    QString text;
    for (const CommandRow &row : CommandRows()) {
        if (!row.isOption)
            text += Synopsis(row, text.isEmpty());
    }
    return text + QStringLiteral("Run tavrelo-cli --help for the whole usage.\n");
}

QString CommandUsageText(const QString &command)
{
    const CommandRow *row = FindCommandRow(command);
    return row ? Synopsis(*row, true) + u'\n' + Indented(row->description, 0) : QString();
}

QString VersionText()
{
    return QStringLiteral("tavrelo-cli %1.%2.%3\n")
        .arg(TAVRELO_VERSION_MAJOR)
        .arg(TAVRELO_VERSION_MINOR)
        .arg(TAVRELO_VERSION_PATCH);
}
