#include "PackageZipReader.h"

#include "EngineError.h"

#include <QDir>
#include <zip.h>

namespace wordengine::package {

QString byteCount(qint64 bytes) {
    if (bytes < (qint64(1) << 20))
        return QStringLiteral("%1 bytes").arg(bytes);
    return QStringLiteral("%1 MB").arg(double(bytes) / double(1 << 20), 0, 'f', 1);
}

QString shownName(const QString& fileName) {
    return QDir::toNativeSeparators(fileName);
}

QString corruptedMessage(const QString& fileName, const QString& detail) {
    return QStringLiteral("The file %1 appears to be corrupted: %2.")
        .arg(shownName(fileName), detail);
}

PackageZipReader::PackageZipReader(const QByteArray& bytes, const QString& fileName,
                                   const PackageLimits& limits)
    : bytes_(bytes), fileName_(fileName), limits_(limits) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source =
        zip_source_buffer_create(bytes_.constData(), zip_uint64_t(bytes_.size()), 0, &error);
    if (source)
        archive_.reset(zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error));
    if (!archive_) {
        const int code = zip_error_code_zip(&error);
        const QString reason = QString::fromLocal8Bit(zip_error_strerror(&error));
        zip_error_fini(&error);
        if (source)
            zip_source_free(source); // not taken over by a failed open
        // Word's own format before 2007 is a compound file, not a zip package; naming it
        // tells the user what to do (save it again in a newer format).
        if (code == ZIP_ER_NOZIP && bytes_.startsWith("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"))
            throw EngineError(QStringLiteral("The file %1 is a Word 97\u20132003 document, which "
                                             "this program does not read.")
                                  .arg(shownName(fileName_)));
        // A file that starts like a zip archive but has no end record was cut short.
        if (code == ZIP_ER_NOZIP && !bytes_.startsWith("PK\x03\x04"))
            throw EngineError(
                QStringLiteral("The file %1 is not a Word document (not a zip package).")
                    .arg(shownName(fileName_)));
        if (code == ZIP_ER_NOZIP || code == ZIP_ER_INCONS)
            fail(QStringLiteral("the zip package is truncated or damaged"));
        fail(QStringLiteral("the zip package cannot be read (%1)").arg(reason));
    }
    zip_error_fini(&error);

    const zip_int64_t entries = zip_get_num_entries(archive_.get(), 0);
    if (entries > limits_.maxEntries)
        fail(QStringLiteral("it holds %1 entries, more than the %2 a document may have")
                 .arg(entries)
                 .arg(limits_.maxEntries));
    // The sizes in the directory are checked before anything is inflated; inflating stops at
    // the declared size, so a lie there cannot make an entry grow past it.
    qint64 total = 0;
    for (zip_int64_t i = 0; i < entries; ++i) {
        zip_stat_t stat;
        if (zip_stat_index(archive_.get(), zip_uint64_t(i), 0, &stat) < 0 ||
            !(stat.valid & ZIP_STAT_SIZE))
            fail(QStringLiteral("entry %1 of the zip package is damaged").arg(i));
        if (stat.size > zip_uint64_t(limits_.maxTotalSize - total))
            throw EngineError(QStringLiteral("The file %1 is too large to open: its contents "
                                             "would take more than %2.")
                                  .arg(shownName(fileName_), byteCount(limits_.maxTotalSize)));
        total += qint64(stat.size);
    }
}

void PackageZipReader::Discard::operator()(struct zip* archive) const {
    zip_discard(archive); // read-only: nothing to write back
}

void PackageZipReader::fail(const QString& detail) const {
    throw EngineError(corruptedMessage(fileName_, detail));
}

bool PackageZipReader::contains(const QString& name) const {
    return zip_name_locate(archive_.get(), name.toUtf8().constData(), ZIP_FL_NOCASE) >= 0;
}

QByteArray PackageZipReader::read(const QString& name) {
    const zip_int64_t index =
        zip_name_locate(archive_.get(), name.toUtf8().constData(), ZIP_FL_NOCASE);
    if (index < 0)
        fail(QStringLiteral("the part %1 is missing").arg(name));
    zip_stat_t stat;
    if (zip_stat_index(archive_.get(), zip_uint64_t(index), 0, &stat) < 0 ||
        (stat.valid & (ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE)) != (ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE))
        fail(QStringLiteral("the entry of %1 is damaged").arg(name));
    if ((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method != ZIP_EM_NONE)
        throw EngineError(
            QStringLiteral("The file %1 is protected by a password and cannot be opened.")
                .arg(shownName(fileName_)));
    if (stat.size > zip_uint64_t(limits_.maxPartSize) ||
        stat.size > zip_uint64_t(limits_.maxTotalSize - inflated_))
        throw EngineError(QStringLiteral("The file %1 is too large to open: %2 would take %3 "
                                         "(at most %4).")
                              .arg(shownName(fileName_), name, byteCount(qint64(stat.size)),
                                   byteCount(limits_.maxPartSize)));
    zip_file_t* file = zip_fopen_index(archive_.get(), zip_uint64_t(index), 0);
    if (!file) {
        const zip_error_t* error = zip_get_error(archive_.get());
        if (zip_error_code_zip(error) == ZIP_ER_COMPNOTSUPP)
            fail(QStringLiteral("%1 is compressed by a method that is not supported").arg(name));
        fail(QStringLiteral("%1 cannot be read (%2)")
                 .arg(name, QString::fromLocal8Bit(zip_strerror(archive_.get()))));
    }
    QByteArray data(qsizetype(stat.size), Qt::Uninitialized);
    qint64 got = 0;
    zip_int64_t n = 0;
    while (got < data.size() &&
           (n = zip_fread(file, data.data() + got, zip_uint64_t(data.size() - got))) > 0)
        got += n;
    // One more read reaches the end of the entry, where libzip checks its checksum.
    char extra = 0;
    if (n >= 0)
        n = zip_fread(file, &extra, 1);
    const QString reason = QString::fromLocal8Bit(zip_file_strerror(file));
    zip_fclose(file);
    if (n < 0)
        fail(QStringLiteral("%1 is damaged (%2)").arg(name, reason));
    if (got != data.size() || n > 0)
        fail(QStringLiteral("%1 does not have the size its entry declares").arg(name));
    inflated_ += got;
    return data;
}

} // namespace wordengine::package
