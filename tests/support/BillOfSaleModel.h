#pragma once
// The bill of sale as the document script leaves it, built straight in the document model
// (no editing engine): for layout tests, the interoperability test and the benchmarks.
// Also a plain model edit that removes everything before a position, as the page renderer
// does through the editing engine.

#include "Model.h"

#include <QString>

namespace billofsale {

struct SaleRecord {
    QString amount, seller, buyer, witness;
    QString make, model, year, color, vin, style, odometer, title;
    QString downPayment, daysTitleTransfer, daysInspected, retainDownPayment;
};

// The sample sale of the entry window.
SaleRecord sampleRecord();

// The sample with the seller's name repeated until the opening paragraph runs over about
// `pages` pages: one paragraph many pages long, the hardest case for incremental layout.
SaleRecord longRecord(int pages);

wordengine::Document buildDocument(const SaleRecord& record);

// Deletes the story from its start up to `position` (exclusive): whole blocks before it, and
// the characters before it in its paragraph, or the rows before it in its table.
void deleteBefore(wordengine::Document& document, const wordengine::Position& position);

} // namespace billofsale
