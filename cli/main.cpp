#include "app/ExecutableFolder.h"
#include "cli/CommandLine.h"
#include "cli/NativeStreams.h"
#include "cli/SettingsCheck.h"
#include "cli/StandardStreams.h"
#include "settings/Cls_MySettingFile.h"
#include "settings/SettingsLocations.h"
#include "settings/SettingsSchema.h"
#include "settings/WordJoining.h"
#include "xml/SettingsFileAccess.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <new>

namespace {

// Exit statuses.
constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;
constexpr int kUnreadable = 2;

// Writes the text to standard output; false, with a message, when it could not be written all
// (a full disk, a closed pipe).
bool PrintOut(const QString &text)
{
    QString error;
    const bool isWritten = WriteStandardOutput(text, &error);
    if (!isWritten)
        PrintError(error);
    return isWritten;
}

int ReportUsageError(const QString &error)
{
    PrintError(error);
    WriteStandardError(ShortUsageText());
    return kUsage;
}

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

// The palette's own file: the places the palette named tavrelo looks at, in its order.
QStringList DefaultSettingsFiles()
{
    return SettingsFileCandidates(ExecutableFolder(), QStringLiteral("tavrelo"));
}

// Empty, with every place looked at named on standard error, when --settings was not given
// and none of the default places holds a file.
QString SettingsPath(const Command &command)
{
    if (!command.settingsFile.isEmpty())
        return command.settingsFile;
    const QStringList candidates = DefaultSettingsFiles();
    const QString path = FindSettingsFile(candidates);
    if (!QFileInfo(path).isFile()) {
        PrintError(QStringLiteral("no settings file; looked for %1").arg(candidates.join(QStringLiteral(", "))));
        return QString();
    }
    return path;
}

void PrintUnreadable(const QString &path, SettingsFileProblem problem)
{
    // A file that passes the checks and still does not load broke off while it was read.
    if (problem == SettingsFileProblem::None)
        problem = SettingsFileProblem::ReadFailed;
    PrintError(QStringLiteral("cannot read the settings file %1: %2").arg(path, SettingsFileProblemText(problem)));
}

// Loaded as the palette loads its own file: folder and name apart, code page or UTF-8, dates.
bool LoadSettings(const QString &path, Cls_MySettingFile &settings)
{
    const QFileInfo info(path);
    settings.Path(info.absolutePath());
    settings.Name(info.fileName());
    if (!settings.LoadFile()) {
        PrintUnreadable(path, CheckSettingsFile(path));
        return false;
    }
    return true;
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

int RunItems(const QString &path, bool json)
{
    Cls_MySettingFile settings;
    if (!LoadSettings(path, settings))
        return kUnreadable;
    QString listing;
    QJsonArray array;
    for (const ButtonItem &button : settings.ButtonItems()) {
        const QString mode = ModeText(button.mode);
        listing += QStringLiteral("%1\t%2\t%3\n").arg(button.index).arg(EscapedField(button.name), mode);
        array.append(QJsonObject{{QStringLiteral("index"), button.index},
                                 {QStringLiteral("item"), SettingsSchema::ItemElement(button.index)},
                                 {QStringLiteral("name"), button.name},
                                 {QStringLiteral("mode"), mode}});
    }
    return PrintOut(json ? QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact)) + u'\n' : listing)
        ? kDone : kFailed;
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

bool ItemRewrites(Cls_MySettingFile &settings, qint32 index)
{
    return settings.SetDataPrepare(index) && settings.isReg();
}

int RunApply(const QString &path, const Command &command)
{
    Cls_MySettingFile settings;
    if (!LoadSettings(path, settings))
        return kUnreadable;
    const std::optional<qint32> found = command.name.isEmpty() ? command.index : FindButton(settings, command.name);
    if (!found)
        return kFailed;
    const qint32 index = *found;
    QString error;
    QString input;
    // Only a rewrite needs the input; any other item never reads it, so an endless or unfinished
    // input does not hold it up.
    if (ItemRewrites(settings, index) && !ReadStandardInputUtf8(&input, &error)) {
        PrintError(error);
        return kFailed;
    }
    GeneratedText generated = settings.GenerateText(index, input);
    input = QString();
    if (!generated.ok()) {
        PrintError(QStringLiteral("item %1: %2").arg(index).arg(generated.error.description));
        return kFailed;
    }
    if (!WriteStandardOutput(generated.text, &error)) {
        PrintError(error);
        return kFailed;
    }
    return kDone;
}

int RunJoinWords()
{
    QString error;
    QString input;
    if (!ReadStandardInputUtf8(&input, &error)) {
        PrintError(error);
        return kFailed;
    }
    const GeneratedText output = ConvertAllLines(input);
    input = QString();
    if (!output.ok()) {
        PrintError(QStringLiteral("join-words: %1").arg(output.error.description));
        return kFailed;
    }
    if (!WriteStandardOutput(output.text, &error)) {
        PrintError(error);
        return kFailed;
    }
    return kDone;
}

int RunCheck(const QString &path)
{
    QByteArray bytes;
    const SettingsFileProblem problem = ReadSettingsFile(path, bytes);
    if (problem != SettingsFileProblem::None) {
        PrintUnreadable(path, problem);
        return kUnreadable;
    }
    const QList<Finding> findings = CheckSettings(bytes);
    QString report;
    for (const Finding &finding : findings)
        report += QStringLiteral("%1:%2: %3\n").arg(path).arg(finding.line).arg(OneLine(finding.message));
    if (!PrintOut(report))
        return kFailed;
    return findings.isEmpty() ? kDone : kFailed;
}

int RunCommand(const Command &command)
{
    const bool readsSettings = command.kind == Command::Kind::Items || command.kind == Command::Kind::Apply
                               || command.kind == Command::Kind::Check;
    const QString path = readsSettings ? SettingsPath(command) : QString();
    if (readsSettings && path.isEmpty())
        return kUnreadable;

    switch (command.kind) {
    case Command::Kind::Help:
        return PrintOut(command.topic.isEmpty() ? UsageText(DefaultSettingsFiles()) : CommandUsageText(command.topic))
            ? kDone : kFailed;
    case Command::Kind::Version:
        return PrintOut(VersionText()) ? kDone : kFailed;
    case Command::Kind::Items:
        return RunItems(path, command.json);
    case Command::Kind::Apply:
        return RunApply(path, command);
    case Command::Kind::JoinWords:
        return RunJoinWords();
    case Command::Kind::Check:
        return RunCheck(path);
    }
    return kUsage;
}

// Running out of memory ends a command with a message and the status of what it could not do:
// read the settings file (items, check) or make the text (apply, join-words).
int RunWithinMemory(const Command &command)
{
    try {
        return RunCommand(command);
    } catch (const std::bad_alloc &) {
        // What was allocated is freed by now, but the message needs no memory of its own.
        std::fputs("tavrelo-cli: out of memory\n", stderr);
        const bool readsSettings = command.kind == Command::Kind::Items || command.kind == Command::Kind::Check;
        return readsSettings ? kUnreadable : kFailed;
    }
}

}

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    NativeStreams::MakeBinary();
    NativeStreams::FailWritesToClosedPipes();

    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    QString error;
    const std::optional<Command> command = ParseCommandLine(arguments, &error);
    if (!command)
        return ReportUsageError(error);
    // apply answers for the items that the palette shows.
    if (command->kind == Command::Kind::Apply && command->name.isEmpty() && command->index >= SettingsSchema::ItemCount)
        return ReportUsageError(QStringLiteral("the item index must be 0 to %1: %2").arg(SettingsSchema::ItemCount - 1).arg(command->index));
    return RunWithinMemory(*command);
}
