#pragma once
// vantorel-bill --batch: a bill of sale for each line of a JSON Lines file, made on several
// workers at once, each with an engine of its own.
//
//   vantorel-bill --batch RECORDS.jsonl --out DIR [--pdf] [--png [--dpi N]] [--jobs N] [--force]
//
// Each line is a record as vantorel-bill reads one, plus an optional "file" member naming its
// outputs (see BatchNames.h). A bad line is reported with its number and skipped; the rest
// are made. The input is read as it comes, through a bounded queue, so memory stays the same
// however long it is; documents do not depend on the number of workers (they all record the
// batch's start, or SOURCE_DATE_EPOCH, as the time they were made).

#include <QStringList>

class QTextStream;

namespace BillBatch {

// Whether `arguments` ask for a batch.
bool wanted(const QStringList& arguments);

// Runs the batch. Exit status: 0 every line made; 1 a line failed, or the output folder
// cannot be made or written (then before any work); 2 bad usage or an input that cannot be
// read; 128 + the signal's number when SIGINT or SIGTERM stopped it. `progress`: draw the
// progress line on `err` (when it is a terminal).
int run(const QStringList& arguments, QTextStream& err, bool progress);

// The batch's part of --help.
QString usage();

} // namespace BillBatch
