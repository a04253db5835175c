#include "BillOfSaleModel.h"

#include <utility>

using namespace wordengine;

namespace billofsale {
namespace {

// Builds the story the way the script types it: a current character format, paragraphs
// ended by "new paragraph", and the formatting rules Word applies while typing (a new
// paragraph takes the format at the insertion point; the mark of an empty paragraph follows
// the text typed into it).
class Typist {
public:
    explicit Typist(Document& document) : document_(document) {}

    CharFormat format;
    ParagraphAlignment alignment = ParagraphAlignment::Left;

    void type(const QString& text) {
        Paragraph& p = current();
        if (p.length() == 0)
            p.markFormat = format;
        p.alignment = alignment;
        if (!p.runs.empty() && p.runs.back().format == format)
            p.runs.back().text += text;
        else
            p.runs.push_back(Run{text, format});
    }

    void newParagraph() {
        current().alignment = alignment;
        Paragraph next;
        next.alignment = alignment;
        next.markFormat = format;
        document_.body.push_back(std::move(next));
    }

    // Turns the empty paragraph at the insertion point into a table and puts the insertion
    // point into the paragraph that follows it.
    Table& insertTable(int rows, int columns) {
        Paragraph after = std::get<Paragraph>(document_.body.back());
        Table table;
        table.columns = columns;
        table.format.heightRule = RowHeightRule::AtLeast;
        table.format.height = 21.6;
        table.format.style = QStringLiteral("Table Grid");
        table.format.applyStyleLastRow = true;
        table.format.applyStyleLastColumn = true;
        Paragraph cellParagraph;
        cellParagraph.markFormat = after.markFormat;
        for (int r = 0; r < rows; ++r) {
            Row row;
            for (int c = 0; c < columns; ++c) {
                Cell cell;
                cell.paragraphs = {cellParagraph};
                row.cells.push_back(cell);
            }
            table.rows.push_back(row);
        }
        document_.body.back() = std::move(table);
        document_.body.push_back(std::move(after));
        return std::get<Table>(document_.body[document_.body.size() - 2]);
    }

private:
    Paragraph& current() { return std::get<Paragraph>(document_.body.back()); }
    Document& document_;
};

QString padded(const QString& value) {
    return QStringLiteral("  ") + value + QStringLiteral("  ");
}

// Fills one cell as the script does: bold, 8 pt, centred vertically, label and value typed.
void fillCell(Cell& cell, const CharFormat& base, const QString& text) {
    CharFormat format = base;
    format.bold = true;
    format.size = 8;
    format.underline = Underline::None;
    cell.verticalAlignment = CellVerticalAlignment::Center;
    Paragraph& p = cell.paragraphs.front();
    p.markFormat = format;
    if (!text.isEmpty())
        p.runs = {Run{text, format}};
}

} // namespace

SaleRecord sampleRecord() {
    SaleRecord r;
    r.amount = QStringLiteral("$2900.00");
    r.seller = QStringLiteral("Tobin Harl");
    r.buyer = QStringLiteral("Orwen Palk");
    r.witness = QStringLiteral("Dalric Vesk");
    r.make = QStringLiteral("Ford");
    r.year = QStringLiteral("1969");
    r.vin = QStringLiteral("1G1FP22PXS2100001");
    r.odometer = QStringLiteral("55,000");
    r.model = QStringLiteral("Thunderbird");
    r.color = QStringLiteral("Blue");
    r.daysInspected = QStringLiteral("95");
    return r;
}

SaleRecord longRecord(int pages) {
    SaleRecord r = sampleRecord();
    // 8 names to the line, 51 lines to the page; the rest of the document fills most of one
    // more page.
    const int names = std::max(0, pages - 1) * 8 * 51;
    QString seller;
    for (int i = 0; i < names; ++i)
        seller += QStringLiteral("Tobin Harl ");
    r.seller = seller + QStringLiteral("Tobin Harl");
    return r;
}

Document buildDocument(const SaleRecord& v) {
    Document document; // US Letter, 1 inch top and bottom, 1.25 inch left and right
    Typist t(document);
    t.format.fontName = QStringLiteral("Arial");
    t.alignment = ParagraphAlignment::Center;
    t.format.size = 16;
    t.format.bold = true;
    t.type(QStringLiteral("Motor Vehicle Bill of Sale"));
    t.newParagraph();
    t.newParagraph();
    t.alignment = ParagraphAlignment::Left;
    t.format.bold = false;
    t.format.size = 11;
    auto underlined = [&](const QString& value) {
        t.format.underline = Underline::Single;
        t.type(padded(value));
        t.format.underline = Underline::None;
    };
    t.type(QStringLiteral("BE IT KNOWN, that for payment in the sum of $"));
    underlined(v.amount);
    t.type(QStringLiteral(", the full receipt of which is acknowledged, the undersigned "));
    underlined(v.seller);
    t.type(QStringLiteral("(Seller) hereby sells and transfers to "));
    underlined(v.buyer);
    t.type(QStringLiteral("(Buyer), the following described motor vehicle (Vehicle):"));
    t.newParagraph();
    t.newParagraph();

    const CharFormat beforeTable = t.format;
    Table& vehicle = t.insertTable(4, 2);
    const QString cells[4][2] = {
        {QStringLiteral("Make: ") + v.make, QStringLiteral("Model or series:  ") + v.model},
        {QStringLiteral("Year: ") + v.year, QStringLiteral("Color: ") + v.color},
        {QStringLiteral("VIN #: ") + v.vin, QStringLiteral("Style: ") + v.style},
        {QStringLiteral("Odometer reading: ") + v.odometer, QStringLiteral("Title #: ") + v.title},
    };
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 2; ++c)
            fillCell(vehicle.rows[size_t(r)].cells[size_t(c)], beforeTable, cells[r][c]);

