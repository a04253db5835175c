// vantorel-bill --batch on the sample sale repeated (each with its own buyer), documents
// only, into a fresh folder: documents per second and the process's peak memory.
// Argument: the number of records; --jobs as the second (0: one per core).
#include "BillCommand.h"
#include "EngineApplicationFactory.h"
#include "SaleFields.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTextStream>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace {

QString writeRecords(const QTemporaryDir& dir, int count) {
    QJsonObject sample;
    for (const SaleField& field : saleFields())
        sample.insert(field.keyName(), field.sampleValue());
    QFile file(dir.filePath(QStringLiteral("sales.jsonl")));
    file.open(QIODevice::WriteOnly);
    for (int i = 0; i < count; ++i) {
        sample.insert(QStringLiteral("Name Of Buyer"), QStringLiteral("Buyer %1").arg(i));
        file.write(QJsonDocument(sample).toJson(QJsonDocument::Compact) + '\n');
    }
    return file.fileName();
}

void BM_BatchDocuments(benchmark::State& state) {
    QTemporaryDir dir, temp, registry;
    qputenv("TEMP", temp.path().toUtf8());
    const int count = int(state.range(0));
    const QString records = writeRecords(dir, count);
    wordengine::EngineApplicationFactory engine(registry.path());
    int run = 0;
    for (auto _ : state) {
        const QString out = dir.filePath(QStringLiteral("bills-%1").arg(++run));
        QString said;
        QTextStream to(&said);
        QStringList args{QStringLiteral("--batch"), records, QStringLiteral("--out"), out};
        if (state.range(1) > 0)
            args << QStringLiteral("--jobs") << QString::number(state.range(1));
        if (BillCommand::run(args, engine, to, to) != 0)
            state.SkipWithError(said.toUtf8().constData());
        state.PauseTiming();
        QDir(out).removeRecursively();
        state.ResumeTiming();
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["documents_per_s"] =
        benchmark::Counter(double(count) * double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["peak_MB"] = double(usage.ru_maxrss) / 1024;
}
BENCHMARK(BM_BatchDocuments)
    ->Args({1000, 0})
    ->Args({1000, 1})
    ->Args({10000, 0})
    ->Unit(benchmark::kSecond)
    ->UseRealTime()
    ->Iterations(1);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
