// Page output for tools and tests: all pages to a PDF file, or to PNG files.
#include "EngineError.h"
#include "EngineLimits.h"
#include "Layout.h"
#include "LayoutInternal.h"
#include "PngEncoders.h"
#include "TextLayerPdf.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPageRanges>
#include <QPageSize>
#include <QPainter>
#include <QRegularExpression>
#include <algorithm>
#include <climits>

namespace wordengine {

namespace layout {

void refuseUnfinished(const PageLayout& pages, const Document& document) {
    const PageBudget& budget = document.pageBudget;
    if (pages.tooMany && budget.pages < limits::kMaxPages)
        throw EngineError(QStringLiteral("The document has more than %1 pages, more than this "
                                         "program draws from a file of %2 bytes (%3 pages for "
                                         "each byte of the file, up to %4).")
                              .arg(budget.pages)
                              .arg(budget.fileBytes)
                              .arg(limits::kPagesPerFileByte)
                              .arg(limits::kMaxPages));
    if (pages.tooMany)
        throw EngineError(QStringLiteral("The document has more than %1 pages, more than this "
                                         "program draws.")
                              .arg(limits::kMaxPages));
    if (pages.tooManyLines)
        throw EngineError(QStringLiteral("The document has more than %1 lines, more than this "
                                         "program lays out.")
                              .arg(limits::kMaxLines));
}

} // namespace layout

namespace {

// Paper and content of one page, the painter in points with its origin at the paper's corner.
void drawPaper(QPainter& painter, const PageSetup& setup, const layout::PageContent& content) {
    painter.save();
    painter.fillRect(QRectF(0, 0, setup.pageWidth, setup.pageHeight), Qt::white);
    painter.scale(1 / layout::kTwipsPerPoint, 1 / layout::kTwipsPerPoint);
    layout::drawContent(painter, content);
    painter.restore();
}

// The whole document's pages, or EngineError when there are more than the engine draws.
layout::PageLayout allPages(const Document& document) {
    layout::PageLayout pages = layout::layoutPages(document, INT_MAX, true);
    layout::refuseUnfinished(pages, document);
    return pages;
}

const QString kPdfCreator = QStringLiteral("Vantorel");

// Hands what the PDF writer writes on to the real device, counting the bytes and keeping the
// last of them, where the writer's trailer is.
class TailKeepingDevice final : public QIODevice {
public:
    explicit TailKeepingDevice(QIODevice* target) : out(target) { open(QIODevice::WriteOnly); }
    bool isSequential() const override { return true; }
    qint64 written() const { return count; }
    const QByteArray& tail() const { return last; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override {
        const qint64 n = out->write(data, size);
        if (n > 0) {
            count += n;
            last.append(data, n);
            // Trimmed now and then, not on every write: the writer writes in small pieces.
            if (last.size() > 16 * kKept)
                last.remove(0, last.size() - kKept);
        }
        return n;
    }

private:
    static constexpr qsizetype kKept = 4096;
    QIODevice* out;
    QByteArray last;
    qint64 count = 0;
};

// A PDF text string: UTF-16 with its byte order mark, in hex, so no character needs escaping.
QByteArray pdfText(const QString& text) {
    QByteArray utf16("\xfe\xff");
    for (const QChar c : text) {
        utf16.append(char(c.unicode() >> 8));
        utf16.append(char(c.unicode() & 0xff));
    }
    return '<' + utf16.toHex() + '>';
}

// The PDF writer has no author field, so the document information it wrote is replaced by a
// complete one in an update appended to the file (the PDF way of changing a finished file:
// a new version of the object, a cross-reference section for it and a trailer pointing back
// to the writer's). `tail` ends with the writer's trailer; `size` is the file's length.
// Empty when the trailer is not the expected one; the file then stays as the writer left it.
QByteArray infoUpdate(const QByteArray& tail, qint64 size, const PdfInfo& info) {
    // The last trailer: its entries in any order, then where the cross-references start.
    static const QRegularExpression trailer(
        QStringLiteral(R"(trailer\s*<<)"
                       R"((?=[^>]*/Size\s+(\d+)))"
                       R"((?=[^>]*/Info\s+(\d+)\s+0\s+R))"
                       R"((?=[^>]*/Root\s+(\d+)\s+0\s+R))"
                       R"([^>]*>>\s*startxref\s+(\d+)\s*%%EOF\s*$)"));
    const QRegularExpressionMatch m = trailer.match(QString::fromLatin1(tail));
    if (!m.hasMatch())
        return {};
    const QByteArray infoObject = m.captured(2).toLatin1();
    QByteArray dictionary = "<<\n";
    if (!info.title.isEmpty())
        dictionary += "/Title " + pdfText(info.title) + '\n';
    if (!info.author.isEmpty())
        dictionary += "/Author " + pdfText(info.author) + '\n';
    dictionary += "/Creator " + pdfText(kPdfCreator) + '\n';
    dictionary +=
        "/Producer " + pdfText(QStringLiteral("Qt ") + QString::fromLatin1(qVersion())) + '\n';
    dictionary += "/CreationDate (D:" +
                  (info.created.isValid() ? info.created.toUTC() : QDateTime::currentDateTimeUtc())
                      .toString(QStringLiteral("yyyyMMddHHmmss"))
                      .toLatin1() +
                  "Z)\n>>\n";
    QByteArray update = "\n";
    const qint64 objectAt = size + update.size();
    update += infoObject + " 0 obj\n" + dictionary + "endobj\n";
    const qint64 xrefAt = size + update.size();
    // Each cross-reference entry is exactly 20 bytes: offset, generation, "n", space, newline.
    update += "xref\n" + infoObject + " 1\n" +
              QByteArray::number(objectAt).rightJustified(10, '0') + " 00000 n \n";
    update += "trailer\n<<\n/Size " + m.captured(1).toLatin1() + "\n/Info " + infoObject +
              " 0 R\n/Root " + m.captured(3).toLatin1() + " 0 R\n/Prev " +
              m.captured(4).toLatin1() + "\n>>\nstartxref\n" + QByteArray::number(xrefAt) +
              "\n%%EOF\n";
    return update;
}

} // namespace

bool writePdf(const Document& document, const QString& path, const PdfInfo& info) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && writePdf(document, &file, info) && file.flush();
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

bool writePdf(const Document& document, QIODevice* device, const PdfInfo& info) {
    const PageSetup& setup = document.pageSetup;
    TailKeepingDevice out(device);
    {
        layout::TextLayerPdfDevice writer(&out);
        writer.setPageSize(QPageSize(QSizeF(setup.pageWidth, setup.pageHeight), QPageSize::Point,
                                     QString(), QPageSize::ExactMatch));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setTitle(info.title);
        writer.setCreator(kPdfCreator);
        if (drawPages(document, writer, QPageRanges()) != DrawOutcome::Done)
            return false;
    }
    if (info.author.isEmpty())
        return true;
    const QByteArray update = infoUpdate(out.tail(), out.written(), info);
    return update.isEmpty() || out.write(update) == update.size();
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
        throw EngineError(QStringLiteral("A page drawn at %1 dpi would take %2 by %3 pixels, "
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
