// The packager: lists the parts and zips them in memory. It knows nothing of their content.
//
// The zip is written here rather than by a zip library: a batch makes hundreds of documents a
// second, each with the same handful of small parts, and a library compresses every part of
// every document afresh with a new compressor. Here a part that is byte for byte what this
// thread compressed last under its name is taken as it was compressed, and one compressor
// per thread serves all the others.
#include "EngineError.h"
#include "PackageParts.h"

#include <cstring>
#include <optional>
#include <sys/stat.h>
#include <zlib.h>

namespace wordengine::package {

namespace {

// Entries carry one fixed time, so saving the same document twice gives the same bytes apart
// from docProps/core.xml: 2020-01-01 12:00, in the DOS form a zip keeps (no zone).
constexpr quint16 kEntryDosTime = 12 << 11;
constexpr quint16 kEntryDosDate = ((2020 - 1980) << 9) | (1 << 5) | 1;

// zlib's default level. Level 9 makes the bill's package 44 bytes (0.9 %) smaller, 5,039
// bytes against 5,083, and takes half as long again to compress the document's text.
constexpr int kLevel = 6;
constexpr quint16 kUtf8Name = 1 << 11; // general purpose flag; 0 in the deflate bits: normal
constexpr quint16 kVersionNeeded = 20; // 2.0: deflate
constexpr quint16 kMadeOnUnix = (3 << 8) | 63; // Unix, by a writer of the 6.3 format
// A regular file, rw-r--r--, as made on Unix: without it unzip and some readers extract the
// entries with no permissions at all.
constexpr quint32 kAttributes = quint32(S_IFREG | 0644) << 16;

// Larger parts are compressed each time: keeping their bytes would keep a large document's
// text alive after it is saved, and the next document's text differs anyway.
constexpr qsizetype kLargestKeptPart = 64 * 1024;
// Without zip64 records, sizes and offsets have 32 bits.
constexpr qint64 kLargestZip = 0xFFFFFFFFLL;

[[noreturn]] void fail(const QString& why) {
    throw EngineError(QStringLiteral("The package could not be built (%1).").arg(why));
}

struct Compressed {
    QString name;
    QByteArray raw;
    QByteArray deflated;
    quint32 crc = 0;
};

// One raw deflate stream for all the parts this thread compresses.
class Compressor {
public:
    Compressor() {
        ready =
            deflateInit2(&stream, kLevel, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) == Z_OK;
    }
    ~Compressor() {
        if (ready)
            deflateEnd(&stream);
    }
    Compressor(const Compressor&) = delete;
    Compressor& operator=(const Compressor&) = delete;

    Compressed compress(const QString& name, const QByteArray& raw) {
        if (!ready)
            fail(QStringLiteral("%1: the compressor could not be started").arg(name));
        // Reset before each part, not after: a part given up half-way (out of memory) leaves
        // nothing behind for the next.
        deflateReset(&stream);
        Compressed part{
            name, raw,
            QByteArray(qsizetype(deflateBound(&stream, uLong(raw.size()))), Qt::Uninitialized),
            quint32(
                crc32_z(0, reinterpret_cast<const Bytef*>(raw.constData()), size_t(raw.size())))};
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(raw.constData()));
        stream.avail_in = uInt(raw.size());
        stream.next_out = reinterpret_cast<Bytef*>(part.deflated.data());
        stream.avail_out = uInt(part.deflated.size());
        if (deflate(&stream, Z_FINISH) != Z_STREAM_END)
            fail(QStringLiteral("%1: %2").arg(
                name, QString::fromLatin1(stream.msg ? stream.msg : "deflate failed")));
        part.deflated.truncate(qsizetype(stream.total_out));
        return part;
    }

private:
    z_stream stream{};
    bool ready = false;
};

// The part compressed: as this thread compressed it last under its name when the bytes are
// the same. (A copy shares the bytes it holds.)
Compressed compressed(const PackagePart& part) {
    thread_local Compressor compressor;
    thread_local std::vector<Compressed> kept;
    if (part.data.size() > kLargestZip)
        fail(QStringLiteral("%1 is larger than 4 GB").arg(part.name));
    if (part.data.size() > kLargestKeptPart)
        return compressor.compress(part.name, part.data);
    for (Compressed& earlier : kept)
        if (earlier.name == part.name) {
            if (earlier.raw != part.data)
                earlier = compressor.compress(part.name, part.data);
            return earlier;
        }
    return kept.emplace_back(compressor.compress(part.name, part.data));
}

// Appends little-endian integers.
class ZipBytes {
public:
    explicit ZipBytes(QByteArray& bytes) : out(bytes) {}
    ZipBytes& u16(quint32 value) { return put(value, 2); }
    ZipBytes& u32(quint32 value) { return put(value, 4); }
    ZipBytes& raw(const QByteArray& bytes) {
        out.append(bytes);
        return *this;
    }

private:
    ZipBytes& put(quint32 value, int size) {
        char bytes[4];
        for (int i = 0; i < size; ++i, value >>= 8)
            bytes[i] = char(value & 0xFF);
        out.append(bytes, size);
        return *this;
    }
    QByteArray& out;
};

// The part `make` makes of `key`, made again only when the key differs from the last one this
// thread asked for: in a batch the page setup, the time and the page count are the same for
// document after document.
template <class Key, class Make>
QByteArray lastMade(std::optional<std::pair<Key, QByteArray>>& last, const Key& key, Make make) {
    if (!last || !(last->first == key))
        last.emplace(key, make(key));
    return last->second;
}

} // namespace

