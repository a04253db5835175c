// Page output for tools and tests: all pages to a PDF file, or to PNG files.
#include "Automation.h"
#include "EngineLimits.h"
#include "Layout.h"
#include "LayoutInternal.h"
#include "PngEncoders.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <climits>

namespace wordengine {
namespace {

// Paper and content of one page, the painter in points with its origin at the paper's corner.
void drawPaper(QPainter& painter, const PageSetup& setup, const layout::PageContent& content) {
    painter.save();
    painter.fillRect(QRectF(0, 0, setup.pageWidth, setup.pageHeight), Qt::white);
    painter.scale(1 / layout::kTwipsPerPoint, 1 / layout::kTwipsPerPoint);
    layout::drawContent(painter, content);
    painter.restore();
}

// The whole document's pages, or word::Error when there are more than the engine draws.
layout::PageLayout allPages(const Document& document) {
    layout::PageLayout pages = layout::layoutPages(document, INT_MAX, true);
    if (pages.tooMany)
        throw word::Error(QStringLiteral("The document has more than %1 pages, more than this "
                                         "program draws.")
                              .arg(limits::kMaxPages));
    return pages;
}

} // namespace

bool writePdf(const Document& document, const QString& path) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && writePdf(document, &file) && file.flush();
}

bool writePdf(const Document& document, QIODevice* device) {
    // One layout for all pages: drawing page by page through drawPage would lay the
    // document out again for every page.
    const layout::PageLayout pages = allPages(document);
    const PageSetup& setup = document.pageSetup;
    QPdfWriter writer(device);
    writer.setPageSize(QPageSize(QSizeF(setup.pageWidth, setup.pageHeight), QPageSize::Point,
                                 QString(), QPageSize::ExactMatch));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setCreator(QStringLiteral("Vantorel"));
    const double scale = writer.resolution() / 72.0;
    QPainter painter;
    if (!painter.begin(&writer))
        return false;
    for (size_t i = 0; i < pages.pages.size(); ++i) {
        if (i > 0 && !writer.newPage())
            return false;
        painter.save();
        painter.scale(scale, scale);
        drawPaper(painter, setup, pages.pages[i]);
        painter.restore();
    }
    return painter.end();
}

int writePngPages(const Document& document, const QString& folder, int dpi) {
    const QDir dir(folder);
    return writePngPages(document, dpi, [&](int page, const QByteArray& png) {
        QFile file(dir.filePath(QStringLiteral("page-%1.png").arg(page)));
        return file.open(QIODevice::WriteOnly) && file.write(png) == png.size() && file.flush();
    });
}

int writePngPages(const Document& document, int dpi, const PngSink& sink) {
    if (dpi <= 0)
        return -1;
    const PageSetup& setup = document.pageSetup;
    const double scale = dpi / 72.0;
    const QSize size(qRound(setup.pageWidth * scale), qRound(setup.pageHeight * scale));
    if (qint64(size.width()) * size.height() > limits::kMaxPicturePixels)
        throw word::Error(QStringLiteral("A page drawn at %1 dpi would take %2 by %3 pixels, "
                                         "more than the %4 million a picture may have; choose "
                                         "fewer dots per inch.")
                              .arg(dpi)
                              .arg(size.width())
                              .arg(size.height())
                              .arg(limits::kMaxPicturePixels / 1'000'000));
    const layout::PageLayout pages = allPages(document);
    // Drawing stays on this thread: the pages share their paragraphs' text layouts, which
    // are not to be drawn from two threads at once. Encoding (most of the time) runs beside it.
    PngEncoders encoders(int(pages.pages.size()), sink);
    for (size_t i = 0; i < pages.pages.size(); ++i) {
        // The engine draws black on white and nothing else, so the page is drawn in grey
        // directly: a third of the memory and of the bytes to compress, and no conversion.
        // The pixels are those of an RGB drawing but for an edge's rounding here and there.
        QImage image(size, QImage::Format_Grayscale8);
        image.setDotsPerMeterX(qRound(dpi / 0.0254));
        image.setDotsPerMeterY(qRound(dpi / 0.0254));
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.scale(scale, scale);
        drawPaper(painter, setup, pages.pages[i]);
        painter.end();
        if (!encoders.add(int(i) + 1, std::move(image)))
            break;
    }
    return encoders.finish() ? int(pages.pages.size()) : -1;
}

} // namespace wordengine
