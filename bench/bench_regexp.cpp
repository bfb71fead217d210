// RegExp::Replace: the cost of compiling against the cache on a clipboard-sized text, and the
// peak memory of a replace over 100 MB.
#include "settings/RegExp.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

namespace {

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

void BM_ShortTextCached(benchmark::State &state) { shortText(state, 1); }
void BM_ShortTextCompiled(benchmark::State &state) { shortText(state, 64); }
BENCHMARK(BM_ShortTextCached);
BENCHMARK(BM_ShortTextCompiled);

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
