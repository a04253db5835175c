// The program's document script, driven through the automation interface, and the shape of
// the document it leaves in the model: where tables go, and which formatting each piece of
// text carries over from where it was typed.
#include "Engine.h"
#include "EngineDocument.h"
#include "ModelPrinting.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

using namespace wordengine;

namespace {

const QString crlf = QStringLiteral("\r\n");

void typeUnderlined(word::Selection& s, const QString& value) {
    s.Font().SetUnderline(word::wd::UnderlineSingle);
    s.TypeText("  " + value + "  ");
    s.Font().SetUnderline(word::wd::UnderlineNone);
}

std::shared_ptr<word::Table> addTable(word::Application& app, word::Selection& s, int rows,
                                      int columns) {
    auto table = app.ActiveDocument()->Tables().Add(
        *s.Range(), rows, columns, word::wd::Word9TableBehavior, word::wd::AutoFitFixed);
    table->Rows().SetHeightRule(word::wd::RowHeightAtLeast);
    table->Rows().SetHeight(app.InchesToPoints(0.3));
    table->SetStyle("Table Grid");
    table->SetApplyStyleHeadingRows(true);
    table->SetApplyStyleLastRow(true);
    table->SetApplyStyleFirstColumn(true);
    table->SetApplyStyleLastColumn(true);
    return table;
}

void fillCell(word::Selection& s, const QString& text, int move) {
    s.Font().SetBold(true);
    s.Font().SetSize(8);
    s.Cells().SetVerticalAlignment(word::wd::CellAlignVerticalCenter);
    s.TypeText(text);
    if (move > 0)
        s.MoveRight(word::wd::Character, move);
}

// The script up to the save, shortened where it only repeats itself.
std::shared_ptr<word::Document> buildBillOfSale(word::Application& app) {
    auto document = app.Documents().Add();
    document->PageSetup().LineNumbering().SetActive(false);
    document->PageSetup().SetTopMargin(app.InchesToPoints(1));
    document->PageSetup().SetLeftMargin(app.InchesToPoints(1.25));
    document->PageSetup().SetPageWidth(app.InchesToPoints(8.5));
    document->PageSetup().SetPageHeight(app.InchesToPoints(11));

    word::Selection& s = document->ActiveWindow().Selection();
    s.Font().SetName("Arial");
    s.ParagraphFormat().SetAlignment(word::wd::AlignParagraphCenter);
    s.Font().SetSize(16);
    s.Font().SetBold(true);
    s.TypeText("Motor Vehicle Bill of Sale");
    s.TypeParagraph();
    s.TypeParagraph();
    s.ParagraphFormat().SetAlignment(word::wd::AlignParagraphLeft);
    s.Font().SetBold(false);
    s.Font().SetSize(11);
    s.TypeText("BE IT KNOWN, that for payment in the sum of $");
    typeUnderlined(s, "$5,000");
    s.TypeText(", the undersigned ");
    typeUnderlined(s, "Sam Seller");
    s.TypeText("(Buyer), the following described motor vehicle (Vehicle):" + crlf + crlf);

    addTable(app, s, 4, 2);
    const char* cells[] = {
        "Make: Ford", "Model or series:  T", "Year: 1925",          "Color: Black",
        "VIN #: 1",   "Style: Coupe",        "Odometer reading: 9", "Title #: 7"};
    for (int i = 0; i < 8; ++i)
        fillCell(s, cells[i], i % 2 == 0 ? 1 : 2);

    s.Font().SetBold(true);
    s.TypeParagraph();
    s.TypeText("The sale is subject to the following conditions and representations:");
    s.TypeParagraph();
    s.TypeParagraph();
    s.Font().SetBold(false);
    s.TypeText("Seller acknowledges receipt of $");
    typeUnderlined(s, "500");
    s.TypeText("days." + crlf + crlf + "Seller allows the Buyer " + crlf + crlf);

    addTable(app, s, 5, 1);
    const char* rows[] = {"Date signed: ", "Seller: ", "Buyer: ", "In the presence of (Witness): ",
                          "Print name of witness: Wanda"};
    for (int i = 0; i < 5; ++i)
        fillCell(s, rows[i], i < 4 ? 2 : 0);
    return document;
}

const Paragraph& paragraphOf(const Document& d, size_t block) {
    return std::get<Paragraph>(d.body.at(block));
}

CharFormat arial(double size, bool bold = false, Underline underline = Underline::None) {
    return CharFormat{QStringLiteral("Arial"), size, bold, underline};
}

} // namespace

