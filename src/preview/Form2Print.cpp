// The page's menu and its keys: printing the document, copying the page shown.
#include "AtomicFile.h"
#include "Dialogs.h"
#include "Failure.h"
#include "Form2.h"
#include "Layout.h"
#include "Package.h"
#include "Paths.h"
#include "PictureBox.h"

#include <QAction>
#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QMenu>
#include <QPageLayout>
#include <QPageRanges>
#include <QPainter>
#include <QPrinter>
#include <QScopedValueRollback>
#include <QTemporaryFile>
#include <algorithm>
#include <cmath>

namespace {

// The paper the document was laid out on, to the edges: the page is drawn with its own
// margins, so the printer adds none. A size a printer knows by name (Letter, A4) is given
// by that name, so the printer picks the right paper.
QPageLayout paperOf(const wordengine::PageSetup& setup) {
    const bool landscape = setup.pageWidth > setup.pageHeight;
    const QSizeF upright(std::min(setup.pageWidth, setup.pageHeight),
                         std::max(setup.pageWidth, setup.pageHeight));
    QPageLayout paper(QPageSize(upright, QPageSize::Point, QString(), QPageSize::FuzzyMatch),
                      landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(),
                      QPageLayout::Point);
    paper.setMode(QPageLayout::FullPageMode);
    return paper;
}

void reportPrintFailure(const QString& why, QWidget* window) {
    MessageRequest request;
    request.text = QStringLiteral("The document could not be printed: %1").arg(why);
    request.title = applicationTitle();
    request.icon = Icon::Warning;
    request.parent = window;
    dialogs().message(request);
}

bool sameFile(const QString& a, const QString& b) {
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

// A picture of the page shown on the clipboard: sharp enough to paste into a letter, yet
// never a picture so large that the clipboard chokes on it.
constexpr double copyDotsPerInch = 150;
constexpr int copyMaxSide = 8000;

} // namespace

void Form2::buildPageMenu() {
    pageMenu = new QMenu(this);
    pageMenu->setObjectName(QStringLiteral("pageMenu"));
    const auto addItem = [this](const char* name, const QString& text,
                                const QList<QKeySequence>& keys) {
        auto* action = new QAction(text, this);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcuts(keys);
        // Window-wide, as the zoom keys are, whatever control has the focus.
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
        pageMenu->addAction(action);
        shortcutObjects.push_back(action);
        return action;
    };
    printAction =
        addItem("printAction", QStringLiteral("Print…"), {QKeySequence(Qt::CTRL | Qt::Key_P)});
    pdfAction = addItem("pdfAction", QStringLiteral("Save as PDF…"),
                        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)});
    copyAction = addItem("copyAction", QStringLiteral("Copy Page"),
                         QKeySequence::keyBindings(QKeySequence::Copy));
    connect(printAction, &QAction::triggered, this, &Form2::printDocument);
    connect(pdfAction, &QAction::triggered, this, &Form2::saveAsPdf);
    connect(copyAction, &QAction::triggered, this, &Form2::copyPage);
    for (QObject* shortcut : shortcutObjects)
        shortcut->installEventFilter(this); // which key presses they take
    connect(Picture1, &PictureBox::menuRequested, this, &Form2::showPageMenu);
    Picture1->setToolTip(
        QStringLiteral("Right-click the page to print it, save it as a PDF or copy it"));
}

void Form2::showPageMenu(QPoint globalPosition) {
    pageMenu->popup(globalPosition);
}

