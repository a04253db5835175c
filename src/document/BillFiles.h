#pragma once
// The files vantorel-bill reads and writes: the record, bounded in size and checked for
// repeated keys, and outputs that never destroy an input, another output, or anything that
// is not a plain file.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace BillFiles {

// The most a record may hold. A record is sixteen short values; this leaves room for very
// long ones and keeps a wrong file, a device or an endless pipe from taking the memory.
inline constexpr qint64 kMaxRecordBytes = 64LL * 1024 * 1024;

// The record's bytes from a file, or from standard input for "-". Throws BillFiles::Refused
// when it cannot be read or holds more than kMaxRecordBytes.
QByteArray readRecord(const QString& path);

// The first member name that appears twice in the JSON object `json` (the outermost one;
// `json` must be valid JSON), or nothing.
std::optional<QString> repeatedKey(const QByteArray& json);

// The text of the value of the member `key` of the outermost JSON object in `json` (valid
// JSON), exactly as written: for a number, its digits as they stand ("2900.00", not 2900).
QByteArray valueText(const QByteArray& json, const QString& key);

// The name of the page picture `page` (from 1) in the folder for --png.
QString pagePath(const QString& folder, int page);

// What an earlier, longer set of page pictures left past the last page of a new set of
// `pages`: the names picture(pages + 1), picture(pages + 2), ... as long as one is taken (by
// anything, a link that leads nowhere too). Sets are written whole, without gaps.
QStringList picturesAfter(int pages, const std::function<QString(int page)>& picture);

// Checks, before any work: every output is a regular file the user may write, or does not
// exist (a link is followed to see what it names); no output is the input or another output,
// also through links; the --png folder is a folder or does not exist, and none of the other
// paths is one of its page pictures. Throws Refused naming the path and the reason.
void checkPaths(const QString& input, const QStringList& outputs, const QString& pngFolder);

struct Refused {
    QString message;
};

} // namespace BillFiles
