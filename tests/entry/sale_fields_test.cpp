#include "SaleFields.h"

#include <gtest/gtest.h>
#include <set>

namespace {

TEST(SaleFields, SixteenDistinctBoxesAndKeysRestoredInAlphabeticalOrder) {
    std::set<QString> boxes, keys;
    QString previous;
    int line = 128;
    for (const SaleField& f : saleFields()) {
        EXPECT_TRUE(boxes.insert(f.boxName()).second) << f.box;
        EXPECT_TRUE(keys.insert(f.keyName()).second) << f.key;
        EXPECT_LT(previous, f.boxName());
        previous = f.boxName();
        EXPECT_EQ(f.restoreLine, line) << f.box;
        line += 2;
        EXPECT_EQ(fieldByBox(f.boxName()), &f);
        EXPECT_EQ(fieldByKey(f.keyName()), &f);
    }
    EXPECT_EQ(fieldByKey(QStringLiteral("vin")), nullptr); // keys are case-sensitive
}

TEST(SaleFields, FillOrderFollowsTheButtonsLines) {
    const char* expected[] = {"txtAmountOfMotorVehicle",
                              "txtNameOfSeller",
                              "txtNameOfBuyer",
                              "txtNameOfWitness",
                              "txtMake",
                              "txtYear",
                              "txtVIN",
                              "txtOdometer",
                              "txtModel",
                              "txtColor",
                              "txtStyle",
                              "txtTitle",
                              "txtDownPayment",
                              "txtRetainDownPayment",
                              "txtNoDaysTitleTransfer",
                              "txtNoDaysVehicleInspected"};
    const auto order = fieldsInFillOrder();
    for (int i = 0; i < saleFieldCount; ++i) {
        EXPECT_STREQ(order[i]->box, expected[i]);
        EXPECT_EQ(order[i]->fillLine, 100 + 2 * i);
    }
}

TEST(SaleFields, TheSampleLeavesExactlyFiveFieldsEmpty) {
    int empty = 0;
    for (const SaleField& f : saleFields())
        empty += f.sampleValue().isEmpty();
    EXPECT_EQ(empty, 5);
    EXPECT_EQ(fieldByBox(QStringLiteral("txtAmountOfMotorVehicle"))->sampleValue(),
              QStringLiteral("$2900.00"));
}

} // namespace
