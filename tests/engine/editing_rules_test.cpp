// The editing rules over hand-built documents: the character model that MoveRight walks,
// typing and its formatting, tables, and deleting up to a position. No layout involved.
#include "Editing.h"
#include "EngineErrors.h"
#include "ModelPrinting.h"

#include <gtest/gtest.h>
#include <ostream>

// Readable failure messages for text.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

using namespace wordengine;

namespace {

CharFormat fmt(double size, bool bold = false, Underline underline = Underline::None) {
    CharFormat f;
    f.size = size;
    f.bold = bold;
    f.underline = underline;
    return f;
}

Paragraph para(const QString& text, CharFormat format = {},
               ParagraphAlignment alignment = ParagraphAlignment::Left) {
    Paragraph p;
    p.alignment = alignment;
    p.markFormat = format;
    if (!text.isEmpty())
        p.runs.push_back(wordengine::Run{text, format});
    return p;
}

Cell cell(const QString& text) {
    Cell c;
    c.paragraphs = {para(text)};
    return c;
}

// "ab" | table [["x", ""], ["yz", ""]] | "" : the shape the program's script builds.
Document sampleDocument() {
    Document d;
    Table t;
    t.columns = 2;
    t.rows = {Row{{cell("x"), cell("")}}, Row{{cell("yz"), cell("")}}};
    d.body = {para("ab"), t, para("")};
    return d;
}

Position at(int block, int offset) {
    return Position{block, -1, -1, 0, offset};
}
Position inCell(int block, int row, int cell, int offset, int paragraph = 0) {
    return Position{block, row, cell, paragraph, offset};
}

QStringList texts(const Document& d) {
    QStringList out;
    for (const Block& b : d.body) {
        if (const auto* p = std::get_if<Paragraph>(&b)) {
            out << p->text();
            continue;
        }
        QStringList rows;
        for (const Row& r : std::get<Table>(b).rows) {
            QStringList cells;
            for (const Cell& c : r.cells) {
                QStringList ps;
                for (const Paragraph& p : c.paragraphs)
                    ps << p.text();
                cells << ps.join(u'/');
            }
            rows << cells.join(u'|');
        }
        out << u'[' + rows.join(u';') + u']';
    }
    return out;
}

} // namespace

TEST(EditingPositions, MoveRightWalksParagraphsCellsAndRowMarks) {
    struct Case {
        const char* what;
        Position from;
        int count;
        Position expected;
    };
    const Case cases[] = {
        {"within text", at(0, 0), 1, at(0, 1)},
        {"onto the mark", at(0, 1), 1, at(0, 2)},
        {"past the mark into the first cell", at(0, 2), 1, inCell(1, 0, 0, 0)},
        {"end of cell text to the next cell", inCell(1, 0, 0, 1), 1, inCell(1, 0, 1, 0)},
        {"last cell to its row's end mark", inCell(1, 0, 1, 0), 1, inCell(1, 0, 2, 0)},
        {"last cell of a row, 2 to the next row", inCell(1, 0, 1, 0), 2, inCell(1, 1, 0, 0)},
        {"last cell of the table, 2 to the paragraph after", inCell(1, 1, 1, 0), 2, at(2, 0)},
        {"the story's end stays", at(2, 0), 3, at(2, 0)},
        {"count 0 stays", inCell(1, 1, 0, 1), 0, inCell(1, 1, 0, 1)},
        {"long walk", at(0, 0), 8, inCell(1, 1, 0, 1)},
    };
    Document d = sampleDocument();
    const Editor editor(d);
    for (const Case& c : cases)
        EXPECT_EQ(editor.moveRight(c.from, c.count), c.expected) << c.what;
}

TEST(EditingPositions, StoryEndsValidityAndCellParagraphs) {
    Document d = sampleDocument();
    std::get<Table>(d.body[1]).rows[0].cells[0].paragraphs.push_back(para("q"));
    const Editor editor(d);
    EXPECT_EQ(editor.storyStart(), at(0, 0));
    EXPECT_EQ(editor.storyEnd(), at(2, 0));
    // A non-last paragraph's mark leads to the next paragraph of the same cell.
    EXPECT_EQ(editor.moveRight(inCell(1, 0, 0, 1), 1), inCell(1, 0, 0, 0, 1));

    const std::pair<Position, bool> validity[] = {
        {at(0, 2), true},
        {at(0, 3), false},
        {inCell(1, 0, 2, 0), true},
        {inCell(1, 0, 2, 1), false},
        {inCell(1, 2, 0, 0), false},
        {at(1, 0), false},
        {inCell(1, 0, 0, 1, 1), true},
        {at(3, 0), false},
    };
    for (const auto& [p, valid] : validity)
        EXPECT_EQ(editor.isValid(p), valid) << p.block << ' ' << p.row << ' ' << p.cell;

    Document tableFirst;
    tableFirst.body = {std::get<Table>(sampleDocument().body[1]), para("")};
    EXPECT_EQ(Editor(tableFirst).storyStart(), inCell(0, 0, 0, 0));
}