TEST(EngineScript, TheBillOfSaleTakesItsShape) {
    QTemporaryDir folder;
    EngineApplicationFactory factory(folder.path());
    auto app = factory.CreateNew();
    auto document = buildBillOfSale(*app);
    const Document& d = dynamic_cast<EngineDocument&>(*document).model();

    // Blocks: title, blank, opening, blank, table, [after table], heading, blank,
    // condition, blank, blank-before-table... as typed.
    ASSERT_GE(d.body.size(), 11u);
    const Paragraph& title = paragraphOf(d, 0);
    EXPECT_EQ(title.text(), "Motor Vehicle Bill of Sale");
    EXPECT_EQ(title.alignment, ParagraphAlignment::Center);
    EXPECT_EQ(title.runs.at(0).format, arial(16, true));
    const Paragraph& blank = paragraphOf(d, 1);
    EXPECT_EQ(blank.length(), 0);
    EXPECT_EQ(blank.alignment, ParagraphAlignment::Center);
    EXPECT_EQ(blank.markFormat, arial(16, true)) << "the blank line is as tall as the title";

    const Paragraph& opening = paragraphOf(d, 2);
    EXPECT_EQ(opening.alignment, ParagraphAlignment::Left);
    EXPECT_EQ(opening.markFormat, arial(11));
    ASSERT_EQ(opening.runs.size(), 5u);
    EXPECT_EQ(opening.runs[1],
              (wordengine::Run{"  $5,000  ", arial(11, false, Underline::Single)}));
    EXPECT_EQ(opening.runs[3].text, "  Sam Seller  ");
    EXPECT_EQ(opening.runs[4].format, arial(11));
    EXPECT_EQ(paragraphOf(d, 3).length(), 0) << "the first of the two breaks";

    // The table went before the empty paragraph the second break made.
    const Table& vehicle = std::get<Table>(d.body.at(4));
    ASSERT_EQ(vehicle.rows.size(), 4u);
    EXPECT_EQ(vehicle.columns, 2);
    EXPECT_EQ(vehicle.format.heightRule, RowHeightRule::AtLeast);
    EXPECT_DOUBLE_EQ(vehicle.format.height, 21.6);
    EXPECT_EQ(vehicle.format.style, "Table Grid");
    EXPECT_TRUE(vehicle.format.applyStyleLastRow && vehicle.format.applyStyleLastColumn);
    for (int i = 0; i < 8; ++i) {
        const Cell& cell = vehicle.rows[size_t(i / 2)].cells[size_t(i % 2)];
        ASSERT_EQ(cell.paragraphs.size(), 1u);
        const Paragraph& p = cell.paragraphs[0];
        EXPECT_EQ(cell.verticalAlignment, CellVerticalAlignment::Center) << i;
        EXPECT_EQ(p.alignment, ParagraphAlignment::Left) << i;
        ASSERT_EQ(p.runs.size(), 1u) << i;
        EXPECT_EQ(p.runs[0].format, arial(8, true)) << i;
    }
    EXPECT_EQ(vehicle.rows[0].cells[1].paragraphs[0].text(), "Model or series:  T");

    // The paragraph after the table: its mark took the bold set there, then the heading.
    const Paragraph& afterTable = paragraphOf(d, 5);
    EXPECT_EQ(afterTable.length(), 0);
    EXPECT_EQ(afterTable.markFormat, arial(11, true));
    const Paragraph& heading = paragraphOf(d, 6);
    EXPECT_EQ(heading.runs.at(0).format, arial(11, true)) << "size found after the table";
    EXPECT_EQ(paragraphOf(d, 8).runs.at(0).format, arial(11));

    // The document ends with the signature table and the paragraph every table has after it.
    const Table& signatures = std::get<Table>(d.body.at(d.body.size() - 2));
    ASSERT_EQ(signatures.rows.size(), 5u);
    EXPECT_EQ(signatures.columns, 1);
    EXPECT_EQ(signatures.rows[4].cells[0].paragraphs[0].text(), "Print name of witness: Wanda");
    EXPECT_EQ(paragraphOf(d, d.body.size() - 1).length(), 0);
    EXPECT_EQ(d.pageSetup.leftMargin, 90.0);
}

TEST(EngineScript, FormattingFollowsTheInsertionPoint) {
    QTemporaryDir folder;
    EngineApplicationFactory factory(folder.path());
    auto app = factory.CreateNew();
    auto document = app->Documents().Add();
    word::Selection& s = document->ActiveWindow().Selection();
    word::Font& font = s.Font();

    s.TypeText("plain ");
    font.SetBold(true);
    s.TypeText("bold");
    EXPECT_TRUE(font.Bold());
    s.HomeKey(word::wd::Story, word::wd::Move);
    EXPECT_FALSE(font.Bold()) << "the story's start takes the first character's formatting";
    s.EndKey(word::wd::Story, word::wd::Move);
    EXPECT_TRUE(font.Bold()) << "the end takes the last character's";

    auto table = document->Tables().Add(*s.Range(), 1, 2, 0, 0);
    EXPECT_TRUE(font.Bold()) << "cells start with the formatting at the insertion point";
    font.SetSize(20);
    s.TypeText("big");
    s.MoveRight(word::wd::Character, 1);
    EXPECT_DOUBLE_EQ(font.Size(), 11) << "the next cell has its own";
    EXPECT_EQ(s.ParagraphFormat().Alignment(), 0);
    s.ParagraphFormat().SetAlignment(word::wd::AlignParagraphRight);
    s.MoveRight(word::wd::Character, 1);
    EXPECT_THROW(s.TypeText("x"), word::Error) << "nothing can be typed at an end-of-row mark";
    s.MoveRight(word::wd::Character, 1);
    EXPECT_DOUBLE_EQ(font.Size(), 11) << "the paragraph after the table kept its formatting";

    const Document& d = dynamic_cast<EngineDocument&>(*document).model();
    ASSERT_EQ(d.body.size(), 3u);
    EXPECT_EQ(paragraphOf(d, 0).text(), "plain bold");
    const Table& t = std::get<Table>(d.body[1]);
    EXPECT_EQ(t.format.style, "") << "Word 8 behaviour: no grid";
    EXPECT_EQ(t.rows[0].cells[1].paragraphs[0].alignment, ParagraphAlignment::Right);
    EXPECT_EQ(t.rows[0].cells[0].paragraphs[0].runs[0].format.size, 20);

    // A table object follows its table when blocks before it come and go.
    s.HomeKey(word::wd::Story, word::wd::Move);
    s.TypeText("a\r\nb\r\n");
    table->Rows().SetHeight(30);
    EXPECT_EQ(std::get<Table>(d.body.at(3)).format.height, 30);
    EXPECT_EQ(std::get<Table>(d.body.at(3)).format.heightRule, RowHeightRule::AtLeast)
        << "a height makes auto a minimum";
}
