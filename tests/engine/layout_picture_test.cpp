// Page pictures and page output.
#include "BillOfSaleModel.h"
#include "EngineError.h"
#include "EngineLimits.h"
#include "Layout.h"
#include "LayoutInternal.h"
#include "Package.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimeZone>
#include <gtest/gtest.h>

using namespace wordengine;

namespace {

// Plays a picture onto a red canvas of the picture's size at `pixelsPerPoint`.
QImage play(const QPicture& picture, double pixelsPerPoint) {
    const double scale = pixelsPerPoint / 20; // the picture is in twips
    const QRect box = picture.boundingRect();
    QImage image(qCeil(box.width() * scale), qCeil(box.height() * scale), QImage::Format_RGB32);
    image.fill(Qt::red);
    QPainter painter(&image);
    painter.scale(scale, scale);
    painter.drawPicture(0, 0, picture);
    return image;
}

int countPixels(const QImage& image, QRgb colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixel(x, y) == colour;
    return n;
}

Document textDocument(int lines, const QString& text) {
    Document d;
    Paragraph p;
    p.runs.push_back(Run{text, CharFormat{}});
    d.body.assign(size_t(lines), p);
    return d;
}

TEST(LayoutPicture, BoundingBoxOfTheContent) {
    const double line = lineHeight(CharFormat{}) * 20;
    const int margin = 60; // white beyond the right and bottom edges of the content
    const Document bill = billofsale::buildDocument(billofsale::sampleRecord());
    const struct {
        const char* name;
        Document doc;
        int page;
        QSize size; // twips; width 0: only checked to be positive
    } cases[] = {
        {"three lines", textDocument(3, QStringLiteral("Text")), 0,
         QSize(0, qCeil(3 * line) + margin)},
        {"first of two pages", textDocument(60, QStringLiteral("Text")), 0,
         QSize(0, qCeil(51 * line) + margin)},
        {"last page", textDocument(60, QStringLiteral("Text")), 1,
         QSize(0, qCeil(9 * line) + margin)},
        {"empty paragraphs only", textDocument(2, QString()), 0,
         QSize(432 * 20 + margin, qCeil(2 * line) + margin)},
        // The tables span the text width, plus half a border on each side.
        {"bill of sale", bill, 0, QSize(432 * 20 + 10 + margin, 0)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QPicture picture = pagePicture(c.doc, c.page);
        const QRect box = picture.boundingRect();
        EXPECT_EQ(box.topLeft(), QPoint(0, 0));
        if (c.size.width() > 0)
            EXPECT_EQ(box.width(), c.size.width());
        else
            EXPECT_GT(box.width(), 0);
        if (c.size.height() > 0)
            EXPECT_NEAR(box.height(), c.size.height(), 1);
        else
            EXPECT_GT(box.height(), 0);
    }
    EXPECT_TRUE(pagePicture(textDocument(3, QStringLiteral("Text")), 1).isNull());
}

TEST(LayoutPicture, WhiteBehindTheTextAndSharpWhenZoomed) {
    const QPicture picture = pagePicture(billofsale::buildDocument(billofsale::sampleRecord()), 0);
    // The whole picture at 96 dots per inch: nothing of the red canvas shows inside the box,
    // except at its rounded-off edge.
    const QImage whole = play(picture, 96.0 / 72);
    EXPECT_LE(countPixels(whole, qRgb(255, 0, 0)), whole.width() + whole.height() + 2);

    // Grey (anti-aliased edge) pixels per black pixel: edges grow with the zoom, areas with
    // its square, so for a picture drawn as vectors the share falls as the zoom rises; a
    // scaled-up raster would keep it (or raise it). A window on the opening paragraph, at up
    // to four times on a screen of twice the density.
    std::vector<double> edgeShare;
    for (double zoom : {1.0, 2.0, 4.0}) {
        SCOPED_TRACE(zoom);
        const double scale = zoom * 2 * 96 / 1440; // pixels per twip
        QImage image(400, 200, QImage::Format_RGB32);
        image.fill(Qt::red);
        QPainter painter(&image);
        painter.scale(scale, scale);
        painter.drawPicture(0, -760, picture); // the opening paragraph's first line
        painter.end();
        int black = 0, grey = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const int v = qGray(image.pixel(x, y));
                black += v < 40;
                grey += v >= 40 && v < 215;
            }
        }
        ASSERT_GT(black, 0);
        edgeShare.push_back(double(grey) / black);
    }
    EXPECT_LT(edgeShare[1], edgeShare[0] * 0.8);
    EXPECT_LT(edgeShare[2], edgeShare[1] * 0.8);
}

