// RegExp::Replace: each kind of pattern of regexp_text.h (compare_regexp.sh puts these next to
// V8) and a plain scan for one character over the same text, the cost of compiling against the
// cache on a clipboard-sized text, long texts through the work limits, and the peak memory of a
// replace over 100 MB.
#include "bench/regexp_text.h"
#include "regexp/RegExp.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <algorithm>

namespace {

const QString &benchText(RegExpBench::Text kind)
{
    static const QString mixed = RegExpBench::buildText(10 * 1000 * 1000);
    static const QString dense = RegExpBench::buildDense(5 * 1000 * 1000);
    static const QString line = RegExpBench::buildLine();
    switch (kind) {
    case RegExpBench::Text::Dense: return dense;
    case RegExpBench::Text::Line: return line;
    case RegExpBench::Text::Mixed: break;
    }
    return mixed;
}

void BM_Kind(benchmark::State &state)
{
    const RegExpBench::Item &item = RegExpBench::kItems[state.range(0)];
    state.SetLabel(item.name);
    RegExp expression;
    expression.Global(true);
    expression.Pattern(QString::fromUtf16(item.pattern));
    const QString &text = benchText(item.text);
    const QString replacement = QString::fromUtf16(item.replacement);
    qsizetype length = 0;
    for (auto _ : state) {
        const QString result = expression.Replace(text, replacement);
        length = result.size();
        benchmark::DoNotOptimize(result.constData());
    }
    state.counters["length"] = double(length);
}
BENCHMARK(BM_Kind)->DenseRange(0, qsizetype(RegExpBench::kItems.size()) - 1)->Unit(benchmark::kMillisecond);

// What a pattern that never matches is measured against: std::find for one character that the
// text does not hold.
void BM_PlainScan(benchmark::State &state)
{
    const QString &text = benchText(RegExpBench::Text::Mixed);
    for (auto _ : state)
        benchmark::DoNotOptimize(std::find(text.cbegin(), text.cend(), QChar(u'\uFFFF')));
    state.SetBytesProcessed(state.iterations() * text.size() * qsizetype(sizeof(QChar)));
}
BENCHMARK(BM_PlainScan)->Unit(benchmark::kMillisecond);

// A clipboard-sized text: the same pattern each time (found in the cache) against a new pattern
// each time (more patterns than the cache holds, so every call compiles).
void shortText(benchmark::State &state, int patterns)
{
    const QString text = QStringLiteral("2024-05-17 の会議で「議題」を確認しました。 foo bar\r\n").repeated(2);
    std::vector<RegExp> expressions(patterns);
    for (int i = 0; i < patterns; ++i) {
        expressions[i].Global(true);
        expressions[i].Pattern(QStringLiteral("(\\d{4})-(\\d{2})-(\\d{2})|x%1").arg(i));
    }
    int i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(expressions[i].Replace(text, QStringLiteral("$1.$2.$3")).constData());
        i = (i + 1) % patterns;
    }
}

void BM_ShortTextCached(benchmark::State &state)
{
    shortText(state, 1);
}
void BM_ShortTextCompiled(benchmark::State &state)
{
    shortText(state, 64);
}
BENCHMARK(BM_ShortTextCached);
BENCHMARK(BM_ShortTextCompiled);

// 10 MB of UTF-16 text and more, each with the result it must give; "limited" allows the
// work-limit error instead, which must come within a few seconds, not a frozen window.
struct LongText {
    const char *name;
    const char16_t *pattern;
    QString text;
    const char16_t *replacement;
    QString expected;
    bool limited;
};

const std::vector<LongText> &longTexts()
{
    static const std::vector<LongText> items = [] {
        const int lines = 5 * 1024 * 1024 / 16;
        const QString ascii = QStringLiteral("abc def ghi jk\r\n").repeated(lines);
        return std::vector<LongText>{
            {"no match", u"(\\d{4})-(\\d{2})", ascii, u"$2", ascii, false},
            {"no match, backtracking at each position", u"[a-z]+\\d", ascii, u"", ascii, false},
            {"a match on every line", u"\\s+$|\\r\\n", QStringLiteral("あいう 漢字 ghi jk\r\n").repeated(lines), u"|",
             QStringLiteral("あいう 漢字 ghi jk|").repeated(lines), false},
            // Past the JIT stack the interpreter runs into its memory limit: an error, not a crash.
            {"(a|b)* beyond every stack", u"(a|b)*", QStringLiteral("ab").repeated(8 * 1024 * 1024), u"[$1]",
             QStringLiteral("[b][]"), true},
        };
    }();
    return items;
}

void BM_LongText(benchmark::State &state)
{
    const LongText &item = longTexts()[state.range(0)];
    state.SetLabel(item.name);
    RegExp expression;
    expression.Global(true);
    expression.Pattern(QString::fromUtf16(item.pattern));
    for (auto _ : state) {
        try {
            if (expression.Replace(item.text, QString::fromUtf16(item.replacement)) != item.expected)
                state.SkipWithError("wrong result");
        } catch (const RegExpError &e) {
            if (!item.limited || e.number() != ErrorNumber::OutOfStackSpace)
                state.SkipWithError(qPrintable(e.description()));
        }
    }
}
BENCHMARK(BM_LongText)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

// Peak resident memory of the whole process over the text's own size; the target is at most 3.
void BM_Memory100MB(benchmark::State &state)
{
    const QString text = QStringLiteral("2024-05-17 の会議で「議題」 foo  bar\r\n").repeated(50 * 1024 * 1024 / 32);
    RegExp expression;
    expression.Global(true);
    expression.Pattern(QStringLiteral("(\\d{4})-(\\d{2})-(\\d{2})"));
    for (auto _ : state)
        benchmark::DoNotOptimize(expression.Replace(text, QStringLiteral("$1年$2月$3日")).constData());
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_per_text"] = double(usage.ru_maxrss) * 1024 / double(text.size() * sizeof(QChar));
}
BENCHMARK(BM_Memory100MB)->Iterations(1)->Unit(benchmark::kMillisecond);

}

BENCHMARK_MAIN();
