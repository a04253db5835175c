#pragma once
// The reading side of the packager: a zip archive held in memory, whose entries are checked
// against the limits before a byte of them is inflated.

#include "PackageReader.h"

#include <QByteArray>
#include <QString>
#include <memory>

struct zip;

namespace wordengine::package {

class PackageZipReader {
public:
    // Throws EngineError when bytes are not a zip archive, are damaged, or break the limits.
    PackageZipReader(const QByteArray& bytes, const QString& fileName, const PackageLimits& limits);
    PackageZipReader(const PackageZipReader&) = delete;
    PackageZipReader& operator=(const PackageZipReader&) = delete;

    // Entry names compare without regard to case, as part names do.
    bool contains(const QString& name) const;
    // The inflated entry. Throws EngineError when it is missing, too large or damaged.
    QByteArray read(const QString& name);

private:
    [[noreturn]] void fail(const QString& detail) const;

    QByteArray bytes_; // the archive reads from these bytes for its whole life
    QString fileName_;
    PackageLimits limits_;
    // Owned from the moment it is opened, so that a constructor that throws (a file refused
    // for its entries) still gives it back.
    struct Discard {
        void operator()(struct zip* archive) const;
    };
    std::unique_ptr<struct zip, Discard> archive_;
    qint64 inflated_ = 0;
};

// The messages of a file that cannot be opened, shared by the readers.
QString shownName(const QString& fileName);
QString corruptedMessage(const QString& fileName, const QString& detail);
QString byteCount(qint64 bytes); // "812 bytes", "3.5 MB"

} // namespace wordengine::package
