// The real windows: "Start Creating Template" clicked, to the preview shown with page 1 drawn,
// for the sample sale and for sales long enough to give 10, 50 and 200 pages; printing from
// the preview into a PDF file through QPrinter, the print dialog answered at once; and "Save
// as PDF" from the preview of those sales.
#include "BillOfSaleModel.h"
#include "EngineApplicationFactory.h"
#include "EntryServices.h"
#include "FindControl.h"
#include "Form1.h"
#include "Form2.h"
#include "Layout.h"
#include "Package.h"
#include "PreviewHandOff.h"
#include "Program.h"
#include "SaleFields.h"
#include "ScriptedDialogs.h"
#include "TextBox.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace {

// The window becomes the active one, as when the window system brings it to the front.
void activate(QWidget& window) {
    QEvent event(QEvent::WindowActivate);
    QApplication::sendEvent(&window, &event);
}

// The sample, with the seller's name repeated until the opening paragraph runs over about
// `pages` pages (8 names to a line, 51 lines to a page).
QString sellerFor(int pages) {
    QString seller;
    for (int i = 0; i < std::max(0, pages - 1) * 8 * 51; ++i)
        seller += QStringLiteral("Tobin Harl ");
    return seller + QStringLiteral("Tobin Harl");
}

void BM_StartToPreview(benchmark::State& state) {
    QTemporaryDir temp, registry;
    qputenv("TEMP", temp.path().toUtf8());
    wordengine::EngineApplicationFactory engine(registry.path());
    Program program(engine, blankEntryServices());
    program.start();
    Form1& entry = program.entry();
    PreviewHandOff& handOff = program.preview();
    entry.show();
    control<QPushButton>(entry, "PushButton3")->click();
    control<TextBox>(entry, "txtNameOfSeller")->setText(sellerFor(int(state.range(0))));
    int pages = 0;
    for (auto _ : state) {
        control<QPushButton>(entry, "PushButton1")->click();
        Form2& form = handOff.preview();
        activate(form); // page 1 drawn
        state.PauseTiming();
        pages = control<QTreeWidget>(form, "ListView1")->topLevelItemCount();
        control<QPushButton>(form, "PushButton8")->click();
        state.ResumeTiming();
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["pages"] = pages;
    state.counters["peak_MB"] = double(usage.ru_maxrss) / 1024;
}

// The save dialog answered with a PDF name, to "Done.": the document read back, every page
// drawn and the file written and synced.
void BM_SaveAsPdf(benchmark::State& state) {
    QTemporaryDir temp, registry, out;
    qputenv("TEMP", temp.path().toUtf8());
    ScriptedDialogs dialogs;
    wordengine::EngineApplicationFactory engine(registry.path());
    Program program(engine, blankEntryServices());
    program.start();
    Form1& entry = program.entry();
    entry.show();
    control<QPushButton>(entry, "PushButton3")->click();
    control<TextBox>(entry, "txtNameOfSeller")->setText(sellerFor(int(state.range(0))));
    control<QPushButton>(entry, "PushButton1")->click();
    Form2& form = program.preview().preview();
    activate(form);
    const QString target = out.filePath(QStringLiteral("bill.pdf"));
    qint64 bytes = 0;
    for (auto _ : state) {
        dialogs.fileNames = {
            ScriptedDialogs::SaveChoice(target, QStringLiteral("PDF Files (*.pdf)"))};
        control<QPushButton>(form, "PushButton6")->click();
        state.PauseTiming();
        if (dialogs.messages.size() != 1 || !QFile::exists(target))
            state.SkipWithError("the PDF was not saved");
        dialogs.messages.clear();
        bytes = QFile(target).size();
        QFile::remove(target);
        state.ResumeTiming();
    }
    state.counters["pages"] = control<QTreeWidget>(form, "ListView1")->topLevelItemCount();
    state.counters["PDF_KB"] = double(bytes) / 1024;
}

} // namespace

BENCHMARK(BM_SaveAsPdf)
    ->Arg(1)
    ->Arg(200)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

BENCHMARK(BM_StartToPreview)
    ->Arg(1)
    ->Arg(10)
    ->Arg(50)
    ->Arg(200)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

namespace {

// Ctrl+P's work after the dialog: the temporary document read back, laid out and drawn page
// by page onto a QPrinter writing a PDF file, which is then put in place.
void BM_PrintToPdf(benchmark::State& state) {
    QTemporaryDir temp;
    qputenv("TEMP", temp.path().toUtf8());
    const wordengine::Document document =
        billofsale::buildDocument(billofsale::longRecord(int(state.range(0))));
    const int pages = wordengine::paginate(document).pageCount();
    Form2 form(Form2::Services{[] {}, [] {}});
    form.setWordFile(temp.filePath(QStringLiteral("bill.doc")));
    wordengine::savePackage(document, pages, form.wordFile());
    const QString out = temp.filePath(QStringLiteral("printed.pdf"));
    ScriptedDialogs dialogs;
    dialogs.printAnswer = [&](QPrinter& printer) {
        printer.setOutputFileName(out);
        return true;
    };
    QAction* print = control<QAction>(form, "printAction");
    for (auto _ : state)
        print->trigger(); // as Ctrl+P or the page menu's "Print…"
    if (!dialogs.messages.empty())
        state.SkipWithError("printing failed");
    state.counters["pages"] = pages;
    state.counters["PDF_kB"] = double(QFileInfo(out).size()) / 1024;
}

} // namespace

BENCHMARK(BM_PrintToPdf)->Arg(1)->Arg(200)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
