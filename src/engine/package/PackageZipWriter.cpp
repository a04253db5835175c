// The packager: lists the parts and zips them in memory. It knows nothing of their content.
#include "EngineError.h"
#include "PackageParts.h"

#include <memory>
#include <sys/stat.h>
#include <zip.h>

namespace wordengine::package {

namespace {

// Entries carry one fixed time, so saving the same document twice gives the same bytes
// apart from docProps/core.xml; 2020-01-01 12:00 keeps clear of the DOS epoch in every zone.
constexpr time_t kEntryTime = 1577880000;

[[noreturn]] void fail(const char* what, zip_error_t* error) {
    throw EngineError(
        QStringLiteral("The package could not be built (%1: %2).")
            .arg(QLatin1StringView(what), QString::fromLocal8Bit(zip_error_strerror(error))));
}

[[noreturn]] void fail(const char* what, zip_t* archive) {
    fail(what, zip_get_error(archive));
}

struct SourceFree {
    void operator()(zip_source_t* source) const { zip_source_free(source); }
};
using SourcePtr = std::unique_ptr<zip_source_t, SourceFree>;

struct ArchiveDiscard {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};

QByteArray readAll(zip_source_t* source) {
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_source_stat(source, &stat) < 0 || !(stat.valid & ZIP_STAT_SIZE))
        fail("stat", zip_source_error(source));
    if (zip_source_open(source) < 0)
        fail("open", zip_source_error(source));
    QByteArray bytes(qsizetype(stat.size), Qt::Uninitialized);
    const zip_int64_t read = zip_source_read(source, bytes.data(), stat.size);
    zip_source_close(source);
    if (read < 0 || zip_uint64_t(read) != stat.size)
        fail("read", zip_source_error(source));
    return bytes;
}

} // namespace

std::vector<PackagePart> packageParts(const Document& document, int pageCount,
                                      const QDateTime& savedAt) {
    // [Content_Types].xml first: some readers look for it at the start of the archive.
    return {
        {QStringLiteral("[Content_Types].xml"), contentTypesXml()},
        {QStringLiteral("_rels/.rels"), rootRelationshipsXml()},
        {QStringLiteral("word/document.xml"), documentXml(document)},
        {QStringLiteral("word/_rels/document.xml.rels"), documentRelationshipsXml()},
        {QStringLiteral("word/styles.xml"), stylesXml()},
        {QStringLiteral("word/settings.xml"), settingsXml(document.pageSetup)},
        {QStringLiteral("docProps/core.xml"), corePropertiesXml(savedAt)},
        {QStringLiteral("docProps/app.xml"), appPropertiesXml(pageCount)},
    };
}

QByteArray zipParts(const std::vector<PackagePart>& parts) {
    zip_error_t error;
    zip_error_init(&error);
    SourcePtr buffer(zip_source_buffer_create(nullptr, 0, 0, &error));
    if (!buffer)
        fail("buffer", &error);
    zip_t* raw = zip_open_from_source(buffer.get(), ZIP_TRUNCATE, &error);
    if (!raw)
        fail("create", &error);
    std::unique_ptr<zip_t, ArchiveDiscard> archive(raw);
    zip_source_keep(buffer.get()); // the archive drops its reference on close; we read after

    for (const PackagePart& part : parts) {
        // The part's bytes stay alive in `parts` until zip_close has compressed them.
        zip_source_t* data = zip_source_buffer(archive.get(), part.data.constData(),
                                               zip_uint64_t(part.data.size()), 0);
        if (!data)
            fail("add", archive.get());
        const zip_int64_t index =
            zip_file_add(archive.get(), part.name.toUtf8().constData(), data, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(data);
            fail("add", archive.get());
        }
        // A regular file, rw-r--r--, as made on Unix: without it unzip and some readers
        // extract the entries with no permissions at all.
        const zip_uint32_t attributes = zip_uint32_t(S_IFREG | 0644) << 16;
        if (zip_file_set_external_attributes(archive.get(), zip_uint64_t(index), 0, ZIP_OPSYS_UNIX,
                                             attributes) < 0 ||
            zip_file_set_mtime(archive.get(), zip_uint64_t(index), kEntryTime, 0) < 0 ||
            zip_set_file_compression(archive.get(), zip_uint64_t(index), ZIP_CM_DEFLATE, 9) < 0)
            fail("attributes", archive.get());
    }
    if (zip_close(archive.get()) < 0)
        fail("close", archive.get());
    archive.release(); // closed: nothing left to discard
    return readAll(buffer.get());
}

} // namespace wordengine::package
