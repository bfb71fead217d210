// Times whole replaces against the budget of RegExp::Replace: the worst patterns found must be
// stopped with the work-limit error within a few seconds, ordinary patterns over 100 MB must finish.
// Usage: measure_budget [worst|ordinary|position]   (all three without an argument)
#include "regexp/RegExp.h"
#include "regexp_text.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

namespace {

constexpr qsizetype kMiB = 1024 * 1024;

struct Outcome {
    qint64 milliseconds;
    QString error; // empty when the replace finished
};

Outcome Time(const QString &pattern, const QString &text, const QString &replacement = QStringLiteral("X"))
{
    RegExp expression;
    expression.Global(true);
    expression.Pattern(pattern);
    QElapsedTimer timer;
    timer.start();
    try {
        const QString result = expression.Replace(text, replacement);
        return {timer.elapsed(), QString()};
    } catch (const RegExpError &e) {
        return {timer.elapsed(), e.engineMessage()};
    }
}

// Patterns whose work grows with the square of the text, each with a text it never matches.
int Worst()
{
    struct Case {
        const char *name;
        QString pattern;
        QString unit;
        // After the units: "!" so that "blanks at the end" cannot match at the very end, "=" so
        // that the back reference's required characters are there.
        QString tail = QStringLiteral("!");
    };
    const Case cases[] = {
        {"alternation then class", QStringLiteral("(?:a|b)*[cd]"), QStringLiteral("ab")},
        {"dot star then letter", QStringLiteral(".*x"), QStringLiteral("a")},
        {"blanks at the end", QStringLiteral("\\s+$"), QStringLiteral(" ")},
        {"nested quantifier", QStringLiteral("(?:a+)+b"), QStringLiteral("a")},
        {"back reference", QStringLiteral("(\\w+)\\s*=\\s*\\1!"), QStringLiteral("a"), QStringLiteral("=!")},
    };
    int status = 0;
    for (const Case &c : cases) {
        for (const qsizetype size : {qsizetype(80'000), qsizetype(150'000), kMiB, 10 * kMiB}) {
            const QString text = c.unit.repeated(size / c.unit.size()) + c.tail;
            const Outcome outcome = Time(c.pattern, text);
            std::printf("worst     %-24s %9lld chars  %6lld ms  %s\n", c.name, static_cast<long long>(text.size()),
                        static_cast<long long>(outcome.milliseconds),
                        outcome.error.isEmpty() ? "finished" : qPrintable(outcome.error));
            if (outcome.milliseconds > 6000)
                status = 1;
        }
    }
    return status;
}

// The benchmark's palette items, and a pattern that never matches, over 100 MB.
int Ordinary()
{
    const QString text = RegExpBench::buildText(100 * kMiB);
    int status = 0;
    for (const RegExpBench::Item &item : RegExpBench::kItems) {
        const Outcome outcome = Time(QString::fromUtf16(item.pattern), text, QString::fromUtf16(item.replacement));
        std::printf("ordinary  %-24s %9lld chars  %6lld ms  %s\n", item.name, static_cast<long long>(text.size()),
                    static_cast<long long>(outcome.milliseconds),
                    outcome.error.isEmpty() ? "finished" : qPrintable(outcome.error));
        status |= outcome.error.isEmpty() ? 0 : 1;
    }
    for (const char16_t *pattern : {u"never-there", u"[\\u0000-\\uFFFF]Z{3}"}) {
        const Outcome outcome = Time(QString::fromUtf16(pattern), text);
        std::printf("ordinary  %-24s %9lld chars  %6lld ms  %s\n", qPrintable(QString::fromUtf16(pattern)),
                    static_cast<long long>(text.size()), static_cast<long long>(outcome.milliseconds),
                    outcome.error.isEmpty() ? "finished" : qPrintable(outcome.error));
        status |= outcome.error.isEmpty() ? 0 : 1;
    }
    return status;
}

// One start position with work near the match limit: how long a piece of the search can run
// before the budget gets to look at the clock again.
int Position()
{
    for (const qsizetype size : {kMiB, 2 * kMiB, 3 * kMiB, 4 * kMiB, 6 * kMiB}) {
        const Outcome outcome = Time(QStringLiteral("^(?:a|b)*[cd]"), QStringLiteral("ab").repeated(size / 2));
        std::printf("position  %-24s %9lld chars  %6lld ms  %s\n", "one start, (?:a|b)*[cd]", static_cast<long long>(size),
                    static_cast<long long>(outcome.milliseconds),
                    outcome.error.isEmpty() ? "finished" : qPrintable(outcome.error));
    }
    return 0;
}

}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QByteArray which = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    int status = 0;
    if (which.isEmpty() || which == "worst")
        status |= Worst();
    if (which.isEmpty() || which == "ordinary")
        status |= Ordinary();
    if (which.isEmpty() || which == "position")
        status |= Position();
    return status;
}
