#pragma once
// The names of a batch's outputs: NAME.doc, NAME.pdf and NAME-page-K.png in the output folder,
// NAME being the line's "file" member or else its line number, zero-padded to six digits.
//
// A "file" is a plain file name: not empty, no folder (no "/"), no control characters, not
// beginning with a dot (hidden files, and the folder's own temporary files), each character
// one that a file name holds (no half of a surrogate pair standing alone), at most 200 bytes
// (room for "-page-10000.png"), and not digits alone, which are the line numbers' names. A
// name ending in ".doc" stands for the name before it. No two lines of a batch may give the
// same name, as the disk sees names: byte for byte.

#include <QString>
#include <optional>
#include <unordered_set>

class BatchNames {
public:
    // The name of line `line`'s outputs. Throws BillRecord::Bad when `file` is not a plain
    // file name or an earlier line has it.
    QString nameFor(qint64 line, const std::optional<QString>& file);

    // The line-number name, e.g. "000042".
    static QString numbered(qint64 line);

    // The path of `fileName` (a name given here, with its suffix) in the output folder.
    static QString pathIn(const QString& folder, const QString& fileName);

private:
    // Names given so far, as 64-bit fingerprints: memory stays at a few bytes a name however
    // long the input; two different names meeting by chance is one in billions of billions.
    std::unordered_set<quint64> given_;
};