TEST(EditingPositions, MoveRightStepsOverSurrogatePairs) {
    Document d;
    d.body = {para(QStringLiteral("a\U0001F600b"))};
    const Editor editor(d);
    EXPECT_EQ(editor.moveRight(at(0, 1), 1), at(0, 3));
}

TEST(EditingPositions, FormatPickedUpAtAPosition) {
    Document d;
    Paragraph p = para("", fmt(9));
    p.runs = {wordengine::Run{"ab", fmt(10)}, wordengine::Run{"cd", fmt(12, true)}};
    d.body = {p, para("", fmt(14, false, Underline::Single))};
    const Editor editor(d);
    const CharFormat fallback = fmt(99);
    EXPECT_EQ(editor.formatAt(at(0, 0), fallback), fmt(10)) << "start takes the first character";
    EXPECT_EQ(editor.formatAt(at(0, 2), fallback), fmt(10)) << "the character before";
    EXPECT_EQ(editor.formatAt(at(0, 3), fallback), fmt(12, true));
    EXPECT_EQ(editor.formatAt(at(0, 4), fallback), fmt(12, true)) << "at the mark";
    EXPECT_EQ(editor.formatAt(at(1, 0), fallback), fmt(14, false, Underline::Single))
        << "empty: its mark";

    Document t = sampleDocument();
    EXPECT_EQ(Editor(t).formatAt(inCell(1, 0, 2, 0), fallback), fallback) << "end-of-row mark";
}

TEST(EditingTyping, BreaksSplitParagraphsAndRunsMerge) {
    struct Case {
        const char* what;
        QString text;
        QStringList expected;
    };
    const Case cases[] = {
        {"plain", "xy", {"abxy"}},
        {"CR LF", "x\r\ny", {"abx", "y"}},
        {"lone CR and lone LF", "x\ry\nz", {"abx", "y", "z"}},
        {"LF CR is two breaks", "x\n\ry", {"abx", "", "y"}},
        {"two pairs leave an empty paragraph", "x\r\n\r\n", {"abx", "", ""}},
        {"other controls stay", QString("x\ty") + QChar(11), {QString("abx\ty") + QChar(11)}},
    };
    for (const Case& c : cases) {
        Document d;
        d.body = {para("ab")};
        Editor editor(d);
        const Position end = editor.insertText(at(0, 2), c.text, CharFormat{});
        EXPECT_EQ(texts(d), c.expected) << c.what;
        EXPECT_EQ(end, editor.storyEnd()) << c.what;
    }
}

TEST(EditingTyping, FormattingOfRunsAndNewParagraphs) {
    Document d;
    d.body = {para("", fmt(16, true), ParagraphAlignment::Center)};
    Editor editor(d);
    Position p = editor.insertText(at(0, 0), "Title", fmt(16, true));
    p = editor.splitParagraph(p, fmt(16, true));
    p = editor.splitParagraph(p, fmt(16, true));
    // Font settings in an empty paragraph take hold of its mark.
    editor.applyTypingFormat(p, fmt(11));
    p = editor.insertText(p, "sum ", fmt(11));
    p = editor.insertText(p, "  5  ", fmt(11, false, Underline::Single));
    p = editor.insertText(p, ", more", fmt(11));
    p = editor.insertText(p, "!", fmt(11));

    ASSERT_EQ(d.body.size(), 3u);
    const auto& title = std::get<Paragraph>(d.body[0]);
    const auto& blank = std::get<Paragraph>(d.body[1]);
    const auto& body = std::get<Paragraph>(d.body[2]);
    EXPECT_EQ(title.alignment, ParagraphAlignment::Center);
    EXPECT_EQ(blank.alignment, ParagraphAlignment::Center) << "a new paragraph keeps the alignment";
    EXPECT_EQ(blank.markFormat, fmt(16, true)) << "and the typing format on its mark";
    EXPECT_EQ(body.markFormat, fmt(11));
    ASSERT_EQ(body.runs.size(), 3u) << "equal neighbours merge";
    EXPECT_EQ(body.runs[0], (wordengine::Run{"sum ", fmt(11)}));
    EXPECT_EQ(body.runs[1], (wordengine::Run{"  5  ", fmt(11, false, Underline::Single)}));
    EXPECT_EQ(body.runs[2], (wordengine::Run{", more!", fmt(11)}));
    EXPECT_EQ(p, at(2, body.length()));

    // Splitting inside text: the tail keeps its runs and the paragraph's mark.
    const Position mid = editor.splitParagraph(at(2, 7), fmt(30));
    EXPECT_EQ(mid, at(3, 0));
    EXPECT_EQ(std::get<Paragraph>(d.body[3]).markFormat, fmt(11));
    EXPECT_EQ(texts(d).mid(2), (QStringList{"sum   5", "  , more!"}));

    // Runs read from a file may be split and empty: typing at their end still merges them.
    d.body = {para("a", fmt(11))};
    auto& read = std::get<Paragraph>(d.body[0]).runs;
    read.insert(read.end(), {{"", fmt(12)}, {"b", fmt(11)}});
    editor.insertText(at(0, 2), "c", fmt(11));
    EXPECT_EQ(read, (std::vector<wordengine::Run>{{"abc", fmt(11)}}));
}

