// Page output for tools and tests: all pages to a PDF file, or to PNG files.
#include "Automation.h"
#include "EngineLimits.h"
#include "Layout.h"
#include "LayoutInternal.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPageRanges>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
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

DrawOutcome drawPages(const Document& document, QPagedPaintDevice& device,
                      const QPageRanges& chosen, const std::function<bool(int, int)>& goOn) {
    // One layout for all pages: drawing page by page through drawPage would lay the
    // document out again for every page.
    const layout::PageLayout pages = allPages(document);
    std::vector<const layout::PageContent*> wanted;
    for (size_t i = 0; i < pages.pages.size(); ++i)
        if (chosen.isEmpty() || chosen.contains(int(i) + 1))
            wanted.push_back(&pages.pages[i]);
    if (wanted.empty())
        return DrawOutcome::Done;

    // The painter's origin is the paint area's corner; its unit, the device's dots.
    const PageSetup& setup = document.pageSetup;
    const QSizeF area = device.pageLayout().paintRectPoints().size();
    const double fit =
        std::min({1.0, area.width() / setup.pageWidth, area.height() / setup.pageHeight});
    const QPointF corner((area.width() - setup.pageWidth * fit) / 2,
                         (area.height() - setup.pageHeight * fit) / 2);
    QPainter painter;
    if (!painter.begin(&device))
        return DrawOutcome::Failed;
    const int total = int(wanted.size());
    for (int i = 0; i < total; ++i) {
        if (goOn && !goOn(i, total)) {
            painter.end();
            return DrawOutcome::Stopped;
        }
        if (i > 0 && !device.newPage())
            return DrawOutcome::Failed;
        painter.save();
        painter.scale(device.logicalDpiX() / 72.0, device.logicalDpiY() / 72.0);
        painter.translate(corner);
        painter.scale(fit, fit);
        drawPaper(painter, setup, *wanted[size_t(i)]);
        painter.restore();
    }
    return painter.end() ? DrawOutcome::Done : DrawOutcome::Failed;
}

bool writePdf(const Document& document, QIODevice* device) {
    const PageSetup& setup = document.pageSetup;
    QPdfWriter writer(device);
    writer.setPageSize(QPageSize(QSizeF(setup.pageWidth, setup.pageHeight), QPageSize::Point,
                                 QString(), QPageSize::ExactMatch));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setCreator(QStringLiteral("Vantorel"));
    return drawPages(document, writer, QPageRanges()) == DrawOutcome::Done;
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
    for (size_t i = 0; i < pages.pages.size(); ++i) {
        QImage image(size, QImage::Format_RGB32);
        image.setDotsPerMeterX(qRound(dpi / 0.0254));
        image.setDotsPerMeterY(qRound(dpi / 0.0254));
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.scale(scale, scale);
        drawPaper(painter, setup, pages.pages[i]);
        painter.end();
        QByteArray png;
        QBuffer buffer(&png);
        if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG") ||
            !sink(int(i) + 1, png))
            return -1;
    }
    return int(pages.pages.size());
}

} // namespace wordengine
