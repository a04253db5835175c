// Start-up: from starting the program to its entry window painted with sixteen restored
// values, the engine check included.
#include "SaleFields.h"
#include "SettingsStore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

static void BM_StartUpToWindowShown(benchmark::State& state) {
    QTemporaryDir config;
    SettingsStore store(config.path());
    for (const SaleField& f : saleFields())
        store.write(QString::fromLatin1(settingsApplication), QString::fromLatin1(settingsSection),
                    f.keyName(),
                    f.sampleValue().isEmpty() ? QStringLiteral("value") : f.sampleValue());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    env.insert(QStringLiteral("VANTOREL_EXIT_WHEN_SHOWN"), QStringLiteral("1"));
    if (!env.contains(QStringLiteral("QT_QPA_PLATFORM")))
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    for (auto _ : state) {
        QProcess program;
        program.setProcessEnvironment(env);
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QElapsedTimer clock;
        clock.start();
        program.start(QStringLiteral(VANTOREL_PATH), {});
        if (!program.waitForFinished(-1) || program.exitCode() != 0) {
            state.SkipWithError("the program did not start and stop cleanly");
            break;
        }
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
    }
}
BENCHMARK(BM_StartUpToWindowShown)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
