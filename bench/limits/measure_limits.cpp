// Runs one size-heavy case of the core and prints its time and peak memory. One case per process,
// so that the high-water mark belongs to that case alone.
// Usage: measure_limits rewrite|spaces|fixed|join|settings [megabytes]
#include "settings/Cls_MySettingFile.h"
#include "settings/WordJoining.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

const double kMiB = 1024.0 * 1024.0;

// A field of /proc/self/status in bytes (VmRSS, VmHWM).
double statusBytes(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(std::strlen(field) + 1).trimmed().split(' ').first().toDouble() * 1024.0;
    }
    return 0;
}

// Starts a new high-water mark, so that building the input does not count as the operation's peak.
void resetPeak()
{
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    if (!clearRefs.open(QIODevice::WriteOnly) || clearRefs.write("5") != 1)
        qFatal("cannot reset the peak memory");
}

// The text of a size, made of one repeated line.
QString repeatedTo(const QString &line, qsizetype size)
{
    return line.repeated(size / line.size());
}

struct Settings {
    explicit Settings(const QByteArray &bytes)
    {
        QFile file(dir.filePath(QStringLiteral("tavrelo.xml")));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write the settings file");
        file.close();
        settings.Path(dir.path());
        settings.Name(QStringLiteral("tavrelo.xml"));
    }

    QTemporaryDir dir;
    Cls_MySettingFile settings;
};

const QByteArray kItems = "<DataSetting>\r\n"
                          "<Item1><Reg>(\\d{4})-(\\d{2})-(\\d{2})</Reg><Replace>$1.$2.$3</Replace></Item1>\r\n"
                          "<Item2><Reg>[ \xE3\x80\x80]+</Reg></Item2>\r\n"
                          "<Item3><Data>fixed text</Data></Item3>\r\n"
                          "</DataSetting>\r\n";

// The peak is read right after the operation, before the expected output is built for the check.
int report(const char *name, double inputBytes, double inputLabelBytes, const char *inputLabel, double start, double before,
           double peak, qint64 milliseconds, bool correct)
{
    std::printf("%-9s input %7.1f MiB (%s %7.1f MiB)  time %6lld ms  peak above start %7.1f MiB = %.2f x input"
                "  (above the held input: %7.1f MiB)  %s\n",
                name, inputBytes / kMiB, inputLabel, inputLabelBytes / kMiB, static_cast<long long>(milliseconds),
                (peak - start) / kMiB, (peak - start) / inputBytes, (peak - before) / kMiB,
                correct ? "output correct" : "OUTPUT WRONG");
    return correct && peak - start < 4 * inputBytes ? 0 : 1;
}

}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: measure_limits rewrite|spaces|fixed|join|settings [megabytes]\n");
        return 2;
    }
    const QByteArray kind = argv[1];
    // Megabytes of clipboard text as UTF-8 bytes (ASCII here, so also characters); in memory the
    // text is UTF-16, twice as many bytes. The peak is compared with the UTF-16 size.
    const qsizetype characters = qsizetype((argc > 2 ? std::atof(argv[2]) : 100.0) * kMiB);
    const double start = statusBytes("VmRSS");
    QElapsedTimer timer;

    if (kind == "rewrite" || kind == "spaces" || kind == "fixed") {
        Settings file(kItems);
        if (!file.settings.LoadFile())
            qFatal("cannot load the settings file");
        const QString line = kind == "rewrite" ? QStringLiteral("2024-01-02 date\r\n") : QStringLiteral("a b  c\r\n");
        const QString text = repeatedTo(line, characters);
        const double before = statusBytes("VmRSS");
        resetPeak();
        timer.start();
        const QString result = file.settings.DataGet(kind == "rewrite" ? 0 : kind == "spaces" ? 1 : 2, text).text;
        const qint64 elapsed = timer.elapsed();
        const double peak = statusBytes("VmHWM");
        const double textBytes = double(text.size()) * 2;
        const QString expected = kind == "rewrite"  ? repeatedTo(QStringLiteral("2024.01.02 date\r\n"), characters)
                                 : kind == "spaces" ? QStringLiteral("abc\r\n").repeated(text.size() / line.size())
                                                    : QStringLiteral("fixed text");
        return report(kind.constData(), textBytes, double(text.size()), "UTF-8", start, before, peak, elapsed,
                      result == expected);
    }
    if (kind == "join") {
        const QString text = repeatedTo(QStringLiteral("  get user name  \r\n"), characters);
        const double before = statusBytes("VmRSS");
        resetPeak();
        timer.start();
        const QString result = ConvertLines(text);
        const qint64 elapsed = timer.elapsed();
        const double peak = statusBytes("VmHWM");
        const bool correct = result == QStringLiteral("getUserName\r\n").repeated(text.size() / 19);
        return report("join", double(text.size()) * 2, double(text.size()), "UTF-8", start, before, peak, elapsed, correct);
    }
    if (kind == "settings") {
        // A settings file of the given size: a big fixed text in Item1 and a rewrite in Item2. The
        // file's bytes are not kept here, so that the peak is the loading's alone.
        const QByteArray line = "fixed text line\r\n";
        const qsizetype lines = characters / line.size();
        auto file = std::make_unique<Settings>("<DataSetting>\r\n<Item1><Data>" + line.repeated(lines)
                                               + "</Data></Item1>\r\n<Item2><Reg>a</Reg><Replace>b</Replace></Item2>\r\n"
                                                 "</DataSetting>\r\n");
        const double fileBytes = double(lines * line.size());
        const double before = statusBytes("VmRSS");
        resetPeak();
        timer.start();
        const bool loaded = file->settings.LoadFile();
        const QString fixed = file->settings.DataGet(0, QString()).text;
        const QString rewritten = file->settings.DataGet(1, QStringLiteral("cat")).text;
        const qint64 elapsed = timer.elapsed();
        const double peak = statusBytes("VmHWM");
        const bool correct = loaded && fixed == QString::fromLatin1(line).repeated(lines) && rewritten == QStringLiteral("cbt");
        // The file is held as UTF-16: compared with its size in memory, twice its bytes.
        return report("settings", fileBytes * 2, fileBytes, "file", start, before, peak, elapsed, correct);
    }
    std::fprintf(stderr, "unknown case %s\n", kind.constData());
    return 2;
}