TEST(LayoutPicture, SavedAndLoadedItIsTheSamePicture) {
    QPicture picture = pagePicture(billofsale::buildDocument(billofsale::longRecord(3)), 1);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("temp.bmp"));
    ASSERT_TRUE(picture.save(path));
    QPicture loaded;
    ASSERT_TRUE(loaded.load(path));
    EXPECT_EQ(loaded.boundingRect(), picture.boundingRect());
    EXPECT_EQ(play(loaded, 3), play(picture, 3));
}

TEST(LayoutOutput, PdfAndPngPages) {
    const Document doc = billofsale::buildDocument(billofsale::longRecord(3));
    const int pages = paginate(doc).pageCount();
    ASSERT_EQ(pages, 3);
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
    ASSERT_TRUE(writePdf(doc, pdf));
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_EQ(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") +
                  bytes.count("/Type /Page "),
              pages);

    ASSERT_EQ(writePngPages(doc, dir.path(), 50), pages);
    const QImage first(dir.filePath(QStringLiteral("page-1.png")));
    EXPECT_EQ(first.size(), QSize(qRound(612 * 50 / 72.0), qRound(792 * 50 / 72.0)));
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("page-3.png"))));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("page-4.png"))));
}

// The information a PDF carries is an update appended to what the writer wrote: its offsets
// must be exact, since readers that repair a broken file would hide a wrong one.
TEST(LayoutOutput, PdfInformationIsAnExactUpdateOfTheFile) {
    const Document doc = billofsale::buildDocument(billofsale::sampleRecord());
    const QString title = QStringLiteral("Bill (of) Sale \\ Zoë Łukasz 🚗");
    const auto pdfOf = [&](const PdfInfo& info) {
        QByteArray bytes;
        QBuffer sink(&bytes);
        EXPECT_TRUE(sink.open(QIODevice::WriteOnly));
        EXPECT_TRUE(writePdf(doc, &sink, info));
        return bytes;
    };
    const auto hex = [](const QString& text) {
        QByteArray utf16("\xfe\xff");
        for (const QChar c : text)
            utf16 += QByteArray(1, char(c.unicode() >> 8)) + char(c.unicode() & 0xff);
        return '<' + utf16.toHex() + '>';
    };
    const QDateTime created(QDate(2026, 3, 1), QTime(9, 30, 5), QTimeZone(3600));
    const QByteArray pdf = pdfOf({title, QStringLiteral("Vantorel"), created});
    const auto numberAfter = [&](const QByteArray& key, qsizetype from) {
        const qsizetype at = pdf.indexOf(key, from);
        return at < 0 ? qint64(-1)
                      : pdf.mid(at + key.size()).trimmed().split('\n')[0].trimmed().toLongLong();
    };
    const qint64 lastXref = numberAfter("startxref", pdf.lastIndexOf("trailer"));
    ASSERT_GT(lastXref, 0);
    EXPECT_TRUE(pdf.mid(lastXref).startsWith("xref\n1 1\n"));
    const qint64 infoAt = pdf.mid(lastXref + 9, 10).toLongLong();
    EXPECT_TRUE(pdf.mid(infoAt).startsWith("1 0 obj\n<<")) << pdf.mid(infoAt, 20).toStdString();
    const QByteArray info = pdf.mid(infoAt, pdf.indexOf("endobj", infoAt) - infoAt);
    EXPECT_TRUE(info.contains("/Title " + hex(title)));
    EXPECT_TRUE(info.contains("/Author " + hex(QStringLiteral("Vantorel"))));
    EXPECT_TRUE(info.contains("/Creator " + hex(QStringLiteral("Vantorel"))));
    EXPECT_TRUE(info.contains("/CreationDate (D:20260301083005Z)")) << info.toStdString();
    const qint64 previous = numberAfter("/Prev", pdf.lastIndexOf("trailer"));
    EXPECT_TRUE(pdf.mid(previous).startsWith("xref\n0 ")) << previous;
    EXPECT_TRUE(pdf.endsWith("%%EOF\n"));

    // Without an author there is nothing to add.
    const QByteArray plain = pdfOf({});
    EXPECT_EQ(plain.count("startxref"), 1);
    EXPECT_FALSE(plain.contains("/Author"));
}

