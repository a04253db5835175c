#include "SaleRecordSource.h"

#include "SaleFields.h"

FixedRecord FixedRecord::sample() {
    FixedRecord record;
    for (const SaleField& f : saleFields())
        record.set(f.boxName(), f.sampleValue());
    return record;
}
