// The document script on the sample sale against the engine: the engine check at start, the
// document built and saved under its temporary name.
#include "EngineApplicationFactory.h"
#include "IsInstalled.h"
#include "MotorVehicleBill.h"
#include "SaleRecordSource.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

static void BM_CheckAndGenerateSample(benchmark::State& state) {
    QTemporaryDir temp, registry;
    qputenv("TEMP", temp.path().toUtf8());
    wordengine::EngineApplicationFactory engine(registry.path());
    const FixedRecord record = FixedRecord::sample();
    for (auto _ : state) {
        IsInstalled::CheckWordInstalled(engine, [] {});
        const MotorVehicleBill::Generation result =
            MotorVehicleBill::GenerateMotorVehicle(engine, record);
        state.PauseTiming();
        QFile::remove(result.path);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_CheckAndGenerateSample)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
