// The settings model at work: DataGet with typical palette items on a 10 M-character text
// (compare_regexp.sh puts these next to V8), and loading a settings file and asking every
// item's name, which must grow linearly with the number of items.
#include "bench/regexp_text.h"
#include "settings/Cls_MySettingFile.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

namespace {

// A settings file with the given items in its own temporary folder, loaded.
class LoadedFile {
public:
    explicit LoadedFile(const QString &items)
    {
        QFile file(m_dir.filePath(QStringLiteral("bench.xml")));
        if (file.open(QIODevice::WriteOnly))
            file.write((QStringLiteral("<DataSetting>\r\n") + items + QStringLiteral("</DataSetting>\r\n")).toUtf8());
        file.close();
        settings.Path(m_dir.path());
        settings.Name(QStringLiteral("bench.xml"));
    }

    Cls_MySettingFile settings;

private:
    QTemporaryDir m_dir;
};

QString itemText(int number, const QString &content)
{
    return QStringLiteral("\t<Item%1>%2</Item%1>\r\n").arg(number).arg(content);
}

const QString &benchText()
{
    static const QString text = RegExpBench::buildText(10 * 1000 * 1000);
    return text;
}

void BM_DataGet(benchmark::State &state)
{
    const RegExpBench::Item &item = RegExpBench::kItems[state.range(0)];
    state.SetLabel(item.name);
    LoadedFile file(itemText(
        1, QStringLiteral("<Name>%1</Name><Reg>%2</Reg><Replace>%3</Replace>")
               .arg(QString::fromLatin1(item.name), QString::fromUtf16(item.pattern), QString::fromUtf16(item.replacement))));
    file.settings.LoadFile();
    const QString &text = benchText();
    qsizetype length = 0;
    for (auto _ : state) {
        const QString result = file.settings.DataGet(0, text).text;
        length = result.size();
        benchmark::DoNotOptimize(result.constData());
    }
    state.counters["length"] = double(length);
    state.SetBytesProcessed(state.iterations() * text.size() * qsizetype(sizeof(QChar)));
}
BENCHMARK(BM_DataGet)->DenseRange(0, qsizetype(RegExpBench::kItems.size()) - 1)->Unit(benchmark::kMillisecond);

// Items with realistic content; the palette asks indexes 0 to 99 whatever the file holds.
void BM_LoadAndAskNames(benchmark::State &state)
{
    QString items;
    for (int number = 1; number <= state.range(0); ++number)
        items += itemText(number, QStringLiteral("\r\n\t\t<Name>項目%1</Name>\r\n\t\t<Reg>(\\d{4})-(\\d{2})</Reg>"
                                                 "\r\n\t\t<Replace>$1.$2</Replace>\r\n\t")
                                      .arg(number));
    LoadedFile file(items);
    for (auto _ : state) {
        file.settings.LoadFile();
        int named = 0;
        for (qint32 index = 0; index < state.range(0); ++index)
            named += file.settings.SetDataPrepare(index) && !file.settings.GetName().isEmpty();
        benchmark::DoNotOptimize(named);
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_LoadAndAskNames)->RangeMultiplier(2)->Range(25, 800)->Complexity()->Unit(benchmark::kMicrosecond);

}

BENCHMARK_MAIN();