std::vector<PackagePart> packageParts(const Document& document, int pageCount,
                                      const QDateTime& savedAt) {
    // The parts every document has alike are written once.
    static const QByteArray contentTypes = contentTypesXml();
    static const QByteArray rootRelationships = rootRelationshipsXml();
    static const QByteArray documentRelationships = documentRelationshipsXml();
    static const QByteArray styles = stylesXml();
    thread_local std::optional<std::pair<PageSetup, QByteArray>> settings;
    thread_local std::optional<std::pair<QDateTime, QByteArray>> coreProperties;
    thread_local std::optional<std::pair<int, QByteArray>> appProperties;
    // [Content_Types].xml first: some readers look for it at the start of the archive.
    return {
        {QStringLiteral("[Content_Types].xml"), contentTypes},
        {QStringLiteral("_rels/.rels"), rootRelationships},
        {QStringLiteral("word/document.xml"), documentXml(document)},
        {QStringLiteral("word/_rels/document.xml.rels"), documentRelationships},
        {QStringLiteral("word/styles.xml"), styles},
        {QStringLiteral("word/settings.xml"), lastMade(settings, document.pageSetup, settingsXml)},
        {QStringLiteral("docProps/core.xml"), lastMade(coreProperties, savedAt, corePropertiesXml)},
        {QStringLiteral("docProps/app.xml"), lastMade(appProperties, pageCount, appPropertiesXml)},
    };
}

QByteArray zipParts(const std::vector<PackagePart>& parts) {
    struct Entry {
        QByteArray name;
        Compressed part;
        quint32 offset = 0;
    };
    std::vector<Entry> entries;
    entries.reserve(parts.size());
    qint64 size = 22; // the end of the central directory
    for (const PackagePart& part : parts) {
        Entry& entry = entries.emplace_back(Entry{part.name.toUtf8(), compressed(part)});
        if (entry.name.size() > 0xFFFF)
            fail(QStringLiteral("the name of the part %1 is too long").arg(part.name));
        size += 30 + 46 + 2 * entry.name.size() + entry.part.deflated.size();
    }
    if (size > kLargestZip || entries.size() > 0xFFFF)
        fail(QStringLiteral("the package would be larger than a zip without extensions holds"));

    QByteArray bytes;
    bytes.reserve(qsizetype(size));
    ZipBytes zip(bytes);
    const auto header = [&](const Entry& entry) {
        const Compressed& part = entry.part;
        bool ascii = true;
        for (const char c : entry.name)
            ascii = ascii && uchar(c) < 0x80;
        zip.u16(kVersionNeeded)
            .u16(ascii ? 0 : kUtf8Name)
            .u16(Z_DEFLATED)
            .u16(kEntryDosTime)
            .u16(kEntryDosDate)
            .u32(part.crc)
            .u32(quint32(part.deflated.size()))
            .u32(quint32(part.raw.size()))
            .u16(quint32(entry.name.size()))
            .u16(0); // no extra field
    };
    for (Entry& entry : entries) {
        entry.offset = quint32(bytes.size());
        zip.u32(0x04034b50);
        header(entry);
        zip.raw(entry.name).raw(entry.part.deflated);
    }
    const quint32 directory = quint32(bytes.size());
    for (const Entry& entry : entries) {
        zip.u32(0x02014b50).u16(kMadeOnUnix);
        header(entry);
        zip.u16(0)  // no comment
            .u16(0) // disk 0
            .u16(0) // internal attributes
            .u32(kAttributes)
            .u32(entry.offset)
            .raw(entry.name);
    }
    const quint32 directorySize = quint32(bytes.size()) - directory;
    zip.u32(0x06054b50)
        .u16(0)
        .u16(0)
        .u16(quint32(entries.size()))
        .u16(quint32(entries.size()))
        .u32(directorySize)
        .u32(directory)
        .u16(0);
    return bytes;
}

} // namespace wordengine::package
