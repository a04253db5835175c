#pragma once
// The bill of sale as a PDF: the pages the engine draws, with the bill's title, author and
// creator. vantorel-bill --pdf and the preview's "Save as PDF" both write it through here, so
// the two give the same file.

#include "Layout.h"

#include <QString>

namespace BillPdf {

// Title "Motor Vehicle Bill of Sale", author and creator "Vantorel" (the documents name
// Vantorel as their creator too).
wordengine::PdfInfo info();

// Reads the document at `documentPath` with the engine's package reader. Throws Failure with
// the reader's description when it cannot.
wordengine::Document readDocument(const QString& documentPath);

// Writes the document's pages as a PDF at `path`, whole or not at all: a file already there
// stays as it was until the new one is complete, and stays as it was when writing fails. False
// with the reason in `why` when the file cannot be written. Throws wordengine::EngineError when the
// document has more pages than the engine draws.
bool write(const wordengine::Document& document, const QString& path, QString* why);

} // namespace BillPdf
