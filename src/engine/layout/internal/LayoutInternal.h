#pragma once
// Internals shared by the Layout*.cpp files. Not part of the engine's interface.
//
// Internal unit: the twip (1/20 point). Fonts are created with a pixel size of 20 pixels to
// the point, so QTextLayout positions come out in twips directly, large enough that the
// 1/64-pixel fixed point of the font engine is far below anything visible.

#include "Model.h"

#include <QFont>
#include <QRectF>
#include <QTextLayout>
#include <climits>
#include <memory>
#include <vector>

namespace wordengine {

namespace layout {

constexpr double kTwipsPerPoint = 20.0;
constexpr double kCellMarginTwips = 108.0; // left and right padding inside a table cell
constexpr double kGridBorderTwips = 10.0;  // "Table Grid" borders: single, 0.5 pt
constexpr double kTabStopTwips = 720.0;    // default tab stops every half inch

// Vertical metrics of a font at a size, in twips, from the font's own tables.
struct FontMetrics {
    double ascent = 0;
    double descent = 0;
    double lineGap = 0;
};

// Loads the Liberation fonts once; true when Liberation Sans (regular and bold) is usable.
bool loadFonts();
// Whether a face of the font folder sets every character of `text` in `format` by itself.
bool fontFolderSetsAll(const CharFormat& format, QStringView text);
// Loads the fallback faces unless the face that sets `format` draws every character of
// `text` itself; to be called before `text` is shaped in `format`.
void prepareFontsFor(const CharFormat& format, QStringView text);
// Qt shares one FreeType face among every size of a font file on a thread, and sets the
// face's size only when its own note of the size last set differs. Noto Color Emoji has
// bitmaps at one size alone; when Qt's PDF writer embeds it (at the end of a PDF) it asks
// for the face at the size of its design units, which FreeType refuses after dropping the
// bitmap size, while Qt's note keeps the old one. Every later emoji on this thread would
// then load at no size at all: advances of 0.31 em instead of 1.06 em, lines broken
// elsewhere, and their pictures drawn differently. Restores the bitmap size when it is lost;
// to be called on the laying out thread before a layout, which then depends on its inputs
// alone and not on what this thread drew before.
void reselectColourEmojiSize();
enum class FontFallbacks {
    Named, // the fallback faces follow the format's own family
    None,  // for text the family's face sets alone: the same glyphs, at a fraction of the cost
           // of each font Qt makes from it, since it looks up every family the font names
};
// The font that sets text in `format`, with the internal pixel scale.
QFont fontFor(const CharFormat& format, FontFallbacks fallbacks = FontFallbacks::Named);
FontMetrics metricsFor(const CharFormat& format);
// metricsFor as this thread last found it: a document asks for the same few formats again
// and again, and each ask of the shared table takes a lock and lowers the family's name.
FontMetrics keptMetricsFor(const CharFormat& format);

} // namespace layout

// The line layout of one paragraph at one width; immutable once built and shared between
// the paragraphs that show (a suffix of) the same text.
struct ParagraphShape {
    struct Line {
        int start = 0;  // first character, counted in the shaped text
        int length = 0; // characters, including trailing blanks
        double ascent = 0;
        double height = 0;
        double left = 0;        // drawn extent, relative to the paragraph's left edge
        double right = 0;       // (equal when the line draws nothing)
        bool pageBreak = false; // ends in a page break (form feed): the next line opens a page
    };

    // Inputs: compared before reuse.
    std::vector<Run> runs;
    ParagraphAlignment alignment = ParagraphAlignment::Left;
    CharFormat markFormat;
    double width = 0; // twips

    int textLength = 0;
    QTextLayout textLayout;
    std::vector<Line> lines;
    bool cut = false; // stopped at a number of lines: the paragraph goes on past the last
    // Set by faces of the font folder alone. Qt's fallback faces keep state from one use to
    // the next (a colour emoji's metrics follow the sizes drawn before), so only such a shape
    // is the same whenever it is made.
    bool ownFacesOnly = false;
};

// What Paragraph::layoutCache holds: a shape and how much of its start the paragraph has
// lost since it was shaped (whole lines only).
struct ParagraphLayout {
    std::shared_ptr<const ParagraphShape> shape;
    int firstLine = 0;
    int charOffset = 0; // characters of the shaped text before the paragraph's first one
    // The paragraph's runs when it was last matched: their strings share data with the
    // paragraph's until it is edited, which makes the next check a comparison of pointers.
    std::vector<Run> seen;

    int lineCount() const { return int(shape->lines.size()) - firstLine; }
    const ParagraphShape::Line& line(int i) const { return shape->lines[size_t(firstLine + i)]; }
    // Offset of line i's first character in the paragraph as it is now.
    int lineOffset(int i) const { return line(i).start - charOffset; }
    double height() const;
    // Draws line i with its left edge at x and its baseline at y (twips).
    void drawLine(QPainter& painter, int i, double x, double baseline) const;
};

namespace layout {

// The layout of a paragraph set in a column `width` twips wide: the cached one when it still
// fits the paragraph, a new one (stored in the cache) otherwise. Lines past maxLines are not
// made (the shape is then cut): a layout that can show no more of them need not pay for them.
// Throws EngineError for a paragraph of more than limits::kMaxDocumentCharacters characters.
std::shared_ptr<const ParagraphLayout> layoutParagraph(const Paragraph& paragraph, double width,
                                                       int maxLines = INT_MAX);

// Whether a ShapeReuse is in force on this thread.
bool keepingShapes();
// A shape of the ShapeReuse in force on this thread made from the paragraph's inputs at this
// width, or none; such a shape is never cut, and so serves any number of lines.
std::shared_ptr<const ParagraphShape> reusedShape(const Paragraph& paragraph, double width);
// Keeps a shape just made in the ShapeReuse in force on this thread, if any and if it may.
void offerShape(const Paragraph& paragraph, double width,
                const std::shared_ptr<const ParagraphShape>& shape);

// A line placed on a page.
struct PlacedLine {
    std::shared_ptr<const ParagraphLayout> paragraph;
    int line = 0;
    double x = 0;        // twips from the paper's left edge
    double baseline = 0; // twips from the paper's top edge
};

struct PageContent {
    std::vector<PlacedLine> lines;
    std::vector<QLineF> rules; // table borders, kGridBorderTwips wide
    QRectF box; // bounding box of what the page draws (of its blank lines when nothing)
};

struct PageLayout {
    std::vector<Position> starts;
    std::vector<PageContent> pages; // filled only when asked for
    bool tooMany = false;           // the document goes on past its page budget
    bool tooManyLines = false;      // or past limits::kMaxLines
};

// Lays out the first maxPages pages (all when maxPages is INT_MAX), at most the document's
// page budget of them.
PageLayout layoutPages(const Document& document, int maxPages, bool withContent);

// Throws EngineError, saying which bound was met, when a layout of the whole document stopped
// short of its end: a page count or pages drawn from such a layout would leave the rest out
// without a word.
void refuseUnfinished(const PageLayout& pages, const Document& document);

// Draws a page's content in twips, in paper coordinates.
void drawContent(QPainter& painter, const PageContent& content);

} // namespace layout
} // namespace wordengine
