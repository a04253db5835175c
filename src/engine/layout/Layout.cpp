// Pagination: places the lines of paragraphs and the rows of tables on pages, and draws them.
#include "Layout.h"

#include "EngineLimits.h"
#include "LayoutInternal.h"

#include <QPainter>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <limits>

namespace wordengine {
namespace layout {
namespace {

// Below this, a difference of heights is rounding, not overflow (twips).
constexpr double kSlack = 0.01;

// The story start of a block, or of row `row` of a table block.
Position blockStart(const Document& document, int block, int row = 0) {
    if (std::holds_alternative<Table>(document.body[size_t(block)]))
        return Position{block, row, 0, 0, 0};
    return Position{block, -1, -1, 0, 0};
}

class Paginator {
public:
    Paginator(const Document& document, int maxPages, bool withContent)
        : document_(document), maxPages_(maxPages), withContent_(withContent) {
        const PageSetup& setup = document.pageSetup;
        const double gutter = setup.gutter * kTwipsPerPoint;
        const bool gutterOnTop = setup.gutterPos == GutterPosition::Top;
        top_ = setup.topMargin * kTwipsPerPoint + (gutterOnTop ? gutter : 0.0);
        bottom_ = (setup.pageHeight - setup.bottomMargin) * kTwipsPerPoint;
        left_ = setup.leftMargin * kTwipsPerPoint + (gutterOnTop ? 0.0 : gutter);
        width_ = (setup.pageWidth - setup.leftMargin - setup.rightMargin) * kTwipsPerPoint -
                 (gutterOnTop ? 0.0 : gutter);
        width_ = std::max(width_, 1.0);
    }

    PageLayout run() {
        if (maxPages_ <= 0)
            return {};
        if (document_.body.empty()) { // not a valid document; one empty page all the same
            openPage(Position{});
            return std::move(out_);
        }
        openPage(blockStart(document_, 0));
        for (int b = 0; b < int(document_.body.size()) && !done_; ++b) {
            const Block& block = document_.body[size_t(b)];
            if (const auto* paragraph = std::get_if<Paragraph>(&block))
                placeParagraph(b, *paragraph);
            else
                placeTable(b, std::get<Table>(block));
        }
        closePage();
        return std::move(out_);
    }

private:
    // Starts a new page at `start`; sets done_ instead when enough pages are known.
    void openPage(const Position& start) {
        if (int(out_.starts.size()) >= maxPages_) {
            done_ = true;
            return;
        }
        closePage();
        out_.starts.push_back(start);
        if (withContent_)
            out_.pages.emplace_back();
        y_ = top_;
        pageHasContent_ = false;
    }

    // A page that draws nothing (empty paragraphs only) still gets a box: the column's width
    // over its lines, so that every page has a picture.
    void closePage() {
        if (withContent_ && !out_.pages.empty() && out_.pages.back().box.isNull() &&
            !blankBox_.isNull()) {
            out_.pages.back().box = QRectF(left_, blankBox_.top(), width_, blankBox_.height());
        }
        blankBox_ = QRectF();
    }

    // Whether `height` more twips fit on the page; an empty page takes anything, so that
    // every page makes progress.
    bool fits(double height) const { return !pageHasContent_ || y_ + height <= bottom_ + kSlack; }

    double pageHeight() const { return bottom_ - top_; }

    // The most lines of a paragraph that the pages left could show: a page holds its height
    // over the shortest line of the paragraph's text, and one more (an empty page takes any
    // line); the last line, which the mark's font sets too, may be shorter. And no more lines
    // than the document may have. A paragraph is shaped no further than that.
    int wantedLines(const Paragraph& paragraph) const {
        double shortest = std::numeric_limits<double>::infinity();
        for (const Run& run : paragraph.runs) {
            if (!run.text.isEmpty()) {
                const FontMetrics m = keptMetricsFor(run.format);
                shortest = std::min(shortest, m.ascent + m.descent + m.lineGap);
            }
        }
        const double perPage = std::floor(pageHeight() / std::max(shortest, 1.0)) + 2;
        const double pagesLeft = maxPages_ - double(out_.starts.size()) + 1;
        return int(std::min(perPage * pagesLeft + 1, double(linesLeft_) + 1));
    }

