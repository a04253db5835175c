// The page renderer's loop over the editing rules: copy the first page, go to the next page's
// start, delete everything before it, until one page is left. A hand-made layout (fixed
// characters per line, fixed lines per page, a table row one line) stands in for the real one,
// with page breaks inside paragraphs and between table rows.
#include "Editing.h"

#include <gtest/gtest.h>
#include <ostream>

// Readable failure messages for text.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

using namespace wordengine;

namespace {

constexpr int charsPerLine = 10;
constexpr int linesPerPage = 5;

struct Line {
    Position start;
    QString text;
};

std::vector<Line> layOut(const Document& d) {
    std::vector<Line> lines;
    for (int b = 0; b < int(d.body.size()); ++b) {
        if (const auto* p = std::get_if<Paragraph>(&d.body[size_t(b)])) {
            const QString text = p->text();
            const int count =
                std::max<int>(1, int((text.size() + charsPerLine - 1) / charsPerLine));
            for (int i = 0; i < count; ++i)
                lines.push_back({Position{b, -1, -1, 0, i * charsPerLine},
                                 text.mid(i * charsPerLine, charsPerLine)});
            continue;
        }
        const Table& t = std::get<Table>(d.body[size_t(b)]);
        for (int r = 0; r < int(t.rows.size()); ++r) {
            QStringList cells;
            for (const Cell& c : t.rows[size_t(r)].cells)
                cells << c.paragraphs.front().text();
            lines.push_back({Position{b, r, 0, 0, 0}, cells.join(u'|')});
        }
    }
    return lines;
}

Pagination paginateByLines(const Document& d) {
    Pagination pages;
    const auto lines = layOut(d);
    for (size_t i = 0; i < lines.size(); i += linesPerPage)
        pages.pageStarts.push_back(lines[i].start);
    return pages;
}

QStringList firstPage(const Document& d) {
    QStringList page;
    const auto lines = layOut(d);
    for (size_t i = 0; i < lines.size() && i < size_t(linesPerPage); ++i)
        page << lines[i].text;
    return page;
}

// Paragraphs of 3 and 5 lines, a table of 3 rows and empty paragraphs, until the document
// needs `pages` pages. No unit is longer than a page, so the count comes out exact.
Document documentOf(int pages) {
    Document d;
    d.body.clear();
    int serial = 0;
    auto next = [&](int length) {
        QString text;
        while (text.size() < length)
            text += QString::number(serial++ % 10);
        return text;
    };
    for (int unit = 0;; ++unit) {
        Document candidate = d;
        candidate.body.push_back(Paragraph{});
        if (int(layOut(candidate).size()) > (pages - 1) * linesPerPage) {
            d = candidate;
            break;
        }
        switch (unit % 4) {
        case 0:
        case 3: {
            Paragraph p;
            p.runs = {wordengine::Run{next(unit % 4 == 0 ? 23 : 45), CharFormat{}}};
            d.body.push_back(p);
            break;
        }
        case 1: {
            Table t;
            t.columns = 2;
            for (int r = 0; r < 3; ++r) {
                Cell a, b;
                a.paragraphs.front().runs = {wordengine::Run{next(4), CharFormat{}}};
                b.paragraphs.front().runs = {wordengine::Run{next(3), CharFormat{}}};
                t.rows.push_back(Row{{a, b}});
            }
            d.body.push_back(t);
            break;
        }
        case 2:
            d.body.push_back(Paragraph{}); // also the paragraph every table needs after it
            break;
        }
    }
    return d;
}

} // namespace

TEST(EditingPages, RemovingPagesOneByOneShowsEveryPageOnce) {
    for (const int pages : {1, 3, 20}) {
        Document d = documentOf(pages);
        const Pagination original = paginateByLines(d);
        ASSERT_EQ(original.pageCount(), pages);
        std::vector<QStringList> expected;
        {
            const auto lines = layOut(d);
            for (size_t i = 0; i < lines.size(); ++i) {
                if (i % linesPerPage == 0)
                    expected.emplace_back();
                expected.back() << lines[i].text;
            }
        }

        Editor editor(d);
        std::vector<QStringList> shown;
        for (int removed = 0;; ++removed) {
            shown.push_back(firstPage(d));
            if (pages - removed <= 1)
                break;
            const Pagination now = paginateByLines(d);
            ASSERT_EQ(now.pageCount(), pages - removed) << "pages " << pages;
            const int current = Editor::pageOf(now, editor.storyStart());
            EXPECT_EQ(current, 0);
            const Position nextPage = now.pageStarts[size_t(current) + 1];
            ASSERT_TRUE(editor.isValid(nextPage));
            const Position after = editor.deleteBefore(nextPage);
            EXPECT_EQ(after, editor.storyStart());
        }
        EXPECT_EQ(shown, expected) << "pages " << pages;
        EXPECT_EQ(paginateByLines(d).pageCount(), 1);
    }
}

TEST(EditingPages, PageOfAPosition) {
    Pagination p;
    p.pageStarts = {Position{0, -1, -1, 0, 0}, Position{0, -1, -1, 0, 30}, Position{2, 1, 0, 0, 0}};
    struct Case {
        Position at;
        int page;
    };
    const Case cases[] = {
        {{0, -1, -1, 0, 0}, 0}, {{0, -1, -1, 0, 29}, 0}, {{0, -1, -1, 0, 30}, 1},
        {{2, 0, 1, 0, 4}, 1},   {{2, 1, 0, 0, 0}, 2},    {{2, 0, 2, 0, 0}, 1},
        {{3, -1, -1, 0, 0}, 2},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Editor::pageOf(p, c.at), c.page) << c.at.block << ' ' << c.at.offset;
    EXPECT_EQ(Editor::pageOf(Pagination{}, Position{}), 0);
}
