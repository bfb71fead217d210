#include "cli/Commands.h"

#include "base/ExecutableFolder.h"
#include "cli/CommandLine.h"
#include "cli/SettingsCheck.h"
#include "cli/StandardStreams.h"
#include "settings/Cls_MySettingFile.h"
#include "settings/SettingsFileLoad.h"
#include "settings/SettingsLocations.h"
#include "settings/SettingsSchema.h"
#include "settings/WordJoining.h"
#include "xml/SettingsFileAccess.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <memory>
#include <optional>

namespace {

// A Name as one field of the tab-separated listing: tab, line breaks and the backslash written
// as \t, \n, \r and \\, so that every button is one line of three fields.
QString EscapedField(const QString &text)
{
    QString field;
    field.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'\\': field += QStringLiteral("\\\\"); break;
        case u'\t': field += QStringLiteral("\\t"); break;
        case u'\n': field += QStringLiteral("\\n"); break;
        case u'\r': field += QStringLiteral("\\r"); break;
        default: field += c; break;
        }
    }
    return field;
}

QString ModeText(ButtonItem::Mode mode)
{
    switch (mode) {
    case ButtonItem::Mode::Replace: return QStringLiteral("replace");
    case ButtonItem::Mode::Text: return QStringLiteral("text");
    case ButtonItem::Mode::Empty: break;
    }
    return QStringLiteral("empty");
}

// An item's key as the palette shows it; one that is no key as written, for check to explain.
QString KeyText(const QString &written)
{
    const HotkeyReading reading = ReadHotkey(written);
    return reading.key ? reading.key->text() : written.trimmed();
}

void PrintUnreadable(const QString &path, SettingsFileProblem problem)
{
    PrintError(QStringLiteral("cannot read the settings file %1: %2").arg(path, SettingsFileProblemText(problem)));
}

// Loaded as the palette loads its own file; null, with the reason on standard error, when it
// cannot be read.
std::unique_ptr<Cls_MySettingFile> LoadedSettings(const QString &path)
{
    SettingsFileLoad load = LoadSettingsFile(path);
    if (load.problem != SettingsFileProblem::None) {
        PrintUnreadable(path, load.problem);
        return nullptr;
    }
    return std::move(load.settings);
}

// The index of the one button captioned name; two buttons with that caption are an error, as
// a script could not tell which one it gets.
std::optional<qint32> FindButton(Cls_MySettingFile &settings, const QString &name)
{
    std::optional<qint32> found;
    for (const ButtonItem &button : settings.ButtonItems()) {
        if (button.name != name)
            continue;
        if (found) {
            PrintError(QStringLiteral("items %1 and %2 are both captioned %3").arg(*found).arg(button.index).arg(name));
            return std::nullopt;
        }
        found = button.index;
    }
    if (!found)
        PrintError(QStringLiteral("no button is captioned %1").arg(name));
    return found;
}

int Written(QStringView text)
{
    return WriteStandardOutput(text) ? ExitStatus::Done : ExitStatus::Failed;
}

int RunItems(const Command &command, const QString &path)
{
    const std::unique_ptr<Cls_MySettingFile> settings = LoadedSettings(path);
    if (!settings)
        return ExitStatus::Unreadable;
    QString listing;
    QJsonArray array;
    for (const ButtonItem &button : settings->ButtonItems()) {
        const QString mode = ModeText(button.mode);
        const QString key = KeyText(button.key);
        // A fourth field only for a button with a key: a listing without keys stays as it was.
        listing += QStringLiteral("%1\t%2\t%3").arg(button.index).arg(EscapedField(button.name), mode)
                   + (key.isEmpty() ? QString() : u'\t' + EscapedField(key)) + u'\n';
        array.append(QJsonObject{{QStringLiteral("index"), button.index},
                                 {QStringLiteral("item"), SettingsSchema::ItemElement(button.index)},
                                 {QStringLiteral("name"), button.name},
                                 {QStringLiteral("mode"), mode},
                                 {QStringLiteral("key"), key}});
    }
    return Written(command.json ? QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact)) + u'\n' : listing);
}

int RunApply(const Command &command, const QString &path)
{
    const std::unique_ptr<Cls_MySettingFile> settings = LoadedSettings(path);
    if (!settings)
        return ExitStatus::Unreadable;
    const std::optional<qint32> found = command.name.isEmpty() ? command.index : FindButton(*settings, command.name);
    if (!found)
        return ExitStatus::Failed;
    const qint32 index = *found;
    QString error;
    QString input;
    // Only a rewrite needs the input; any other item never reads it, so an endless or unfinished
    // input does not hold it up.
    if (settings->ItemMode(index) == ButtonItem::Mode::Replace && !ReadStandardInputUtf8(&input, &error)) {
        PrintError(error);
        return ExitStatus::Failed;
    }
    GeneratedText generated = settings->DataGet(index, input);
    input = QString();
    if (!generated.ok()) {
        PrintError(QStringLiteral("item %1: %2").arg(index).arg(generated.error.description));
        return ExitStatus::Failed;
    }
    return Written(generated.text);
}

