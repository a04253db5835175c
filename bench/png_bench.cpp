// Page pictures: one page of the long bill of sale compressed at several zlib levels, the
// RGB picture as before against the 8-bit grey one written now, and all pages of the
// 200-page bill written by writePngPages. Counters: the PNG's size, pages per second.
//
// Measured on the 2-core test machine (load average 1.8; a page at 96 dpi, 816 x 1056):
//   how                                   level   bytes     time per page
//   before: RGB, Qt's PNG writer          6*      202 KB    30.0 ms  (* zlib's default)
//   grey, unfiltered rows, own writer     0       863 KB     0.5 ms
//                                         1        32 KB     1.5 ms
//                                         3        29 KB     1.5 ms   <- chosen
//                                         6        19 KB     3.3 ms
//                                         9        19 KB    13.8 ms
//   grey through Qt's PNG writer          1        26 KB     5.3 ms  (it tries every filter)
//   drawing a page: RGB 1.1 ms, grey 1.8 ms; RGB found grey and converted: 3.4 ms more.
//   all 200 pages (BM_WritePngPages, in memory): 505 ms on two cores, 400 of them drawing.
#include "BillOfSaleModel.h"
#include "Layout.h"
#include "PngEncoders.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <atomic>
#include <benchmark/benchmark.h>

using namespace wordengine;

namespace {

QImage drawnPage(const Document& document, int page, int dpi,
                 QImage::Format format = QImage::Format_Grayscale8) {
    const double scale = dpi / 72.0;
    QImage image(qRound(document.pageSetup.pageWidth * scale),
                 qRound(document.pageSetup.pageHeight * scale), format);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(scale, scale);
    drawPage(painter, document, page);
    return image;
}

const Document& longBill() {
    static const Document document = billofsale::buildDocument(billofsale::longRecord(200));
    return document;
}

// How pages were written before: the RGB picture at Qt's default level.
void BM_EncodePageAsBefore(benchmark::State& state) {
    const QImage page = drawnPage(longBill(), 1, 96, QImage::Format_RGB32);
    qsizetype bytes = 0;
    for (auto _ : state) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        page.save(&buffer, "PNG");
        bytes = png.size();
    }
    state.counters["bytes"] = double(bytes);
}
BENCHMARK(BM_EncodePageAsBefore)->Unit(benchmark::kMillisecond)->UseRealTime();

// Argument: zlib's level. The page is drawn in grey, as writePngPages draws it.
void BM_EncodePage(benchmark::State& state) {
    const QImage page = drawnPage(longBill(), 1, 96);
    const int level = int(state.range(0));
    qsizetype bytes = 0;
    for (auto _ : state) {
        const QByteArray png = PngEncoders::encode(page, level);
        bytes = png.size();
        benchmark::DoNotOptimize(png.data());
    }
    state.counters["bytes"] = double(bytes);
}
BENCHMARK(BM_EncodePage)->DenseRange(0, 9)->Unit(benchmark::kMillisecond)->UseRealTime();

// What drawing in grey saves: drawing in RGB, then finding the page grey and converting it.
void BM_GreyCheckAndConversion(benchmark::State& state) {
    const QImage page = drawnPage(longBill(), 1, 96, QImage::Format_RGB32);
    for (auto _ : state) {
        const QImage grey = page.allGray() ? page.convertToFormat(QImage::Format_Grayscale8) : page;
        benchmark::DoNotOptimize(grey.constBits());
    }
}
BENCHMARK(BM_GreyCheckAndConversion)->Unit(benchmark::kMillisecond)->UseRealTime();

// Argument: 1 in grey, 0 in RGB.
void BM_DrawPage(benchmark::State& state) {
    const QImage::Format format = state.range(0) ? QImage::Format_Grayscale8 : QImage::Format_RGB32;
    for (auto _ : state)
        benchmark::DoNotOptimize(drawnPage(longBill(), 1, 96, format).constBits());
}
BENCHMARK(BM_DrawPage)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_WritePngPages(benchmark::State& state) {
    const Document& document = longBill();
    int pages = 0;
    for (auto _ : state) {
        std::atomic<qint64> bytes{0};
        pages = writePngPages(document, 96, [&](int, const QByteArray& png) {
            bytes += png.size();
            return true;
        });
        state.counters["MB"] = double(bytes) / 1e6;
    }
    state.counters["pages"] = pages;
    state.counters["pages_per_s"] =
        benchmark::Counter(double(pages) * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_WritePngPages)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

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
