#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/StandardStreams.h"
#include "platform/NativeStreams.h"

#include <QCoreApplication>

#include <cstdio>
#include <new>

namespace {

int ReportUsageError(const QString &error)
{
    PrintError(error);
    WriteStandardError(ShortUsageText());
    return ExitStatus::Usage;
}

// Running out of memory ends a command with a message and the status its row gives.
int Run(const Command &command)
{
    try {
        QString settingsFile;
        if (command.row->readsSettings) {
            settingsFile = SettingsFileOf(command);
            if (settingsFile.isEmpty())
                return ExitStatus::Unreadable;
        }
        return command.row->run(command, settingsFile);
    } catch (const std::bad_alloc &) {
        // What was allocated is freed by now, but the message needs no memory of its own.
        std::fputs("tavrelo-cli: out of memory\n", stderr);
        return command.row->outOfMemoryStatus;
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
    return Run(*command);
}
