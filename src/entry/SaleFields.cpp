#include "SaleFields.h"

#include <algorithm>

// clang-format off
const std::array<SaleField, saleFieldCount>& saleFields() {
    // box, key, group, caption, sample, restore line, fill line,
    //   {box left, top, width, tab index, label left, top, width, height, two-line label}
    static const std::array<SaleField, saleFieldCount> fields = {{
        {"txtAmountOfMotorVehicle", "Amount Of Motor Vehicle", Group::Amount, "", "$2900.00", 128, 100,
            {240, 360, 7320, 0, 0, 0, 0, 0, false}},
        {"txtColor", "Color", Group::VehicleDescription, "Color:", "Blue", 130, 118,
            {4980, 810, 2625, 7, 3720, 885, 495, 225, false}},
        {"txtDownPayment", "Down Payment", Group::Conditions, "Down Payment Amount:", "", 132, 124,
            {2370, 315, 1515, 12, 135, 390, 2025, 225, false}},
        {"txtMake", "Make", Group::VehicleDescription, "Make:", "Ford", 134, 108,
            {1125, 315, 2385, 4, 135, 390, 510, 225, false}},
        {"txtModel", "Model", Group::VehicleDescription, "Model/Series:", "Thunderbird", 136, 116,
            {4980, 315, 2625, 5, 3720, 390, 1155, 225, false}},
        {"txtNameOfBuyer", "Name Of Buyer", Group::People, "Name Of Buyer:", "Orwen Palk", 138, 104,
            {1905, 765, 5655, 2, 240, 840, 1320, 225, false}},
        {"txtNameOfSeller", "Name Of Seller", Group::People, "Name Of Seller:", "Tobin Harl", 140, 102,
            {1905, 270, 5655, 1, 240, 345, 1320, 225, false}},
        {"txtNameOfWitness", "Name Of Witness", Group::People, "Name Of Witness:", "Dalric Vesk", 142, 106,
            {1905, 1260, 5655, 3, 240, 1335, 1530, 225, false}},
        {"txtNoDaysTitleTransfer", "No Days Title Transfer", Group::Conditions, "No Of Days Title Transfer:", "", 144, 128,
            {6285, 315, 1320, 13, 4050, 390, 2160, 225, false}},
        {"txtNoDaysVehicleInspected", "No Days Vehicle Inspected", Group::Conditions, "Days Vehicle Inspected:", "95", 146, 130,
            {6285, 810, 1320, 16, 4095, 885, 2025, 225, false}},
        {"txtOdometer", "Odometer", Group::VehicleDescription, "Odometer Reading:", "55,000", 148, 114,
            {1125, 1800, 2385, 10, 135, 1800, 960, 450, true}},
        {"txtRetainDownPayment", "Retain Down Payment", Group::Conditions, "Retain Of Down Payment:", "", 150, 126,
            {2370, 810, 1515, 14, 135, 885, 2145, 225, false}},
        {"txtStyle", "Style", Group::VehicleDescription, "Style:", "", 152, 120,
            {4980, 1305, 2625, 9, 3720, 1380, 465, 225, false}},
        {"txtTitle", "Title", Group::VehicleDescription, "Title #:", "", 154, 122,
            {4980, 1800, 2625, 11, 3720, 1875, 825, 450, true}},
        {"txtVIN", "VIN", Group::VehicleDescription, "VIN #:", "1G1FP22PXS2100001", 156, 112,
            {1125, 1305, 2385, 8, 135, 1380, 480, 225, false}},
        {"txtYear", "Year", Group::VehicleDescription, "Year:", "1969", 158, 110,
            {1125, 810, 2385, 6, 135, 885, 435, 225, false}},
    }};
    return fields;
}
// clang-format on

namespace {

template <class Key> std::array<const SaleField*, saleFieldCount> fieldsBy(Key key) {
    std::array<const SaleField*, saleFieldCount> order{};
    std::transform(saleFields().begin(), saleFields().end(), order.begin(),
                   [](const SaleField& f) { return &f; });
    std::sort(order.begin(), order.end(),
              [&](const SaleField* a, const SaleField* b) { return key(*a) < key(*b); });
    return order;
}

} // namespace

std::array<const SaleField*, saleFieldCount> fieldsInFillOrder() {
    return fieldsBy([](const SaleField& f) { return f.fillLine; });
}

std::array<const SaleField*, saleFieldCount> fieldsInTabOrder() {
    return fieldsBy([](const SaleField& f) { return f.place.tabIndex; });
}

const SaleField* fieldByBox(const QString& box) {
    for (const SaleField& f : saleFields())
        if (box == QLatin1String(f.box))
            return &f;
    return nullptr;
}

const SaleField* fieldByKey(const QString& key) {
    for (const SaleField& f : saleFields())
        if (key == QLatin1String(f.key))
            return &f;
    return nullptr;
}