// A small document can ask for very many pages (a huge font on a tiny page: a page per
// letter) or very large pictures; the output stops at the limits, or at fewer pages for a
// small file, and says so.
TEST(LayoutOutput, HostileDocumentsMeetTheLimits) {
    Document pages;
    pages.pageSetup.pageWidth = pages.pageSetup.pageHeight = 40;
    pages.pageSetup.topMargin = pages.pageSetup.bottomMargin = 0;
    pages.pageSetup.leftMargin = pages.pageSetup.rightMargin = 0;
    CharFormat huge;
    huge.size = 1638;
    pages.body = {Paragraph{}};
    std::get<Paragraph>(pages.body[0]).runs = {
        wordengine::Run{QString(3 * limits::kMaxPages, QLatin1Char('a')), huge}};
    EXPECT_EQ(paginate(pages, limits::kMaxPages).pageCount(), limits::kMaxPages);
    // A count of all pages would leave the rest out without a word.
    EXPECT_THROW(paginate(pages), EngineError);
    // Its paragraph is shaped no further than those pages can show.
    EXPECT_LT(std::get<Paragraph>(pages.body[0]).layoutCache->lineCount(), 3 * limits::kMaxPages);
    QBuffer sink;
    ASSERT_TRUE(sink.open(QIODevice::WriteOnly));
    const auto refusal = [&](const Document& document) { // the PDF's, "" when none
        try {
            writePdf(document, &sink);
        } catch (const EngineError& e) {
            return e.description();
        }
        return QString();
    };
    EXPECT_TRUE(refusal(pages).contains(QStringLiteral("more than 10000 pages")));
    // Read from its file of a few kilobytes, such a document may make fewer.
    std::get<Paragraph>(pages.body[0]).runs[0].text.resize(8000);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("pages.doc"));
    savePackage(pages, 1, path);
    const qint64 bytes = QFileInfo(path).size();
    EXPECT_EQ(refusal(openPackage(path)),
              QStringLiteral("The document has more than %1 pages, more than this program draws "
                             "from a file of %2 bytes (2 pages for each byte of the file, up to "
                             "10000).")
                  .arg(2 * bytes)
                  .arg(bytes));

    // Qt shapes a paragraph only so long: a longer one is refused, never drawn blank.
    Document longest;
    std::get<Paragraph>(longest.body[0]).runs = {
        wordengine::Run{QString(limits::kMaxDocumentCharacters + 1, u'a'), CharFormat{}}};
    EXPECT_EQ(refusal(longest), QStringLiteral("A paragraph holds 16777217 characters, more "
                                               "than the 16777216 this program lays out."));

    Document large;
    large.pageSetup.pageWidth = large.pageSetup.pageHeight = 22 * 72;
    int stored = 0;
    try {
        writePngPages(large, 2400, [&](int, const QByteArray&) { return ++stored > 0; });
        ADD_FAILURE() << "the picture should have been refused";
    } catch (const EngineError& e) {
        EXPECT_TRUE(e.description().contains(QStringLiteral("fewer dots per inch")));
    }
    EXPECT_EQ(stored, 0);
    EXPECT_EQ(writePngPages(large, 72, [&](int, const QByteArray&) { return ++stored > 0; }), 1);
}

} // namespace
