// Start-up reading and end-of-run writing of the per-user store, and
// recognising a preset row after each edit of a page measure.
#include "settings/pagepresets.h"
#include "settings/params.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

namespace {

QString customisedStore(const QTemporaryDir& dir)
{
    const QString path = dir.filePath("Velantis.ini");
    settings::iniStore_t s(path);
    settings::TParams p(&s);
    p.initSettings();
    for (int32_t i = 0; i < settings::presetRows; ++i) {
        auto& w = p.customWidths[i];
        w.valueText = QString::number(i + 1);
        w.units = 2;
        p.checkWidthRow(w);
        w.listed = 1;
        auto& d = p.customDirections[i];
        d.valueText = QString::number(i * 30);
        d.units = 1;
        settings::TParams::checkDirectionRow(d);
        d.listed = 1;
    }
    for (int32_t i = 0; i < 16; ++i) p.reopen[i] = QStringLiteral("/home/user/file%1.lmra").arg(i);
    p.saveAllSettings();
    return path;
}

void BM_InitSettingsFromFile(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = customisedStore(dir);
    for (auto _ : state) {
        settings::iniStore_t s(path);
        settings::TParams p(&s);
        p.initSettings();
        benchmark::DoNotOptimize(p.customWidths[11].pixels);
    }
}
BENCHMARK(BM_InitSettingsFromFile)->Unit(benchmark::kMillisecond);

void BM_SaveAllSettingsToFile(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = customisedStore(dir);
    settings::iniStore_t s(path);
    settings::TParams p(&s);
    p.initSettings();
    for (auto _ : state) benchmark::DoNotOptimize(p.saveAllSettings());
}
BENCHMARK(BM_SaveAllSettingsToFile)->Unit(benchmark::kMillisecond);

void BM_MatchPresetInchLabels(benchmark::State& state)
{
    page::pageset_t s;
    page::applyPreset(s, 5, 3, 8);  // the last row: every row is tried
    for (auto _ : state) benchmark::DoNotOptimize(page::matchPreset(s, 5, 3));
}
BENCHMARK(BM_MatchPresetInchLabels)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