    // Counts the lines a paragraph was given; past limits::kMaxLines the layout ends.
    bool takeLines(const ParagraphLayout& p) {
        linesLeft_ -= p.lineCount();
        if (linesLeft_ >= 0)
            return true;
        out_.tooManyLines = done_ = true;
        return false;
    }

    void addBox(const QRectF& rect) {
        PageContent& page = out_.pages.back();
        page.box = page.box.isNull() ? rect : page.box.united(rect);
    }

    void placeLine(const std::shared_ptr<const ParagraphLayout>& p, int i, double x, double top) {
        if (!withContent_)
            return;
        const ParagraphShape::Line& line = p->line(i);
        out_.pages.back().lines.push_back({p, i, x, top + line.ascent});
        if (line.right > line.left)
            addBox(QRectF(x + line.left, top, line.right - line.left, line.height));
        else
            blankBox_ = blankBox_.united(QRectF(x, top, 1, line.height));
    }

    void placeParagraph(int block, const Paragraph& paragraph) {
        const auto p = layoutParagraph(paragraph, width_, wantedLines(paragraph));
        if (!takeLines(*p))
            return;
        for (int i = 0; i < p->lineCount() && !done_; ++i) {
            const double h = p->line(i).height;
            if (!fits(h) || pageBreak_) {
                pageBreak_ = false;
                openPage(Position{block, -1, -1, 0, p->lineOffset(i)});
                if (done_)
                    return;
            }
            placeLine(p, i, left_, y_);
            y_ += h;
            pageHasContent_ = true;
            pageBreak_ = p->line(i).pageBreak;
        }
    }

    // One laid-out cell of a row.
    struct CellLines {
        std::vector<std::shared_ptr<const ParagraphLayout>> paragraphs;
        double height = 0;
        int paragraph = 0; // where the cell goes on when the row is split
        int line = 0;
    };

    void placeTable(int block, const Table& table) {
        const int columns = std::max(1, table.columns);
        const double columnWidth = width_ / columns;
        const double textWidth = std::max(1.0, columnWidth - 2 * kCellMarginTwips);
        const bool grid = table.format.style == tablestyles::kGridName;
        const double minHeight = table.format.height * kTwipsPerPoint;

        for (int r = 0; r < int(table.rows.size()) && !done_; ++r) {
            // The top border takes its width above the first row of the table and above the
            // first row on each page, so that a table laid out from a row on a new page
            // is laid out as it was when that row began the page.
            const double topBorder = grid ? kGridBorderTwips : 0.0;
            double border = r == 0 || !pageHasContent_ ? topBorder : 0.0;
            const Row& row = table.rows[size_t(r)];
            std::vector<CellLines> cells(row.cells.size());
            double content = 0;
            for (size_t c = 0; c < row.cells.size(); ++c) {
                for (const Paragraph& paragraph : row.cells[c].paragraphs) {
                    cells[c].paragraphs.push_back(
                        layoutParagraph(paragraph, textWidth, wantedLines(paragraph)));
                    if (!takeLines(*cells[c].paragraphs.back()))
                        return;
                    cells[c].height += cells[c].paragraphs.back()->height();
                }
                content = std::max(content, cells[c].height);
            }
            // A row holds its bottom border as Word and LibreOffice lay it out: below the
            // cells' text, within a least or exact height, and added to a row its text
            // makes taller. (Left out, a table of rows grown by long values ended half a
            // point higher per row than in LibreOffice.)
            const double bottomBorder = grid ? kGridBorderTwips : 0.0;
            double height = content + bottomBorder;
            if (table.format.heightRule == RowHeightRule::AtLeast)
                height = std::max(height, minHeight);
            else if (table.format.heightRule == RowHeightRule::Exactly && minHeight > 0)
                height = minHeight;

            if (!fits(border + height) || pageBreak_) {
                pageBreak_ = false;
                openPage(Position{block, r, 0, 0, 0});
                if (done_)
                    return;
                border = topBorder;
            }
            y_ += border;
            if (y_ + height <= bottom_ + kSlack || height > content + bottomBorder) {
                placeRow(table, row, cells, columnWidth, height, bottomBorder, grid);
            } else {
                // Taller than a whole page: the row runs on over pages, line by line.
                splitRow(block, r, cells, columnWidth, grid);
            }
        }
    }