int RunJoinWords(const Command &, const QString &)
{
    QString error;
    QString input;
    if (!ReadStandardInputUtf8(&input, &error)) {
        PrintError(error);
        return ExitStatus::Failed;
    }
    const GeneratedText output = ConvertAllLines(input);
    input = QString();
    if (!output.ok()) {
        PrintError(QStringLiteral("join-words: %1").arg(output.error.description));
        return ExitStatus::Failed;
    }
    return Written(output.text);
}

int RunCheck(const Command &, const QString &path)
{
    QByteArray bytes;
    const SettingsFileProblem problem = ReadSettingsFile(path, bytes);
    if (problem != SettingsFileProblem::None) {
        PrintUnreadable(path, problem);
        return ExitStatus::Unreadable;
    }
    const QList<Finding> findings = CheckSettings(bytes);
    QString report;
    for (const Finding &finding : findings)
        report += QStringLiteral("%1:%2: %3\n").arg(path).arg(finding.line).arg(OneLine(finding.message));
    if (Written(report) != ExitStatus::Done)
        return ExitStatus::Failed;
    return findings.isEmpty() ? ExitStatus::Done : ExitStatus::Failed;
}

int RunHelp(const Command &command, const QString &)
{
    return Written(command.topic.isEmpty() ? UsageText(DefaultSettingsFiles()) : CommandUsageText(command.topic));
}

int RunVersion(const Command &, const QString &)
{
    return Written(VersionText());
}

}

const QList<CommandRow> &CommandRows()
{
    using namespace ExitStatus;
    static const QList<CommandRow> rows{
        {QStringLiteral("items"),
         false,
         true,
         {QStringLiteral("json")},
         &RunItems,
         Unreadable,
         QStringLiteral("[-s FILE] items [--json]"),
         QStringLiteral("list the palette's buttons in button order: INDEX, NAME, MODE (replace,\n"
                        "text or empty) and, for a button with a global key, KEY, separated by\n"
                        "tabs; --json prints a JSON array of objects with index, item (the element\n"
                        "name), name, mode and key (empty for none)")},
        {QStringLiteral("apply"),
         false,
         true,
         {QStringLiteral("name")},
         &RunApply,
         Failed,
         QStringLiteral("[-s FILE] apply ITEM\n[-s FILE] apply --name CAPTION"),
         QStringLiteral("write the text of an item for the UTF-8 text on standard input to standard\n"
                        "output; ITEM is the item's index counted from 0 (0 is Item1, as items\n"
                        "prints it) or its element name as written in the file (Item1); --name\n"
                        "takes the caption of its button")},
        {QStringLiteral("join-words"),
         false,
         false,
         {},
         &RunJoinWords,
         Failed,
         QStringLiteral("join-words"),
         QStringLiteral("join the words of every line of standard input (get user name -> getUserName)")},
        {QStringLiteral("check"),
         false,
         true,
         {},
         &RunCheck,
         Unreadable,
         QStringLiteral("[-s FILE] check"),
         QStringLiteral("report the settings file's traps as FILE:LINE: message")},
        {QStringLiteral("help"),
         false,
         false,
         {},
         &RunHelp,
         Failed,
         QStringLiteral("help [COMMAND]"),
         QStringLiteral("print this usage, or the usage of COMMAND")},
        {QStringLiteral("version"), true, false, {}, &RunVersion, Failed, QStringLiteral("-V | --version"), {}},
    };
    return rows;
}

const CommandRow *FindCommandRow(const QString &name)
{
    for (const CommandRow &row : CommandRows()) {
        if (!row.isOption && row.name == name)
            return &row;
    }
    return nullptr;
}

const CommandRow &HelpRow()
{
    return *FindCommandRow(QStringLiteral("help"));
}

const CommandRow &VersionRow()
{
    const auto &rows = CommandRows();
    return *std::find_if(rows.begin(), rows.end(), [](const CommandRow &row) { return row.isOption && row.name == u"version"; });
}

QStringList DefaultSettingsFiles()
{
    return SettingsFileCandidates(ExecutableFolder(), QStringLiteral("tavrelo"));
}

QString SettingsFileOf(const Command &command)
{
    if (!command.settingsFile.isEmpty())
        return command.settingsFile;
    const QStringList candidates = DefaultSettingsFiles();
    QString path = FindSettingsFile(candidates);
    if (path.isEmpty())
        PrintError(QStringLiteral("no settings file; looked for %1").arg(candidates.join(QStringLiteral(", "))));
    return path;
}
