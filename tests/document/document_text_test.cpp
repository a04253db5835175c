// The bill of sale as the real script types it through the real engine, read back from the
// saved file: every paragraph and every table cell, word for word.
#include "EngineApplicationFactory.h"
#include "MotorVehicleBill.h"
#include "Package.h"
#include "SaleRecordSource.h"
#include "ScopedTemp.h"
#include "ScriptedDialogs.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using namespace wordengine;

// One block of the body: a paragraph's text, or a table's cells row by row.
struct Expected {
    QString paragraph;
    std::vector<QStringList> rows; // non-empty: a table
};

Expected para(const QString& text) {
    return {text, {}};
}

// The body for a record's values, with each padded slot as "  value  ".
std::vector<Expected> billOfSale(const FixedRecord& r) {
    const auto pad = [&](const char* box) {
        return QStringLiteral("  ") + r.text(QString::fromLatin1(box)) + QStringLiteral("  ");
    };
    const auto v = [&](const char* box) { return r.text(QString::fromLatin1(box)); };
    return {
        para(QStringLiteral("Motor Vehicle Bill of Sale")),
        para(QString()),
        para(QStringLiteral("BE IT KNOWN, that for payment in the sum of $") +
             pad("txtAmountOfMotorVehicle") +
             QStringLiteral(", the full receipt of which is acknowledged, the undersigned ") +
             pad("txtNameOfSeller") + QStringLiteral("(Seller) hereby sells and transfers to ") +
             pad("txtNameOfBuyer") +
             QStringLiteral("(Buyer), the following described motor vehicle (Vehicle):")),
        para(QString()),
        {QString(),
         {{QStringLiteral("Make: ") + v("txtMake"),
           QStringLiteral("Model or series:  ") + v("txtModel")},
          {QStringLiteral("Year: ") + v("txtYear"), QStringLiteral("Color: ") + v("txtColor")},
          {QStringLiteral("VIN #: ") + v("txtVIN"), QStringLiteral("Style: ") + v("txtStyle")},
          {QStringLiteral("Odometer reading: ") + v("txtOdometer"),
           QStringLiteral("Title #: ") + v("txtTitle")}}},
        para(QString()),
        para(
            QStringLiteral("The sale is subject to the following conditions and representations:")),
        para(QString()),
        para(QStringLiteral("Seller acknowledges receipt of $") + pad("txtDownPayment") +
             QStringLiteral("in down payment for the Vehicle, full payment from the Buyer and "
                            "title transfer to take place within ") +
             pad("txtNoDaysTitleTransfer") + QStringLiteral("days.")),
        para(QString()),
        para(QStringLiteral("Seller allows the Buyer ") + pad("txtNoDaysVehicleInspected") +
             QStringLiteral("days to have the Vehicle inspected by an independent mechanic, and "
                            "agrees to cancel the sale if the inspection is unsatisfactory to "
                            "the Buyer.")),
        para(QString()),
        para(QStringLiteral("If the sale is not completed, the Seller will retain $") +
             pad("txtRetainDownPayment") +
             QStringLiteral("of the down payment to cover costs and effort in re-advertising.")),
        para(QString()),
        para(QStringLiteral(
            "Seller certifies to the best of the Seller's knowledge that the odometer reading "
            "listed in the vehicle description above reflects the actual mileage of the "
            "Vehicle. The Vehicle's odometer was not altered, set back, or disconnected while "
            "in the Seller's possession, and the Seller has no knowledge of anyone doing so.")),
        para(QString()),
        para(QStringLiteral(
            "Seller warrants to Buyer that Seller has good and marketable title to said "
            "property, full authority to sell and transfer said property, and that said property "
            "is sold free of all liens, encumbrances, liabilities, and adverse claims of every "
            "nature and description whatsoever.")),
        para(QString()),
        para(QStringLiteral(
            "Seller has no knowledge of any hidden defects in and to the Vehicle, and believes to "
            "the best of the Seller's knowledge that the Vehicle being sold is in good operating "
            "condition. Said Vehicle is otherwise sold in \"as is\" condition and where "
            "currently located.")),
        para(QString()),
        {QString(),
         {{QStringLiteral("Date signed: ")},
          {QStringLiteral("Seller: ")},
          {QStringLiteral("Buyer: ")},
          {QStringLiteral("In the presence of (Witness): ")},
          {QStringLiteral("Print name of witness: ") + v("txtNameOfWitness")}}},
        para(QString()), // the mark that ends every document after its last table
    };
}

QString cellText(const Cell& cell) {
    QStringList texts;
    for (const Paragraph& p : cell.paragraphs)
        texts << p.text();
    return texts.join(u'\r');
}

class DocumentText : public ::testing::TestWithParam<const char*> {
protected:
    ScopedTemp temp;
    QTemporaryDir registry;
    ScriptedDialogs dialogs;
};

TEST_P(DocumentText, EveryParagraphAndCellAsTheScriptTypesIt) {
    ASSERT_TRUE(temp.isValid());
    const FixedRecord record = QLatin1String(GetParam()) == QLatin1String("sample")
                                   ? FixedRecord::sample()
                                   : FixedRecord();
    EngineApplicationFactory engine(registry.path());
    const MotorVehicleBill::Generation generation =
        MotorVehicleBill::GenerateMotorVehicle(engine, record);
    ASSERT_TRUE(dialogs.messages.empty()) << dialogs.messages[0].text.toStdString();

    const Document saved = openPackage(generation.path);
    const std::vector<Expected> expected = billOfSale(record);
    ASSERT_EQ(saved.body.size(), expected.size());
    for (size_t b = 0; b < expected.size(); ++b) {
        SCOPED_TRACE(testing::Message() << "block " << b);
        const Block& block = saved.body[b];
        if (expected[b].rows.empty()) {
            ASSERT_TRUE(std::holds_alternative<Paragraph>(block));
            EXPECT_EQ(std::get<Paragraph>(block).text(), expected[b].paragraph);
            continue;
        }
        ASSERT_TRUE(std::holds_alternative<Table>(block));
        const Table& table = std::get<Table>(block);
        ASSERT_EQ(table.rows.size(), expected[b].rows.size());
        for (size_t r = 0; r < table.rows.size(); ++r) {
            QStringList cells;
            for (const Cell& cell : table.rows[r].cells)
                cells << cellText(cell);
            EXPECT_EQ(cells, expected[b].rows[r]) << "row " << r;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Records, DocumentText, ::testing::Values("sample", "empty"));

} // namespace