    void placeRow(const Table& table, const Row& row, const std::vector<CellLines>& cells,
                  double columnWidth, double height, double bottomBorder, bool grid) {
        const double textHeight = height - bottomBorder;
        for (size_t c = 0; c < cells.size(); ++c) {
            double top = y_;
            switch (row.cells[c].verticalAlignment) {
            case CellVerticalAlignment::Center:
                top += (textHeight - cells[c].height) / 2;
                break;
            case CellVerticalAlignment::Bottom:
                top += textHeight - cells[c].height;
                break;
            case CellVerticalAlignment::Top:
                break;
            }
            const double x = left_ + double(c) * columnWidth + kCellMarginTwips;
            for (const auto& p : cells[c].paragraphs) {
                for (int i = 0; i < p->lineCount(); ++i) {
                    // An exact height clips the lines that would run past the row.
                    if (table.format.heightRule != RowHeightRule::Exactly ||
                        top + p->line(i).height <= y_ + textHeight)
                        placeLine(p, i, x, top);
                    top += p->line(i).height;
                }
            }
        }
        drawRowBorders(int(cells.size()), columnWidth, y_, height, grid);
        y_ += height;
        pageHasContent_ = true;
    }

    void splitRow(int block, int r, std::vector<CellLines>& cells, double columnWidth, bool grid) {
        for (;;) {
            double used = 0;
            int firstOpen = -1;
            for (size_t c = 0; c < cells.size(); ++c) {
                CellLines& cell = cells[c];
                const double x = left_ + double(c) * columnWidth + kCellMarginTwips;
                double top = y_;
                while (cell.paragraph < int(cell.paragraphs.size())) {
                    const auto& p = cell.paragraphs[size_t(cell.paragraph)];
                    if (cell.line >= p->lineCount()) {
                        ++cell.paragraph;
                        cell.line = 0;
                        continue;
                    }
                    const double h = p->line(cell.line).height;
                    // A fresh page always takes one line, so the row cannot stall.
                    const bool first = top == y_ && !pageHasContent_;
                    if (top + h > bottom_ + kSlack && !first)
                        break;
                    placeLine(p, cell.line, x, top);
                    top += h;
                    ++cell.line;
                }
                used = std::max(used, top - y_);
                if (firstOpen < 0 && cell.paragraph < int(cell.paragraphs.size()))
                    firstOpen = int(c);
            }
            drawRowBorders(int(cells.size()), columnWidth, y_, used, grid);
            y_ += used;
            pageHasContent_ = true;
            if (firstOpen < 0)
                return;
            const CellLines& open = cells[size_t(firstOpen)];
            const auto& p = open.paragraphs[size_t(open.paragraph)];
            openPage(Position{block, r, firstOpen, open.paragraph, p->lineOffset(open.line)});
            if (done_)
                return;
            if (grid)
                y_ += kGridBorderTwips;
        }
    }

    void drawRowBorders(int columns, double columnWidth, double top, double height, bool grid) {
        if (!withContent_ || !grid || height <= 0)
            return;
        PageContent& page = out_.pages.back();
        const double right = left_ + columns * columnWidth;
        page.rules.emplace_back(left_, top, right, top);
        page.rules.emplace_back(left_, top + height, right, top + height);
        for (int c = 0; c <= columns; ++c) {
            const double x = left_ + c * columnWidth;
            page.rules.emplace_back(x, top, x, top + height);
        }
        const double half = kGridBorderTwips / 2;
        addBox(QRectF(left_ - half, top - half, right - left_ + 2 * half, height + 2 * half));
    }

