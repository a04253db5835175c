// vantorel-bill --batch on the sample sale repeated (each with its own buyer), documents
// only, into a fresh folder: documents per second and the process's peak memory.
// Argument: the number of records; --jobs as the second (0: one per core).
//
// BM_BatchFloor is what the batch is measured against on the machine it runs on: the least a
// batch of such documents can cost. It does what a plain script would: the package of one
// bill made once, then per record the buyer's name swapped into its text, the parts zipped, and
// the file written beside its name, synced and renamed (the folder synced once at the end): the
// same bytes, written the same way, with no document made. The second argument is the deflate
// level: 6 is the level vantorel-bill writes at, so the parts are its bytes; 9 is what a script
// asking for the smallest file would choose.
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
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>
#include <zip.h>

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
    ->Args({2000, 0})
    ->Args({2000, 1})
    ->Args({10000, 0})
    ->Unit(benchmark::kSecond)
    ->UseRealTime()
    ->Iterations(1);

struct Part {
    QByteArray name;
    QByteArray data;
};

// The parts of the bill vantorel-bill makes of the sample sale.
std::vector<Part> sampleParts(const QTemporaryDir& dir) {
    const QString records = writeRecords(dir, 1), out = dir.filePath(QStringLiteral("sample"));
    QString said;
    QTextStream to(&said);
    QTemporaryDir registry;
    wordengine::EngineApplicationFactory engine(registry.path());
    BillCommand::run({QStringLiteral("--batch"), records, QStringLiteral("--out"), out}, engine, to,
                     to);
    std::vector<Part> parts;
    zip_t* archive = zip_open(QFile::encodeName(out + QStringLiteral("/000001.doc")).constData(),
                              ZIP_RDONLY, nullptr);
    for (zip_int64_t i = 0; archive && i < zip_get_num_entries(archive, 0); ++i) {
        zip_stat_t stat;
        zip_stat_index(archive, zip_uint64_t(i), 0, &stat);
        Part part{stat.name, QByteArray(qsizetype(stat.size), Qt::Uninitialized)};
        zip_file_t* file = zip_fopen_index(archive, zip_uint64_t(i), 0);
        zip_fread(file, part.data.data(), stat.size);
        zip_fclose(file);
        parts.push_back(part);
    }
    if (archive)
        zip_close(archive);
    return parts;
}

QByteArray zipped(const std::vector<Part>& parts, int level) {
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, nullptr);
    zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, nullptr);
    zip_source_keep(buffer);
    for (const Part& part : parts) {
        zip_source_t* data =
            zip_source_buffer(archive, part.data.constData(), zip_uint64_t(part.data.size()), 0);
        const zip_int64_t index = zip_file_add(archive, part.name.constData(), data, 0);
        zip_set_file_compression(archive, zip_uint64_t(index), ZIP_CM_DEFLATE, zip_uint32_t(level));
    }
    zip_close(archive);
    zip_stat_t stat;
    zip_source_stat(buffer, &stat);
    QByteArray bytes(qsizetype(stat.size), Qt::Uninitialized);
    zip_source_open(buffer);
    zip_source_read(buffer, bytes.data(), stat.size);
    zip_source_close(buffer);
    zip_source_free(buffer);
    return bytes;
}

void BM_BatchFloor(benchmark::State& state) {
    QTemporaryDir dir;
    const std::vector<Part> sample = sampleParts(dir);
    if (sample.empty()) {
        state.SkipWithError("the sample bill could not be made");
        return;
    }
    const int count = int(state.range(0));
    const int level = int(state.range(1));
    int run = 0;
    for (auto _ : state) {
        const QByteArray out =
            QFile::encodeName(dir.filePath(QStringLiteral("floor-%1").arg(++run)));
        ::mkdir(out.constData(), 0755);
        for (int i = 0; i < count; ++i) {
            std::vector<Part> parts = sample;
            for (Part& part : parts)
                if (part.name == "word/document.xml")
                    part.data.replace("Orwen Palk", "Buyer " + QByteArray::number(i));
            const QByteArray bytes = zipped(parts, level);
            const QByteArray name = out + '/' + QByteArray::number(i + 1).rightJustified(6, '0');
            const QByteArray temporary = name + ".tmp";
            const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
            if (fd < 0 || ::write(fd, bytes.constData(), size_t(bytes.size())) != bytes.size() ||
                ::fsync(fd) != 0 || ::close(fd) != 0 ||
                ::rename(temporary.constData(), (name + ".doc").constData()) != 0) {
                state.SkipWithError("a file could not be written");
                return;
            }
        }
        const int folder = ::open(out.constData(), O_RDONLY | O_DIRECTORY);
        ::fsync(folder);
        ::close(folder);
        state.PauseTiming();
        QDir(QFile::decodeName(out)).removeRecursively();
        state.ResumeTiming();
    }
    state.counters["documents_per_s"] =
        benchmark::Counter(double(count) * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_BatchFloor)
    ->Args({2000, 6})
    ->Args({2000, 9})
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
