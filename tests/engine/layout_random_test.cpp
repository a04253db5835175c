// Random documents: removing the first page again and again, with every cached line layout
// kept, must give the pages a fresh layout gives, one page fewer each time.
#include "BillOfSaleModel.h"
#include "Layout.h"

#include <gtest/gtest.h>
#include <random>

using namespace wordengine;

namespace {

class RandomDocument {
public:
    explicit RandomDocument(unsigned seed) : random_(seed) {}

    Document make() {
        Document d;
        d.body.clear();
        const int blocks = pick(20, 40);
        for (int b = 0; b < blocks; ++b) {
            if (pick(0, 5) == 0 && !d.body.empty() &&
                std::holds_alternative<Paragraph>(d.body.back()))
                d.body.push_back(table());
            else
                d.body.push_back(paragraph(pick(0, 4) == 0 ? 0 : pick(1, 200)));
        }
        d.body.push_back(paragraph(0));
        return d;
    }

private:
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

    CharFormat format() {
        static const double sizes[] = {8, 11, 11, 11, 16};
        CharFormat f;
        f.size = sizes[pick(0, 4)];
        f.bold = pick(0, 3) == 0;
        f.underline = pick(0, 5) == 0 ? Underline::Single : Underline::None;
        return f;
    }

    Paragraph paragraph(int words) {
        static const char* const vocabulary[] = {
            "Seller", "warrants", "to",  "Buyer", "that", "1G1FP22PXS2100001",
            "title",  "$2900.00", "and", "a"};
        Paragraph p;
        static const ParagraphAlignment alignments[] = {
            ParagraphAlignment::Left, ParagraphAlignment::Center, ParagraphAlignment::Right,
            ParagraphAlignment::Justify};
        p.alignment = alignments[pick(0, 3)];
        p.markFormat = format();
        for (int w = 0; w < words;) {
            Run run{QString(), format()};
            for (int n = pick(1, 30); n > 0 && w < words; --n, ++w)
                run.text += QString::fromLatin1(vocabulary[pick(0, 9)]) + QLatin1Char(' ');
            p.runs.push_back(run);
        }
        return p;
    }

    Table table() {
        Table t;
        t.columns = pick(1, 3);
        t.format.heightRule = pick(0, 1) ? RowHeightRule::AtLeast : RowHeightRule::Auto;
        t.format.height = 21.6;
        t.format.style = pick(0, 1) ? QStringLiteral("Table Grid") : QString();
        for (int r = pick(1, 8); r > 0; --r) {
            Row row;
            for (int c = 0; c < t.columns; ++c) {
                Cell cell;
                cell.verticalAlignment =
                    pick(0, 1) ? CellVerticalAlignment::Center : CellVerticalAlignment::Top;
                cell.paragraphs.clear();
                // Now and then a cell longer than a page, in one-column tables only: in a
                // row of several cells split over pages, the cells after the one where the
                // next page starts come after it in the story, so deleting up to that start
                // leaves them whole, and their lines show again.
                const int words = t.columns == 1 && pick(0, 20) == 0 ? 2500 : pick(0, 40);
                for (int n = pick(1, 2); n > 0; --n)
                    cell.paragraphs.push_back(paragraph(words));
                row.cells.push_back(cell);
            }
            t.rows.push_back(row);
        }
        return t;
    }

    std::mt19937 random_;
};

Document withoutCache(Document d) {
    for (Block& block : d.body) {
        if (auto* p = std::get_if<Paragraph>(&block)) {
            p->layoutCache.reset();
        } else {
            for (Row& row : std::get<Table>(block).rows)
                for (Cell& cell : row.cells)
                    for (Paragraph& cp : cell.paragraphs)
                        cp.layoutCache.reset();
        }
    }
    return d;
}

TEST(LayoutRandom, RemovingPagesKeepsTheLayoutOfTheRest) {
    for (unsigned seed = 1; seed <= 10; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        Document doc = RandomDocument(seed).make();
        int pages = paginate(doc).pageCount();
        ASSERT_GE(pages, 1);
        while (pages > 1) {
            const auto starts = paginate(doc, 2).pageStarts;
            ASSERT_EQ(starts.size(), 2u);
            ASSERT_LT(starts[0], starts[1]);
            billofsale::deleteBefore(doc, starts[1]);
            const auto cached = paginate(doc).pageStarts;
            ASSERT_EQ(cached, paginate(withoutCache(doc)).pageStarts) << "pages left " << pages;
            ASSERT_EQ(int(cached.size()), pages - 1);
            ASSERT_TRUE(std::is_sorted(cached.begin(), cached.end()));
            pages = int(cached.size());
        }
    }
}

} // namespace