    const Document& document_;
    const int maxPages_;
    const bool withContent_;
    double top_ = 0, bottom_ = 0, left_ = 0, width_ = 0;
    double y_ = 0;
    bool pageHasContent_ = false;
    // The line placed last ended in a page break: what follows begins the next page. (In a
    // table cell a page break only ends the line, as in Word.)
    bool pageBreak_ = false;
    bool done_ = false;
    int linesLeft_ = limits::kMaxLines;
    QRectF blankBox_; // lines of the current page that draw nothing
    PageLayout out_;
};

} // namespace

PageLayout layoutPages(const Document& document, int maxPages, bool withContent) {
    loadFonts();
    reselectColourEmojiSize();
    // One page past the budget tells whether the document goes on.
    const int budget = std::min(document.pageBudget.pages, limits::kMaxPages);
    PageLayout pages = Paginator(document, std::min(maxPages, budget + 1), withContent).run();
    if (int(pages.starts.size()) > budget) {
        pages.starts.resize(size_t(budget));
        if (withContent)
            pages.pages.resize(size_t(budget));
        pages.tooMany = true;
    }
    return pages;
}

void drawContent(QPainter& painter, const PageContent& content) {
    if (!content.rules.empty()) {
        QPen pen(Qt::black, kGridBorderTwips);
        pen.setCapStyle(Qt::SquareCap);
        painter.setPen(pen);
        painter.drawLines(content.rules.data(), int(content.rules.size()));
    }
    painter.setPen(Qt::black);
    for (const PlacedLine& placed : content.lines)
        placed.paragraph->drawLine(painter, placed.line, placed.x, placed.baseline);
}

} // namespace layout

Pagination paginate(const Document& document, int maxPages) {
    layout::PageLayout pages = layout::layoutPages(document, maxPages, false);
    if (maxPages == INT_MAX)
        layout::refuseUnfinished(pages, document);
    Pagination result;
    result.pageStarts = std::move(pages.starts);
    return result;
}

namespace {
constexpr double kPictureMarginTwips = 60.0;
} // namespace

QPicture pagePicture(const Document& document, int page) {
    QPicture picture;
    if (page < 0)
        return picture;
    const layout::PageLayout pages = layout::layoutPages(document, page + 1, true);
    if (page >= int(pages.pages.size()))
        return picture;
    const layout::PageContent& content = pages.pages[size_t(page)];
    if (content.box.isEmpty())
        return picture;
    // Whole twips, enclosing the box, so the picture's integer bounding rectangle holds it,
    // with white beyond its right and bottom edges: a viewer that crops a few twips there or
    // rounds the scaled picture to whole pixels would otherwise cut off a table's right and
    // bottom borders, which lie on those edges. The margin keeps them whole down to a quarter
    // of real size on a screen of 96 dots per inch (one pixel is 60 twips there).
    const QRectF box(QPointF(std::floor(content.box.left()), std::floor(content.box.top())),
                     QPointF(std::ceil(content.box.right()) + kPictureMarginTwips,
                             std::ceil(content.box.bottom()) + kPictureMarginTwips));
    QPainter painter(&picture);
    painter.translate(-box.topLeft());
    painter.fillRect(box, Qt::white);
    layout::drawContent(painter, content);
    // Set while recording, so that end() writes it into the picture's data and a saved
    // picture loads back with it (glyph extents would otherwise widen it a little).
    picture.setBoundingRect(QRect(0, 0, int(box.width()), int(box.height())));
    painter.end();
    return picture;
}

QString pageText(const Document& document, int page) {
    if (page < 0)
        return {};
    const layout::PageLayout pages = layout::layoutPages(document, page + 1, true);
    if (page >= int(pages.pages.size()))
        return {};
    // The lines were placed in reading order; their breaks and the word joiners that stand
    // for typed line separators are nothing to read.
    QStringList lines;
    for (const layout::PlacedLine& placed : pages.pages[size_t(page)].lines) {
        const ParagraphShape::Line& line = placed.paragraph->line(placed.line);
        const QString text = placed.paragraph->shape->textLayout.text()
                                 .mid(line.start, line.length)
                                 .remove(QChar(0x2060))
                                 .trimmed();
        if (!text.isEmpty())
            lines << text;
    }
    return lines.join(QLatin1Char('\n'));
}

void drawPage(QPainter& painter, const Document& document, int page) {
    const layout::PageLayout pages = layout::layoutPages(document, page + 1, true);
    painter.save();
    const PageSetup& setup = document.pageSetup;
    painter.fillRect(QRectF(0, 0, setup.pageWidth, setup.pageHeight), Qt::white);
    if (page >= 0 && page < int(pages.pages.size())) {
        painter.scale(1 / layout::kTwipsPerPoint, 1 / layout::kTwipsPerPoint);
        layout::drawContent(painter, pages.pages[size_t(page)]);
    }
    painter.restore();
}

} // namespace wordengine
