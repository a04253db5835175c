// Page breaks of paragraphs and tables, and the reuse of line layouts across edits.
#include "BillOfSaleModel.h"
#include "Layout.h"
#include "LayoutInternal.h"
#include "ShapeReuse.h"

#include <QPicture>
#include <gtest/gtest.h>
#include <map>

using namespace wordengine;

namespace wordengine {
static void PrintTo(const Position& p, std::ostream* os) {
    *os << "{block " << p.block << ", row " << p.row << ", cell " << p.cell << ", paragraph "
        << p.paragraph << ", offset " << p.offset << "}";
}
} // namespace wordengine

namespace {

// US Letter with 1 inch top and bottom margins: 648 pt of body, which holds 51 lines of
// 11 pt Arial (12.65 pt each) and 30 rows of at least 21.6 pt.
constexpr int kLinesPerPage = 51;

Paragraph line(const QString& text = QStringLiteral("Line")) {
    Paragraph p;
    p.runs.push_back(Run{text, CharFormat{}});
    return p;
}

// A paragraph of `lines` lines: ten-digit words, of which six fit the text width of 432 pt
// (digits have fixed widths), so 66 characters to the line.
constexpr int kCharsPerLine = 66;
Paragraph longParagraph(int lines) {
    QString text;
    for (int i = 0; i < lines * 6; ++i)
        text += QStringLiteral("1234567890 ");
    return line(text);
}

Table table(int rows, int columns, const QString& cellText = QStringLiteral("Cell")) {
    Table t;
    t.columns = columns;
    t.format.heightRule = RowHeightRule::AtLeast;
    t.format.height = 21.6;
    t.format.style = QStringLiteral("Table Grid");
    for (int r = 0; r < rows; ++r) {
        Row row;
        for (int c = 0; c < columns; ++c) {
            Cell cell;
            cell.paragraphs = {line(cellText)};
            cell.verticalAlignment = CellVerticalAlignment::Center;
            row.cells.push_back(cell);
        }
        t.rows.push_back(row);
    }
    return t;
}

Document document(std::vector<Block> body) {
    Document d;
    d.body = std::move(body);
    if (!std::holds_alternative<Paragraph>(d.body.back()))
        d.body.push_back(Paragraph{});
    return d;
}

std::vector<Block> paragraphs(int n) {
    return std::vector<Block>(size_t(n), line());
}

Position at(int block, int offset = 0) {
    return Position{block, -1, -1, 0, offset};
}
Position atRow(int block, int row, int cell = 0, int paragraph = 0, int offset = 0) {
    return Position{block, row, cell, paragraph, offset};
}

TEST(LayoutPages, PageStarts) {
    const int perLine = kCharsPerLine;
    const struct {
        const char* name;
        Document doc;
        std::vector<Position> starts;
    } cases[] = {
        {"one empty paragraph", Document{}, {at(0)}},
        {"a page of lines", document(paragraphs(kLinesPerPage)), {at(0)}},
        {"one line more", document(paragraphs(kLinesPerPage + 1)), {at(0), at(kLinesPerPage)}},
        {"three pages",
         document(paragraphs(2 * kLinesPerPage + 1)),
         {at(0), at(kLinesPerPage), at(2 * kLinesPerPage)}},
        {"a paragraph splits between lines",
         document({line(), longParagraph(120)}),
         {at(0), at(1, (kLinesPerPage - 1) * perLine), at(1, (2 * kLinesPerPage - 1) * perLine)}},
        {"a table starts the story", document({table(2, 2)}), {atRow(0, 0)}},
        {"29 rows and a line fill a page", document({table(29, 2)}), {atRow(0, 0)}},
        {"the row that does not fit moves whole",
         document({line(), table(30, 2)}),
         {at(0), atRow(1, 29)}},
        // 29 rows, their top border and two lines come to 652 pt.
        {"a line after a full table",
         document({table(29, 1), line(), line()}),
         {atRow(0, 0), at(2)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(paginate(c.doc).pageStarts, c.starts);
    }
}

TEST(LayoutPages, RowTallerThanAPageRunsOn) {
    // A cell of 61 lines (the cell's text width still takes six words to the line): the row
    // starts on a fresh page and goes on to the next one line by line.
    Table t = table(1, 1);
    t.rows[0].cells[0].paragraphs = {line(), longParagraph(60)};
    const Document doc = document({line(), t});
    EXPECT_EQ(paginate(doc).pageStarts,
              (std::vector<Position>{at(0), atRow(1, 0),
                                     atRow(1, 0, 0, 1, (kLinesPerPage - 1) * kCharsPerLine)}));
}

TEST(LayoutPages, MaxPagesStopsEarly) {
    const Document doc = document(paragraphs(10 * kLinesPerPage));
    EXPECT_EQ(paginate(doc).pageCount(), 10);
    const auto two = paginate(doc, 2).pageStarts;
    EXPECT_EQ(two, (std::vector<Position>{at(0), at(kLinesPerPage)}));
    // Only the first page's paragraphs were laid out.
    const Document fresh = document(paragraphs(10 * kLinesPerPage));
    paginate(fresh, 1);
    EXPECT_TRUE(std::get<Paragraph>(fresh.body[kLinesPerPage - 1]).layoutCache);
    EXPECT_FALSE(std::get<Paragraph>(fresh.body[3 * kLinesPerPage]).layoutCache);
}

TEST(LayoutPages, RowsGrowWithTheirContentAndAlignCellsVertically) {
    // A row with a three-line cell is three lines high; the one-line cell beside it sits at
    // its top, one line down or two lines down, as its vertical alignment says.
    const double step = lineHeight(CharFormat{}) * 20;
    const struct {
        CellVerticalAlignment alignment;
        double linesDown;
    } cases[] = {{CellVerticalAlignment::Top, 0},
                 {CellVerticalAlignment::Center, 1},
                 {CellVerticalAlignment::Bottom, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.alignment));
        Table t = table(1, 2);
        t.rows[0].cells[0].paragraphs = {line(), line(), line()};
        t.rows[0].cells[0].verticalAlignment = CellVerticalAlignment::Top;
        t.rows[0].cells[1].verticalAlignment = c.alignment;
        const auto pages = layout::layoutPages(document({t}), 1, true);
        ASSERT_EQ(pages.pages.size(), 1u);
        const auto& lines = pages.pages[0].lines;
        ASSERT_EQ(lines.size(), 5u); // and the empty paragraph after the table
        EXPECT_NEAR(lines[1].baseline - lines[0].baseline, step, 0.01);
        EXPECT_NEAR(lines[3].baseline - lines[0].baseline, c.linesDown * step, 0.01);
        // The paragraph after the table comes after three lines and the bottom border (the
        // top one is above the first line).
        EXPECT_NEAR(lines[4].baseline - lines[0].baseline, 3 * step + 10, 0.01);
        // Cell text starts 108 twips in from the cell's edge; cells share the text width.
        EXPECT_NEAR(lines[0].x, 90 * 20 + 108, 0.01);
        EXPECT_NEAR(lines[3].x, 90 * 20 + 216 * 20 + 108, 0.01);
    }
}

TEST(LayoutCache, SurvivesDeletingThePagesBefore) {
    // Removing the first page and laying out again must reuse every line layout and give
    // the same pages as a fresh layout.
    Document doc = billofsale::buildDocument(billofsale::longRecord(6));
    const int pages = paginate(doc).pageCount();
    ASSERT_GE(pages, 5);
    for (int left = pages; left > 1; --left) {
        SCOPED_TRACE(left);
        const auto starts = paginate(doc, 2).pageStarts;
        ASSERT_EQ(starts.size(), 2u);
        // The shapes of the paragraphs that stay, in order.
        const int firstKept = starts[1].block;
        std::vector<const ParagraphShape*> shapes;
        for (int b = firstKept; b < int(doc.body.size()); ++b)
            if (const auto* p = std::get_if<Paragraph>(&doc.body[size_t(b)]))
                shapes.push_back(p->layoutCache->shape.get());
        billofsale::deleteBefore(doc, starts[1]);
        EXPECT_EQ(paginate(doc).pageCount(), left - 1);
        size_t k = 0;
        for (const Block& block : doc.body) {
            if (const auto* p = std::get_if<Paragraph>(&block)) {
                ASSERT_LT(k, shapes.size());
                EXPECT_EQ(p->layoutCache->shape.get(), shapes[k++]);
            }
        }

        Document copy = doc;
        for (Block& block : copy.body)
            if (auto* p = std::get_if<Paragraph>(&block))
                p->layoutCache.reset();
        EXPECT_EQ(paginate(copy).pageStarts, paginate(doc).pageStarts);
    }
}

TEST(LayoutCache, EditsAreNotHiddenByTheCache) {
    const struct {
        const char* name;
        void (*edit)(Paragraph&);
    } cases[] = {
        {"text changed",
         [](Paragraph& p) { p.runs[0].text.replace(0, 5, QStringLiteral("WWWWW")); }},
        {"characters dropped inside a line", [](Paragraph& p) { p.runs[0].text.remove(0, 3); }},
        {"format changed", [](Paragraph& p) { p.runs[0].format.size = 14; }},
        {"alignment changed", [](Paragraph& p) { p.alignment = ParagraphAlignment::Center; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Paragraph p = longParagraph(5);
        const auto before = layout::layoutParagraph(p, 432 * 20);
        c.edit(p);
        const auto after = layout::layoutParagraph(p, 432 * 20);
        EXPECT_NE(after->shape, before->shape);
        Paragraph fresh = p;
        fresh.layoutCache.reset();
        const auto expected = layout::layoutParagraph(fresh, 432 * 20);
        ASSERT_EQ(after->lineCount(), expected->lineCount());
        for (int i = 0; i < after->lineCount(); ++i)
            EXPECT_EQ(after->lineOffset(i), expected->lineOffset(i));
    }
}

// Bills one after another, as a batch worker makes them with --pdf: a value that wraps, one in
// another script, emoji, the sample again. The pages from kept shapes are those of a fresh
// layout, and a bill made again has the pages it had the first time.
TEST(LayoutCache, KeptShapesGiveTheSamePagesAsFreshOnes) {
    const auto with = [](void (*change)(billofsale::SaleRecord&)) {
        billofsale::SaleRecord record = billofsale::sampleRecord();
        change(record);
        return record;
    };
    const billofsale::SaleRecord wrapping =
                                     with([](auto&r) { r.buyer = QString(60, u'W') + r.buyer; }),
                                 emoji = with([](auto&r) {
                                     r.buyer = QStringLiteral("🚗 Rocket 🚀 ").repeated(9);
                                 });
    const struct {
        const char* name;
        billofsale::SaleRecord record;
        bool allKept; // every paragraph takes a kept shape
    } bills[] = {
        {"sample", billofsale::sampleRecord(), false},
        {"sample again", billofsale::sampleRecord(), true},
        {"a buyer that wraps", wrapping, false},
        {"a long seller", billofsale::longRecord(2), false},
        {"Greek", with([](auto& r) { r.buyer = QStringLiteral("Ελένη Παπαδοπούλου"); }), false},
        {"emoji", emoji, false},
        {"Arabic", with([](auto& r) { r.buyer = QStringLiteral("محمد الأحمد"); }), false},
        {"Japanese in a cell", with([](auto& r) { r.make = QStringLiteral("山田 太郎"); }), false},
        {"the wrapping buyer again", wrapping, true},
        {"emoji again", emoji, false},
        {"sample at last", billofsale::sampleRecord(), true},
    };
    const auto pages = [](const Document& doc) {
        QList<QByteArray> drawn;
        const int count = paginate(doc).pageCount();
        for (int page = 0; page < count; ++page) {
            const QPicture picture = pagePicture(doc, page);
            drawn << QByteArray(picture.data(), picture.size()) << pageText(doc, page).toUtf8();
        }
        return drawn;
    };
    ShapeReuse reuse;
    std::map<QString, QList<QByteArray>> made; // by the values that set the bills apart
    for (const auto& bill : bills) {
        SCOPED_TRACE(bill.name);
        QList<QByteArray> kept;
        long long shaped = 0;
        {
            const ShapeReuse::Scope scope(reuse);
            const long long before = layout::shapedParagraphs();
            kept = pages(billofsale::buildDocument(bill.record));
            shaped = layout::shapedParagraphs() - before;
        }
        EXPECT_EQ(kept, pages(billofsale::buildDocument(bill.record)));
        if (bill.allKept) {
            EXPECT_EQ(shaped, 0);
        }
        const auto first =
            made.try_emplace(bill.record.buyer + bill.record.seller + bill.record.make, kept);
        EXPECT_EQ(kept, first.first->second);
        EXPECT_TRUE(writePdf(billofsale::buildDocument(bill.record), QStringLiteral("/dev/null")));
    }
}

TEST(LayoutPages, BillOfSaleSampleIsOnePage) {
    const Document doc = billofsale::buildDocument(billofsale::sampleRecord());
    EXPECT_EQ(paginate(doc).pageCount(), 1);
    for (int pages : {10, 50}) {
        SCOPED_TRACE(pages);
        EXPECT_EQ(paginate(billofsale::buildDocument(billofsale::longRecord(pages))).pageCount(),
                  pages);
    }
}

} // namespace
