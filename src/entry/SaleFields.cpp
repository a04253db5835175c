#include "SaleFields.h"

#include <algorithm>

const std::array<SaleField, saleFieldCount>& saleFields() {
    static const std::array<SaleField, saleFieldCount> fields = {{
        {"txtAmountOfMotorVehicle", "Amount Of Motor Vehicle", Group::Amount, "", "$2900.00", 128,
         100},
        {"txtColor", "Color", Group::VehicleDescription, "Color:", "Blue", 130, 118},
        {"txtDownPayment", "Down Payment", Group::Conditions, "Down Payment Amount:", "", 132, 124},
        {"txtMake", "Make", Group::VehicleDescription, "Make:", "Ford", 134, 108},
        {"txtModel", "Model", Group::VehicleDescription, "Model/Series:", "Thunderbird", 136, 116},
        {"txtNameOfBuyer", "Name Of Buyer", Group::People, "Name Of Buyer:", "Orwen Palk", 138,
         104},
        {"txtNameOfSeller", "Name Of Seller", Group::People, "Name Of Seller:", "Tobin Harl", 140,
         102},
        {"txtNameOfWitness", "Name Of Witness", Group::People, "Name Of Witness:", "Dalric Vesk",
         142, 106},
        {"txtNoDaysTitleTransfer", "No Days Title Transfer", Group::Conditions,
         "No Of Days Title Transfer:", "", 144, 128},
        {"txtNoDaysVehicleInspected", "No Days Vehicle Inspected", Group::Conditions,
         "Days Vehicle Inspected:", "95", 146, 130},
        {"txtOdometer", "Odometer", Group::VehicleDescription, "Odometer Reading:", "55,000", 148,
         114},
        {"txtRetainDownPayment", "Retain Down Payment", Group::Conditions,
         "Retain Of Down Payment:", "", 150, 126},
        {"txtStyle", "Style", Group::VehicleDescription, "Style:", "", 152, 120},
        {"txtTitle", "Title", Group::VehicleDescription, "Title #:", "", 154, 122},
        {"txtVIN", "VIN", Group::VehicleDescription, "VIN #:", "1G1FP22PXS2100001", 156, 112},
        {"txtYear", "Year", Group::VehicleDescription, "Year:", "1969", 158, 110},
    }};
    return fields;
}

std::array<const SaleField*, saleFieldCount> fieldsInFillOrder() {
    std::array<const SaleField*, saleFieldCount> order{};
    std::transform(saleFields().begin(), saleFields().end(), order.begin(),
                   [](const SaleField& f) { return &f; });
    std::sort(order.begin(), order.end(),
              [](const SaleField* a, const SaleField* b) { return a->fillLine < b->fillLine; });
    return order;
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
