// The engine's part of a generation, timed: build the bill of sale, save it, open it,
// repaginate, and render every page the way the page renderer does (copy the whole remaining
// document as a picture, save the picture and load it back, go to the next page, delete back
// to the start, repeat) through the automation interface.
//
// Argument: 1 is the sample record; 10, 50, 200 are records whose seller's name is repeated
// until the document has that many pages. Counters: pages, time per page, and the process's
// peak resident memory (run one size per process to read it for that size alone).
// The layout-only benchmark does the same on the model directly, without saving and opening,
// to tell the layout's share from the rest.
#include "BillOfSaleModel.h"
#include "Engine.h"
#include "Layout.h"
#include "Package.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <sys/resource.h>

using namespace wordengine;

namespace {

billofsale::SaleRecord recordFor(int pages) {
    return pages <= 1 ? billofsale::sampleRecord() : billofsale::longRecord(pages);
}

double peakResidentMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
}

// What the renderer does with each page's picture: writes it to a file and loads it back.
qint64 throughFile(QPicture picture) {
    QBuffer file;
    file.open(QIODevice::WriteOnly);
    picture.save(&file);
    file.close();
    file.open(QIODevice::ReadOnly);
    QPicture loaded;
    loaded.load(&file);
    return loaded.size();
}

// The renderer's loop over the active document; returns the number of pictures.
int renderPages(word::ApplicationFactory& factory, word::Application& application) {
    const auto document = application.ActiveDocument();
    document->Repaginate();
    const int pages = document->BuiltInDocumentProperties(word::wd::PropertyPages).toInt();
    word::Selection& selection = application.Selection();
    int pictures = 0;
    for (int removed = 0;; ++removed) {
        document->Range()->CopyAsPicture();
        const bool last = pages - removed <= 1;
        if (!last) {
            selection.GoTo(word::wd::GoToPage, word::wd::GoToNext, 2);
            selection.HomeKey(word::wd::Story, word::wd::Extend);
            selection.Delete(word::wd::Character, 1);
        } else {
            selection.EndKey(word::wd::Story, word::wd::Extend);
        }
        benchmark::DoNotOptimize(throughFile(factory.Clipboard().GetData(0)));
        ++pictures;
        if (last)
            return pictures;
    }
}

void BM_GenerateAndRender(benchmark::State& state) {
    const billofsale::SaleRecord record = recordFor(int(state.range(0)));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("wendlo12345678.doc"));
    EngineApplicationFactory factory(dir.filePath(QStringLiteral("registry")));
    int pages = 0;
    std::chrono::duration<double, std::milli> rendering{0};
    long long shaped = 0; // paragraph layouts built while rendering: once each, ideally
    for (auto _ : state) {
        const Document built = billofsale::buildDocument(record);
        savePackage(built, paginate(built).pageCount(), path);
        const auto application = factory.CreateNew();
        application->Documents().Open(path);
        const auto start = std::chrono::steady_clock::now();
        const long long shapedBefore = layout::shapedParagraphs();
        pages = renderPages(factory, *application);
        shaped = layout::shapedParagraphs() - shapedBefore;
        rendering += std::chrono::steady_clock::now() - start;
        application->ActiveDocument()->Close(word::wd::DoNotSaveChanges);
        application->Quit();
    }
    state.counters["pages"] = pages;
    state.counters["shaped"] = double(shaped);
    // The renderer's share (repaginate and the page loop), per page, in milliseconds.
    state.counters["render_ms_per_page"] =
        rendering.count() / double(state.iterations()) / std::max(1, pages);
    state.counters["per_page"] =
        benchmark::Counter(double(pages) * double(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["peak_MB"] = peakResidentMegabytes();
}
BENCHMARK(BM_GenerateAndRender)->Arg(1)->Arg(10)->Arg(50)->Arg(200)->Unit(benchmark::kMillisecond);

void BM_LayoutOnly(benchmark::State& state) {
    const billofsale::SaleRecord record = recordFor(int(state.range(0)));
    int pages = 0;
    for (auto _ : state) {
        Document doc = billofsale::buildDocument(record);
        pages = paginate(doc).pageCount();
        for (int left = pages; left > 0; --left) {
            benchmark::DoNotOptimize(throughFile(pagePicture(doc, 0)));
            if (left > 1)
                billofsale::deleteBefore(doc, paginate(doc, 2).pageStarts[1]);
        }
    }
    state.counters["pages"] = pages;
    state.counters["per_page"] =
        benchmark::Counter(double(pages) * double(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["peak_MB"] = peakResidentMegabytes();
}
BENCHMARK(BM_LayoutOnly)->Arg(1)->Arg(10)->Arg(50)->Arg(200)->Unit(benchmark::kMillisecond);

// One long value, laid out on pages: argument 0 is words, 1 is one word without a break
// (the case that used to cost time in the square of its length). The second argument is
// the length in megabytes (characters). Counter: seconds per megabyte.
void BM_LongValue(benchmark::State& state) {
    const qsizetype length = qsizetype(state.range(1)) << 20;
    const QString words = QStringLiteral("the quick brown fox jumps over the lazy dog ");
    const QString text = state.range(0) == 0
                             ? words.repeated(length / words.size() + 1).left(length)
                             : QString(length, QLatin1Char('a'));
    int pages = 0;
    for (auto _ : state) {
        Document doc;
        Paragraph p;
        p.runs = {Run{text, CharFormat{}}};
        doc.body = {p};
        pages = paginate(doc).pageCount();
    }
    state.counters["pages"] = pages;
    state.counters["s_per_MB"] =
        benchmark::Counter(double(state.range(1)) * double(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_LongValue)
    ->Args({0, 1})
    ->Args({1, 1})
    ->Args({0, 9})
    ->Args({1, 9})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