    // After the table the insertion point takes the format of the paragraph there.
    t.format = beforeTable;
    t.format.bold = true;
    t.newParagraph();
    t.type(QStringLiteral("The sale is subject to the following conditions and representations:"));
    t.newParagraph();
    t.newParagraph();
    t.format.bold = false;
    t.type(QStringLiteral("Seller acknowledges receipt of $"));
    underlined(v.downPayment);
    t.type(QStringLiteral("in down payment for the Vehicle, full payment from the Buyer and title "
                          "transfer to take place within "));
    underlined(v.daysTitleTransfer);
    t.type(QStringLiteral("days."));
    t.newParagraph();
    t.newParagraph();
    t.type(QStringLiteral("Seller allows the Buyer "));
    underlined(v.daysInspected);
    t.type(QStringLiteral("days to have the Vehicle inspected by an independent mechanic, and "
                          "agrees to cancel the sale if the inspection is unsatisfactory to the "
                          "Buyer."));
    t.newParagraph();
    t.newParagraph();
    t.type(QStringLiteral("If the sale is not completed, the Seller will retain $"));
    underlined(v.retainDownPayment);
    t.type(QStringLiteral("of the down payment to cover costs and effort in re-advertising."));
    t.newParagraph();
    t.newParagraph();
    const QString closing[3] = {
        QStringLiteral(
            "Seller certifies to the best of the Seller's knowledge that the odometer reading "
            "listed in the vehicle description above reflects the actual mileage of the "
            "Vehicle. The Vehicle's odometer was not altered, set back, or disconnected while in "
            "the Seller's possession, and the Seller has no knowledge of anyone doing so."),
        QStringLiteral(
            "Seller warrants to Buyer that Seller has good and marketable title to said "
            "property, full authority to sell and transfer said property, and that said property "
            "is sold free of all liens, encumbrances, liabilities, and adverse claims of every "
            "nature and description whatsoever."),
        QStringLiteral(
            "Seller has no knowledge of any hidden defects in and to the Vehicle, and believes "
            "to the best of the Seller's knowledge that the Vehicle being sold is in good "
            "operating condition. Said Vehicle is otherwise sold in \"as is\" condition and "
            "where currently located."),
    };
    for (const QString& text : closing) {
        t.type(text);
        t.newParagraph();
        t.newParagraph();
    }

    const CharFormat beforeSignatures = t.format;
    Table& signatures = t.insertTable(5, 1);
    const QString rows[5] = {QStringLiteral("Date signed: "), QStringLiteral("Seller: "),
                             QStringLiteral("Buyer: "),
                             QStringLiteral("In the presence of (Witness): "),
                             QStringLiteral("Print name of witness: ") + v.witness};
    for (int r = 0; r < 5; ++r)
        fillCell(signatures.rows[size_t(r)].cells[0], beforeSignatures, rows[r]);
    return document;
}

namespace {

void dropCharacters(Paragraph& paragraph, int count) {
    size_t whole = 0;
    while (whole < paragraph.runs.size() && count >= paragraph.runs[whole].text.size()) {
        count -= int(paragraph.runs[whole].text.size());
        ++whole;
    }
    paragraph.runs.erase(paragraph.runs.begin(), paragraph.runs.begin() + long(whole));
    if (!paragraph.runs.empty())
        paragraph.runs.front().text.remove(0, count);
}

} // namespace

void deleteBefore(Document& document, const Position& position) {
    document.body.erase(document.body.begin(), document.body.begin() + position.block);
    Block& first = document.body.front();
    if (!position.inTable()) {
        dropCharacters(std::get<Paragraph>(first), position.offset);
        return;
    }
    Table& table = std::get<Table>(first);
    table.rows.erase(table.rows.begin(), table.rows.begin() + position.row);
    Row& row = table.rows.front();
    for (int c = 0; c < position.cell && c < int(row.cells.size()); ++c)
        row.cells[size_t(c)].paragraphs = {Paragraph{}};
    if (position.cell < int(row.cells.size())) {
        auto& paragraphs = row.cells[size_t(position.cell)].paragraphs;
        paragraphs.erase(paragraphs.begin(), paragraphs.begin() + position.paragraph);
        dropCharacters(paragraphs.front(), position.offset);
    }
}

} // namespace billofsale
