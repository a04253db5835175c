// Page pictures as PNG files: grey, the same pixels as the pages drawn in RGB, every page
// stored once, and a failing store ending the run.
#include "BillOfSaleModel.h"
#include "Layout.h"
#include "PngEncoders.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <atomic>
#include <gtest/gtest.h>
#include <map>
#include <mutex>

using namespace wordengine;

namespace {

// A page as it was drawn before pictures were written in grey: RGB, antialiased.
QImage drawnInRgb(const Document& document, int page, int dpi) {
    const double scale = dpi / 72.0;
    QImage image(qRound(document.pageSetup.pageWidth * scale),
                 qRound(document.pageSetup.pageHeight * scale), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(scale, scale);
    drawPage(painter, document, page);
    return image;
}

// The PNG header's colour type: 0 grey, 2 RGB.
int colourType(const QByteArray& png) {
    return png.size() > 25 ? int(png[25]) : -1;
}

// How far the grey picture is from the RGB one (whose channels must all be equal): how many
// pixels differ, and by how many levels at most.
struct Difference {
    int pixels = 0;
    int most = 0;
};
Difference difference(const QImage& grey, const QImage& rgb) {
    Difference d;
    for (int y = 0; y < rgb.height(); ++y) {
        const uchar* g = grey.constScanLine(y);
        const QRgb* c = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            const int most = std::max({std::abs(qRed(c[x]) - g[x]), std::abs(qGreen(c[x]) - g[x]),
                                       std::abs(qBlue(c[x]) - g[x])});
            d.pixels += most > 0;
            d.most = std::max(d.most, most);
        }
    }
    return d;
}

TEST(PngPages, AreGreyAndShowTheSamePixelsAsTheRgbPages) {
    const Document document = billofsale::buildDocument(billofsale::longRecord(3));
    for (const int dpi : {30, 96, 150}) {
        SCOPED_TRACE(dpi);
        std::mutex lock;
        std::map<int, QByteArray> stored;
        const int pages = writePngPages(document, dpi, [&](int page, const QByteArray& png) {
            const std::lock_guard<std::mutex> hold(lock);
            return stored.emplace(page, png).second; // each page once
        });
        ASSERT_EQ(pages, paginate(document).pageCount());
        ASSERT_EQ(int(stored.size()), pages);
        for (const auto& [page, png] : stored) {
            SCOPED_TRACE(page);
            EXPECT_EQ(colourType(png), 0);
            const QImage grey = QImage::fromData(png, "PNG");
            EXPECT_EQ(grey.format(), QImage::Format_Grayscale8);
            EXPECT_EQ(grey.dotsPerMeterX(), qRound(dpi / 0.0254));
            const QImage rgb = drawnInRgb(document, page - 1, dpi);
            ASSERT_EQ(grey.size(), rgb.size());
            // Drawn straight in grey, the edge of a letter here and there rounds the other
            // way, by one level of 255.
            const Difference d = difference(grey, rgb);
            EXPECT_LE(d.pixels, grey.width() * grey.height() / 10'000) << d.pixels;
            EXPECT_LE(d.most, 1) << d.most;
        }
    }
}

TEST(PngPages, APictureWithColourStaysInColourAndOneInGreyTurnsGrey) {
    struct Case {
        QColor fill, pen;
        int colourType;
    } cases[] = {{Qt::white, Qt::black, 0}, {Qt::white, Qt::red, 2}, {Qt::gray, Qt::blue, 2}};
    for (const Case& c : cases) {
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(c.fill);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(c.pen, 3));
        painter.drawEllipse(5, 5, 25, 15);
        painter.end();
        for (const int level : {0, 1, 9}) {
            const QByteArray png = PngEncoders::encode(image, level);
            EXPECT_EQ(colourType(png), c.colourType) << c.pen.name().toStdString();
            EXPECT_EQ(QImage::fromData(png).convertToFormat(QImage::Format_RGB32), image);
        }
    }
}

// The first store that fails ends the run, however many pages are being compressed.
TEST(PngPages, AFailedStoreEndsTheRun) {
    const Document document = billofsale::buildDocument(billofsale::longRecord(12));
    for (const int failing : {1, 2, 7}) {
        std::atomic<int> calls{0};
        EXPECT_EQ(writePngPages(document, 20,
                                [&](int page, const QByteArray&) {
                                    ++calls;
                                    return page != failing;
                                }),
                  -1);
        EXPECT_LT(calls.load(), 12);
    }
}

} // namespace
