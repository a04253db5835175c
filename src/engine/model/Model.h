#pragma once
// The document model of the engine: what a document is, independent of how it is edited,
// laid out, saved or drawn. Plain values; the editing rules live in Editing.h.

#include "EngineLimits.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <variant>
#include <vector>

namespace wordengine {

// Word's values for the formatting the model keeps, by name. Each enumerator holds Word's own
// number for it, which the automation interface takes and gives back; the file format's names
// for them are the package's business.

// wdUnderline. A document read from a file may hold any of these; the program itself sets
// only None and Single.
enum class Underline : int {
    None = 0,
    Single = 1,
    Words = 2,
    Double = 3,
    Dotted = 4,
    Thick = 6,
    Dash = 7,
    DotDash = 9,
    DotDotDash = 10,
    Wavy = 11,
    DottedHeavy = 20,
    DashHeavy = 23,
    DotDashHeavy = 25,
    DotDotDashHeavy = 26,
    WavyHeavy = 27,
    DashLong = 39,
    WavyDouble = 43,
    DashLongHeavy = 55,
};

// wdParagraphAlignment.
enum class ParagraphAlignment : int { Left = 0, Center = 1, Right = 2, Justify = 3 };

// wdCellVerticalAlignment: Word has no 2.
enum class CellVerticalAlignment : int { Top = 0, Center = 1, Bottom = 3 };

// wdRowHeightRule.
enum class RowHeightRule : int { Auto = 0, AtLeast = 1, Exactly = 2 };

// wdOrientation.
enum class PageOrientation : int { Portrait = 0, Landscape = 1 };

// wdSectionStart.
enum class SectionStart : int {
    Continuous = 0,
    NewColumn = 1,
    NewPage = 2,
    EvenPage = 3,
    OddPage = 4
};

// wdVerticalAlignment: where the text of a page that it does not fill sits.
enum class PageVerticalAlignment : int { Top = 0, Center = 1, Justify = 2, Bottom = 3 };

// wdGutterStyle: the page's side that takes the gutter. Word numbers the top before the right.
enum class GutterPosition : int { Left = 0, Top = 1, Right = 2 };

// Character formatting of a run or of a paragraph mark.
struct CharFormat {
    QString fontName = QStringLiteral("Arial");
    double size = 11.0; // points
    bool bold = false;
    Underline underline = Underline::None;

    bool operator==(const CharFormat&) const = default;
};

struct Run {
    QString text; // never holds a paragraph break; may hold tabs
    CharFormat format;

    bool operator==(const Run&) const = default;
};

struct ParagraphLayout; // owned by the layout code; see Layout.h

struct Paragraph {
    ParagraphAlignment alignment = ParagraphAlignment::Left;
    std::vector<Run> runs;
    CharFormat markFormat; // formatting of the paragraph mark: sets an empty paragraph's height

    // Cache of the last layout of this paragraph. The layout code keeps the inputs it was
    // built from inside and checks them before reuse, so editing needs no invalidation.
    mutable std::shared_ptr<const ParagraphLayout> layoutCache;

    QString text() const;
    int length() const; // characters, not counting the mark

    // Equality of content; the layout cache does not take part.
    bool operator==(const Paragraph& o) const {
        return alignment == o.alignment && runs == o.runs && markFormat == o.markFormat;
    }
};

struct Cell {
    std::vector<Paragraph> paragraphs{Paragraph{}}; // never empty: the last mark ends the cell
    CellVerticalAlignment verticalAlignment = CellVerticalAlignment::Top;

    bool operator==(const Cell&) const = default;
};

struct Row {
    std::vector<Cell> cells;

    bool operator==(const Row&) const = default;
};

struct TableFormat {
    RowHeightRule heightRule = RowHeightRule::Auto;
    double height = 0.0; // points
    QString style;       // "Table Grid" draws single 0.5 pt borders; empty draws none
    bool applyStyleHeadingRows = true;
    bool applyStyleLastRow = false;
    bool applyStyleFirstColumn = true;
    bool applyStyleLastColumn = false;

    bool operator==(const TableFormat&) const = default;
};

struct Table {
    std::vector<Row> rows; // every row has `columns` cells
    int columns = 1;
    TableFormat format;

    bool operator==(const Table&) const = default;
};

using Block = std::variant<Paragraph, Table>;

// The section's page setup. Lengths in points.
struct PageSetup {
    bool lineNumberingActive = false;
    PageOrientation orientation = PageOrientation::Portrait;
    double topMargin = 72.0;
    double bottomMargin = 72.0;
    double leftMargin = 90.0;
    double rightMargin = 90.0;
    double gutter = 0.0;
    double headerDistance = 36.0;
    double footerDistance = 36.0;
    double pageWidth = 612.0;
    double pageHeight = 792.0;
    int firstPageTray = 0;
    int otherPagesTray = 0;
    SectionStart sectionStart = SectionStart::NewPage;
    bool oddAndEvenPagesHeaderFooter = false;
    bool differentFirstPageHeaderFooter = false;
    PageVerticalAlignment verticalAlignment = PageVerticalAlignment::Top;
    bool suppressEndnotes = false;
    bool mirrorMargins = false;
    bool twoPagesOnOne = false;
    bool bookFoldPrinting = false;
    bool bookFoldRevPrinting = false;
    int bookFoldPrintingSheets = 1;
    GutterPosition gutterPos = GutterPosition::Left;

    double textWidth() const { return pageWidth - leftMargin - rightMargin - gutter; }

    bool operator==(const PageSetup&) const = default;
};

// How many pages the layout may make of a document: one read from a file only so many for
// the file's size, one made in memory limits::kMaxPages.
struct PageBudget {
    int pages = limits::kMaxPages;
    qint64 fileBytes = 0; // the size of the file the budget was given for; 0: none

    static PageBudget forFile(qint64 bytes);
};

// One section and its body story. The body always ends with a paragraph, and a table is
// always followed by a paragraph.
struct Document {
    PageSetup pageSetup;
    std::vector<Block> body{Paragraph{}};
    PageBudget pageBudget;

    // Equality of content; the budget does not take part.
    bool operator==(const Document& o) const { return pageSetup == o.pageSetup && body == o.body; }
};

// Restores the rules above on a document put together from elsewhere (a file, a caller's
// blocks): a body ending with a paragraph, a paragraph after every table, tables of at least
// one row whose rows all have `columns` cells of at least one paragraph. Every paragraph or
// cell it adds holds a copy of `filler`, so that a reader can give them its default format.
void normalise(Document& document, const Paragraph& filler = Paragraph{});

// A place in the body story, in Word's character model: each paragraph is its text plus
// one mark; in a table the last mark of a cell is its end-of-cell mark and each row ends
// with an end-of-row mark, addressed as cell == columns.
struct Position {
    int block = 0;
    int row = -1;      // -1 outside tables
    int cell = -1;     // -1 outside tables; == columns at the end-of-row mark
    int paragraph = 0; // paragraph within the cell (0 outside tables)
    int offset = 0;    // characters into the paragraph; == length() at its mark

    bool inTable() const { return row >= 0; }
    auto operator<=>(const Position&) const = default;
};

} // namespace wordengine