// The document is read back from the temporary document and drawn by the engine as vectors,
// not from the preview's pictures. Nothing here changes the temporary document or the
// preview; a file printed to appears whole or not at all.
void Form2::printDocument() {
    if (printing)
        return; // the progress of a print under way lets events run
    const QScopedValueRollback<bool> busy(printing, true);
    wordengine::Document document;
    int pageCount = 0;
    try {
        document = wordengine::openPackage(mWordFile);
        pageCount = wordengine::paginate(document).pageCount();
    } catch (const std::exception& e) {
        reportPrintFailure(QString::fromUtf8(e.what()), this);
        return;
    }

    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Motor Vehicle Bill of Sale"));
    printer.setCreator(QStringLiteral("Vantorel"));
    printer.setPageLayout(paperOf(document.pageSetup));
    printer.setFullPage(true);
    if (!dialogs().print(printer, pageCount, this))
        return;
    // Qt turns a printer with nowhere to print into PDF output without a file.
    if (printer.outputFileName().isEmpty() &&
        (printer.outputFormat() == QPrinter::PdfFormat || !printer.isValid())) {
        reportPrintFailure(QStringLiteral("no printer is available. Set one up in the system's "
                                          "printer settings, or choose \"Save as PDF…\"."),
                           this);
        return;
    }
    QPageRanges chosen;
    if (printer.printRange() == QPrinter::PageRange)
        chosen = printer.pageRanges();

    // Printed to a file: drawn into a private file first and put in place only when whole,
    // so a cancelled or failed print leaves what was there before.
    const QString target = printer.outputFileName();
    std::optional<QTemporaryFile> drawn;
    if (!target.isEmpty()) {
        if (sameFile(target, mWordFile)) {
            reportPrintFailure(
                QStringLiteral("%1 is the document being printed; choose another file.")
                    .arg(target),
                this);
            return;
        }
        try {
            drawn.emplace(temporaryFolder() + QStringLiteral("/print-XXXXXX.pdf"));
        } catch (const Failure& failure) {
            reportPrintFailure(failure.description(), this);
            return;
        }
        if (!drawn->open()) {
            reportPrintFailure(drawn->errorString(), this);
            return;
        }
        printer.setOutputFileName(drawn->fileName());
    }

    std::unique_ptr<Progress> progress;
    const auto goOn = [&](int done, int total) {
        if (!progress)
            progress =
                dialogs().progress({QStringLiteral("Print"),
                                    QStringLiteral("Printing the bill of sale…"), total, this});
        if (progress->advance(done))
            return true;
        // Drops the job where the print system can. Qt's CUPS printing cannot: the pages
        // drawn so far still go to the queue, where the printer's own dialog can cancel them.
        printer.abort();
        return false;
    };
    wordengine::DrawOutcome outcome = wordengine::DrawOutcome::Failed;
    QString why;
    try {
        outcome = wordengine::drawPages(document, printer, chosen, goOn);
    } catch (const std::exception& e) {
        why = QString::fromUtf8(e.what());
    }
    progress.reset();
    if (outcome == wordengine::DrawOutcome::Stopped)
        return;
    if (outcome != wordengine::DrawOutcome::Done || printer.printerState() == QPrinter::Error) {
        if (why.isEmpty())
            why = target.isEmpty() ? QStringLiteral("the printer did not take it.")
                                   : QStringLiteral("%1 could not be written.").arg(target);
        reportPrintFailure(why, this);
        return;
    }
    if (drawn && !files::copyFileAtomically(drawn->fileName(), target, &why,
                                            {.mode = files::userFileMode()}))
        reportPrintFailure(why, this);
}

void Form2::copyPage() {
    const QPicture& page = Zoom_Ori.picture;
    const QRect box = page.boundingRect();
    if (page.isNull() || box.right() < 0 || box.bottom() < 0)
        return; // no page shown
    const QSizeF twips(box.right() + 1, box.bottom() + 1);
    const double scale =
        std::min(copyDotsPerInch / 1440, copyMaxSide / std::max(twips.width(), twips.height()));
    QImage image(
        QSize(int(std::ceil(twips.width() * scale)), int(std::ceil(twips.height() * scale))),
        QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.scale(scale, scale);
        painter.drawPicture(0, 0, page);
    }
    // Set only now: a picture played onto a device of another resolution is rescaled to it.
    const int dotsPerMetre = int(std::lround(scale * 1440 / 0.0254));
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    QGuiApplication::clipboard()->setImage(image);
}
