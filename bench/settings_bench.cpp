// One WriteSetting of a 20-character value into a store that holds the sixteen keys.
#include "SaleFields.h"
#include "SettingsStore.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

static void BM_WriteSetting(benchmark::State& state) {
    QTemporaryDir dir;
    SettingsStore store(dir.path());
    const QString app = QString::fromLatin1(settingsApplication);
    const QString section = QString::fromLatin1(settingsSection);
    for (const SaleField& f : saleFields())
        store.write(app, section, f.keyName(), f.sampleValue());
    int i = 0;
    for (auto _ : state) {
        store.write(app, section, QStringLiteral("Name Of Buyer"),
                    QStringLiteral("Orwen Palk %1").arg(i++ % 100000000, 8, 10, QLatin1Char('0')));
    }
}
BENCHMARK(BM_WriteSetting)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);