TEST(EditingTyping, TypingInCellsAndAtRowMarks) {
    Document d = sampleDocument();
    Editor editor(d);
    const Position p = editor.insertText(inCell(1, 0, 1, 0), "v\r\nw", CharFormat{});
    EXPECT_EQ(p, inCell(1, 0, 1, 1, 1));
    EXPECT_EQ(texts(d)[1], "[x|v/w;yz|]");
    EXPECT_EQ(d.body.size(), 3u) << "a break in a cell stays in the cell";
    EXPECT_THROW(editor.insertText(inCell(1, 0, 2, 0), "z", CharFormat{}), word::Error);
    EXPECT_EQ(texts(d)[1], "[x|v/w;yz|]") << "a refused edit changes nothing";
}

TEST(EditingTables, WhereTablesGoAndHowTheyAreFormatted) {
    struct Case {
        const char* what;
        QStringList before;
        Position at;
        QStringList after;
        int tableBlock;
    };
    const Case cases[] = {
        {"empty paragraph: before it", {"a", ""}, at(1, 0), {"a", "[|;|]", ""}, 1},
        {"start of text: before it", {"ab"}, at(0, 0), {"[|;|]", "ab"}, 0},
        {"inside text: splits it", {"ab"}, at(0, 1), {"a", "[|;|]", "b"}, 1},
        {"end of text: an empty paragraph after", {"ab"}, at(0, 2), {"ab", "[|;|]", ""}, 1},
    };
    for (const Case& c : cases) {
        Document d;
        d.body.clear();
        for (const QString& t : c.before)
            d.body.push_back(para(t, fmt(11), ParagraphAlignment::Right));
        std::vector<std::pair<int, int>> moves;
        Editor editor(d, [&](int where, int delta) { moves.emplace_back(where, delta); });
        const Position first = editor.insertTable(c.at, 2, 2, fmt(11, true), TableFormat{});
        EXPECT_EQ(texts(d), c.after) << c.what;
        EXPECT_EQ(first, inCell(c.tableBlock, 0, 0, 0)) << c.what;
        ASSERT_EQ(moves.size(), 1u) << c.what;
        EXPECT_EQ(moves[0].first, c.tableBlock) << c.what;

        const Table& t = std::get<Table>(d.body[size_t(c.tableBlock)]);
        for (const Row& r : t.rows)
            for (const Cell& cl : r.cells) {
                EXPECT_EQ(cl.paragraphs[0].alignment, ParagraphAlignment::Right) << c.what;
                EXPECT_EQ(cl.paragraphs[0].markFormat, fmt(11, true)) << c.what;
            }
        const auto& following = std::get<Paragraph>(d.body[size_t(c.tableBlock) + 1]);
        EXPECT_EQ(following.markFormat, fmt(11)) << "the paragraph after keeps its own";
    }
    Document d = sampleDocument();
    EXPECT_THROW(Editor(d).insertTable(inCell(1, 0, 0, 0), 1, 1, {}, {}), word::Error)
        << "no nested tables";
}

TEST(EditingDelete, EverythingBeforeAPositionGoes) {
    struct Case {
        const char* what;
        Position end;
        QStringList expected;
        int blocksRemoved;
    };
    // Body: "ab" | [x|;yz|] | "cd"
    const Case cases[] = {
        {"nothing", at(0, 0), {"ab", "[x|;yz|]", "cd"}, 0},
        {"part of the first paragraph", at(0, 1), {"b", "[x|;yz|]", "cd"}, 0},
        {"up to the first mark", at(0, 2), {"", "[x|;yz|]", "cd"}, 0},
        {"up to the table", inCell(1, 0, 0, 0), {"[x|;yz|]", "cd"}, 1},
        {"whole first row", inCell(1, 1, 0, 0), {"[yz|]", "cd"}, 1},
        {"into a cell's text", inCell(1, 1, 0, 1), {"[z|]", "cd"}, 1},
        {"cells before the end's cell are cleared", inCell(1, 1, 1, 0), {"[|]", "cd"}, 1},
        {"the whole table", at(2, 1), {"d"}, 2},
        {"to the story's end", at(2, 2), {""}, 2},
    };
    for (const Case& c : cases) {
        Document d = sampleDocument();
        std::get<Paragraph>(d.body[2]) = para("cd");
        int removed = 0;
        Editor editor(d, [&](int where, int delta) {
            EXPECT_EQ(where, 0);
            removed -= delta;
        });
        const Position after = editor.deleteBefore(c.end);
        EXPECT_EQ(after, editor.storyStart()) << c.what;
        EXPECT_EQ(texts(d), c.expected) << c.what;
        EXPECT_EQ(removed, c.blocksRemoved) << c.what;
    }
}

