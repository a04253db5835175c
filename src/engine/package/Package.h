#pragma once
// Office Open XML (WordprocessingML) packages: the engine's file format, whatever the name of
// the file ends in. One writer per package part; a packager that only zips.

#include "Model.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <functional>

namespace wordengine {

// Writes the document as a package, atomically: a temporary sibling is written and renamed
// over the target, so a failure leaves no partial file and a link at the target is replaced,
// never followed. pageCount goes to docProps/app.xml. Throws EngineError.
struct SaveOptions {
    // The time docProps/core.xml records; not valid: the clock's at the save.
    QDateTime savedAt;
    // false: not flushed to the disk, for a scratch file that is read back and removed at
    // once (see files::AtomicOptions::sync).
    bool durable = true;
    // Set: the finished package is given to it instead of being written at the path, and a
    // save under a free name succeeds without looking there. For a run that writes each
    // document straight to where it belongs (a batch's output folder) rather than writing it
    // at the path, reading it back and copying it.
    std::function<void(const QString& path, const QByteArray& package)> handOver;
};
void savePackage(const Document& document, int pageCount, const QString& path,
                 const SaveOptions& options = {});

// The same, but published only under a name that is free: when a file (or anything else) is
// at `path` by the time the package is complete, it is left as it is, nothing is written and
// the answer is false.
bool savePackageAsNew(const Document& document, int pageCount, const QString& path,
                      const SaveOptions& options = {});

// Reads a package written by savePackage (or by Word or LibreOffice, as far as the model
// goes), ignoring what it does not know. Throws EngineError on a missing, empty, truncated,
// non-zip, oversized or malformed file.
Document openPackage(const QString& path);

} // namespace wordengine
