// Start-up: from starting the program to its entry window painted with sixteen restored
// values, the engine check included; and one bill made by vantorel-bill, process and all.
#include "SaleFields.h"
#include "SettingsStore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
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

// `vantorel-bill sale.json --doc bill.doc` on the sample sale: what a script pays per bill.
static void BM_OneBillProcess(benchmark::State& state) {
    QTemporaryDir dir;
    QJsonObject sample;
    for (const SaleField& f : saleFields())
        sample.insert(f.keyName(), f.sampleValue());
    QFile record(dir.filePath(QStringLiteral("sale.json")));
    if (!record.open(QIODevice::WriteOnly) || record.write(QJsonDocument(sample).toJson()) < 0) {
        state.SkipWithError("cannot write the record");
        return;
    }
    record.close();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TEMP"), dir.path());
    const QStringList arguments{record.fileName(), QStringLiteral("--doc"),
                                dir.filePath(QStringLiteral("bill.doc"))};
    for (auto _ : state) {
        QFile::remove(dir.filePath(QStringLiteral("bill.doc")));
        QProcess bill;
        bill.setProcessEnvironment(env);
        bill.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QElapsedTimer clock;
        clock.start();
        bill.start(QStringLiteral(VANTOREL_BILL_PATH), arguments);
        if (!bill.waitForFinished(-1) || bill.exitCode() != 0) {
            state.SkipWithError("vantorel-bill did not make the bill");
            break;
        }
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
    }
}
BENCHMARK(BM_OneBillProcess)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