TEST(EditingDelete, ForwardDeletionAndJoins) {
    struct Case {
        const char* what;
        Position at;
        int count;
        QStringList expected;
    };
    // Body: "ab" | "cd" | [x|;yz|] | ""
    const Case cases[] = {
        {"a character", at(0, 0), 1, {"b", "cd", "[x|;yz|]", ""}},
        {"a mark joins the next paragraph", at(0, 2), 1, {"abcd", "[x|;yz|]", ""}},
        {"not into a table", at(1, 0), 5, {"ab", "", "[x|;yz|]", ""}},
        {"not past an end-of-cell mark", inCell(2, 0, 0, 0), 4, {"ab", "cd", "[|;yz|]", ""}},
        {"not the final mark", at(3, 0), 1, {"ab", "cd", "[x|;yz|]", ""}},
    };
    for (const Case& c : cases) {
        Document d = sampleDocument();
        d.body[0] = para("ab");
        d.body.insert(d.body.begin() + 1, para("cd", fmt(20), ParagraphAlignment::Right));
        Editor(d).deleteForward(c.at, c.count);
        EXPECT_EQ(texts(d), c.expected) << c.what;
    }
    Document d;
    d.body = {para("ab", fmt(11), ParagraphAlignment::Left),
              para("cd", fmt(20), ParagraphAlignment::Right)};
    Editor(d).deleteForward(at(0, 2), 1);
    EXPECT_EQ(std::get<Paragraph>(d.body[0]).alignment, ParagraphAlignment::Right)
        << "the surviving mark's formatting";
}

TEST(EditingFormat, AlignmentAndCellAlignmentOverSpans) {
    Document d = sampleDocument();
    d.body.push_back(para("z"));
    Editor editor(d);
    editor.setAlignment(at(0, 1), inCell(1, 0, 1, 0), ParagraphAlignment::Justify);
    EXPECT_EQ(std::get<Paragraph>(d.body[0]).alignment, ParagraphAlignment::Justify);
    const Table& t = std::get<Table>(d.body[1]);
    EXPECT_EQ(t.rows[0].cells[0].paragraphs[0].alignment, ParagraphAlignment::Justify);
    EXPECT_EQ(t.rows[0].cells[1].paragraphs[0].alignment, ParagraphAlignment::Justify);
    EXPECT_EQ(t.rows[1].cells[0].paragraphs[0].alignment, ParagraphAlignment::Left)
        << "past the span";

    editor.setCellVerticalAlignment(inCell(1, 0, 1, 0), inCell(1, 1, 0, 0),
                                    CellVerticalAlignment::Center);
    EXPECT_EQ(t.rows[0].cells[0].verticalAlignment, CellVerticalAlignment::Top);
    EXPECT_EQ(t.rows[0].cells[1].verticalAlignment, CellVerticalAlignment::Center);
    EXPECT_EQ(t.rows[1].cells[0].verticalAlignment, CellVerticalAlignment::Center);
    EXPECT_EQ(t.rows[1].cells[1].verticalAlignment, CellVerticalAlignment::Top);
    EXPECT_THROW(editor.setCellVerticalAlignment(at(0, 0), at(0, 0), CellVerticalAlignment::Center),
                 word::Error);
}

TEST(EditingRepair, FileContentIsBroughtToTheModelsShape) {
    Document d;
    Table empty;
    Table ragged;
    ragged.columns = 1;
    ragged.rows = {Row{{cell("a"), cell("b")}}, Row{{Cell{{}, CellVerticalAlignment::Top}}}};
    d.body = {empty, ragged, ragged};
    Editor::repair(d);
    EXPECT_EQ(texts(d), (QStringList{"[a|b;|]", "", "[a|b;|]", ""}));
    EXPECT_EQ(std::get<Table>(d.body[0]).columns, 2);

    Document none;
    none.body.clear();
    Editor::repair(none);
    EXPECT_EQ(texts(none), QStringList{""});
}
