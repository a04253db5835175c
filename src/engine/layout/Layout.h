#pragma once
// Line breaking, pagination and page drawing of a Document. Knows nothing of editing,
// files or windows. Lengths in points unless a name says otherwise.
//
// Text is set in the Liberation fonts loaded from the system's font folder (Arial is set in
// Liberation Sans, which has the same metrics), with unhinted design metrics, so that line
// breaks and page splits do not depend on the screen or on fontconfig.
//
// Layout is lazy and incremental: every paragraph keeps its line layout in
// Paragraph::layoutCache together with the inputs it was built from, and reuses it while
// they are unchanged -- including when only a prefix of whole lines was deleted, which is
// what removing the first page of a document does. Functions that take maxPages stop laying
// out once they know that many pages, so asking about the first page or two costs one or two
// pages of work, not the whole document.

#include "Model.h"

#include <QByteArray>
#include <QDateTime>
#include <QIODevice>
#include <QPicture>
#include <QString>
#include <climits>
#include <functional>
#include <vector>

class QPagedPaintDevice;
class QPageRanges;
class QPainter;

namespace wordengine {

struct Pagination {
    // The first position of each page; pageStarts[0] is the start of the story.
    std::vector<Position> pageStarts;
    int pageCount() const { return int(pageStarts.size()); }
};

// Lays the document out (reusing each paragraph's cached layout when its inputs are unchanged)
// and splits it into pages. With maxPages, stops after the first maxPages pages: the result
// then holds min(maxPages, page count) starts, which is enough to find the next page.
// A full pagination after the first page was deleted reshapes nothing, but still walks every
// remaining line; paginate(document, page + 2) is all that "go to the next page" needs.
// A full pagination (no maxPages) throws EngineError when the document goes on past the pages
// or lines the engine lays out, rather than count only the pages before the bound.
Pagination paginate(const Document& document, int maxPages = INT_MAX);

// A picture of the content of one page (0-based), empty when there is no such page. A page
// of empty paragraphs only gives a white box over the text width.
// Units: one picture unit is one twip (1440 to the inch); the picture's origin is the top
// left corner of the content's bounding box, so boundingRect() is (0, 0, width, height) of
// that box at real size. White is filled behind the whole box. Text is recorded as text, so
// the picture stays sharp at any scale, and QPicture::save/load round-trips it.
// Only pages up to `page` are laid out.
QPicture pagePicture(const Document& document, int page);

// The text of one page (0-based) as a reader takes it in, one laid-out line to a line: down
// the page, and within a table row cell by cell from the left. Lines that show nothing are
// left out; empty when there is no such page. Only pages up to `page` are laid out.
QString pageText(const Document& document, int page);

// Draws one whole page (paper and margins) with the painter's origin at the paper's top left
// corner, one painter unit to the point. Lays out pages up to `page`; to draw them all, use
// writePdf or writePngPages, which lay the document out once.
void drawPage(QPainter& painter, const Document& document, int page);

// Whether a font that can stand in for Arial (same metrics) is installed; the engine cannot
// lay out the program's document without one. Loads the fonts on first use; needs a
// QGuiApplication.
bool arialAvailable();

// The height of one single-spaced line of text in the given format: the font's ascent,
// descent and line gap (Arial 11 pt: 12.65 pt).
double lineHeight(const CharFormat& format);

// How a run of drawPages ended.
enum class DrawOutcome { Done, Stopped, Failed };

// Draws pages onto a paged device (a PDF writer, a printer), one device page per page, from
// one layout of the whole document: all pages, or those of `chosen` (counted from 1; pages
// it names past the end are left out). The device's page size is the caller's; each page is
// drawn at its real size with its own margins, centred in the device's paint area, and
// scaled down only as far as it must to fit there whole (a Letter page on A4 paper) -- never
// scaled up, never cropped. `goOn`, asked before each page with the pages drawn so far and
// the number to draw, stops the run when it answers false (the device is ended; what it does
// with the pages drawn is its own affair). Failed: the device could not be begun, take a new
// page or be ended; nothing is drawn when `chosen` names no page of the document. Throws
// EngineError when the document has more pages than its page budget.
DrawOutcome drawPages(const Document& document, QPagedPaintDevice& device,
                      const QPageRanges& chosen,
                      const std::function<bool(int drawn, int total)>& goOn = {});

// What a PDF says about itself besides its pages. Its creator is always "Vantorel"; an empty
// field is left out.
struct PdfInfo {
    QString title;
    QString author;
    QDateTime created; // recorded as the creation date; invalid: the clock's time
};

// Writes every page to a PDF file, one PDF page per page, of the page setup's size and
// without margins, its fonts embedded. Returns false when the file cannot be written; throws
// EngineError when the document has more pages than its page budget.
bool writePdf(const Document& document, const QString& path, const PdfInfo& info = {});
// The same into an open device, for writers that put the file in place only when whole. The
// device is only written to, from its current position on.
bool writePdf(const Document& document, QIODevice* device, const PdfInfo& info = {});

// Writes every page as page-1.png, page-2.png, ... into an existing folder, at dpi dots per
// inch on white paper: 8-bit grey when a page has no colour, RGB otherwise. Returns the number
// of pages written, or -1 on a write failure; throws EngineError past the page budget or
// limits::kMaxPicturePixels. Pages are compressed on as many threads as there are cores.
int writePngPages(const Document& document, const QString& folder, int dpi);
// The same, handing each page's PNG file (pages counted from 1) to `sink`, which says
// whether it stored it; the first false ends the run with -1. The sink is called from the
// compressing threads, for several pages at once and in any order of pages.
using PngSink = std::function<bool(int page, const QByteArray& png)>;
int writePngPages(const Document& document, int dpi, const PngSink& sink);

namespace layout {
// How many paragraph shapes have been built (cache misses) since the program started: lets
// benchmarks and tests see that an edit did not lay out more than it should.
long long shapedParagraphs();
} // namespace layout

} // namespace wordengine
