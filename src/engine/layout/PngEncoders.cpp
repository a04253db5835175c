#include "PngEncoders.h"

#include <QBuffer>
#include <QImageWriter>
#include <QtEndian>
#include <algorithm>
#include <zlib.h>

namespace wordengine {
namespace {

// One chunk of a PNG file: length, type, data, and the CRC of type and data.
void appendChunk(QByteArray& png, const char (&type)[5], const QByteArray& data) {
    char length[4];
    qToBigEndian<quint32>(quint32(data.size()), length);
    png.append(length, 4);
    const qsizetype from = png.size();
    png.append(type, 4);
    png.append(data);
    char crc[4];
    qToBigEndian<quint32>(quint32(crc32(0, reinterpret_cast<const Bytef*>(png.constData() + from),
                                        uInt(4 + data.size()))),
                          crc);
    png.append(crc, 4);
}

QByteArray bigEndian(std::initializer_list<quint32> words) {
    QByteArray bytes;
    for (const quint32 word : words) {
        char b[4];
        qToBigEndian<quint32>(word, b);
        bytes.append(b, 4);
    }
    return bytes;
}

// An 8-bit grey picture as a PNG file, written here rather than by Qt's writer: that one
// tries every row filter on every row, which takes three times as long as compressing the
// page at a low level. Rows go unfiltered: a page is white with black letters, which zlib
// packs nearly as well without a filter.
QByteArray greyPng(const QImage& image, int level) {
    const int width = image.width(), height = image.height();
    QByteArray rows;
    rows.reserve(qsizetype(width + 1) * height);
    for (int y = 0; y < height; ++y) {
        rows.append('\0'); // filter: none
        rows.append(reinterpret_cast<const char*>(image.constScanLine(y)), width);
    }
    uLongf packedSize = compressBound(uLong(rows.size()));
    QByteArray packed(qsizetype(packedSize), Qt::Uninitialized);
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize,
                  reinterpret_cast<const Bytef*>(rows.constData()), uLong(rows.size()),
                  std::clamp(level, 0, 9)) != Z_OK)
        return {};
    packed.truncate(qsizetype(packedSize));

    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    // Width, height; 8 bits, grey, deflate, standard filters, not interlaced.
    appendChunk(png, "IHDR",
                bigEndian({quint32(width), quint32(height)}) + QByteArray("\x08\0\0\0\0", 5));
    if (image.dotsPerMeterX() > 0 && image.dotsPerMeterY() > 0) // pixels per metre
        appendChunk(png, "pHYs",
                    bigEndian({quint32(image.dotsPerMeterX()), quint32(image.dotsPerMeterY())}) +
                        '\1');
    appendChunk(png, "IDAT", packed);
    appendChunk(png, "IEND", {});
    return png;
}

} // namespace
namespace {

// Pictures queued per encoding thread: enough to keep them busy while a page is drawn,
// few enough that memory stays a handful of pages (a Letter page at 96 dpi is 3.4 MB).
constexpr size_t kQueuedPerThread = 2;

} // namespace

QByteArray PngEncoders::encode(const QImage& page, int level) {
    // A page with no colour keeps every pixel's value in one byte instead of three: the
    // picture is the same, pixel for pixel.
    if (page.allGray())
        return greyPng(page.convertToFormat(QImage::Format_Grayscale8), level);
    const QImage& image = page;
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly))
        return {};
    QImageWriter writer(&buffer, "png");
    // Qt's PNG writer takes 0 to 100 and gives zlib compression * 9 / 100.
    writer.setCompression((std::clamp(level, 0, 9) * 100 + 8) / 9);
    return writer.write(image) ? png : QByteArray();
}

PngEncoders::PngEncoders(int pages, const PngSink& sink) : sink_(sink) {
    const int cores = std::max(1, int(std::thread::hardware_concurrency()));
    const int count = std::clamp(pages, 1, cores);
    limit_ = kQueuedPerThread * size_t(count);
    threads_.reserve(size_t(count));
    for (int i = 0; i < count; ++i)
        threads_.emplace_back([this] { work(); });
}

PngEncoders::~PngEncoders() {
    finish();
}

bool PngEncoders::add(int page, QImage image) {
    std::unique_lock<std::mutex> hold(lock_);
    changed_.wait(hold, [&] { return queue_.size() < limit_ || failed_; });
    if (failed_)
        return false;
    queue_.emplace_back(page, std::move(image));
    changed_.notify_all();
    return true;
}

bool PngEncoders::finish() {
    {
        const std::lock_guard<std::mutex> hold(lock_);
        closed_ = true;
    }
    changed_.notify_all();
    for (std::thread& thread : threads_)
        if (thread.joinable())
            thread.join();
    return !failed_;
}

void PngEncoders::work() {
    for (;;) {
        std::pair<int, QImage> item;
        {
            std::unique_lock<std::mutex> hold(lock_);
            changed_.wait(hold, [&] { return !queue_.empty() || closed_ || failed_; });
            if (failed_ || queue_.empty())
                return;
            item = std::move(queue_.front());
            queue_.pop_front();
            changed_.notify_all();
        }
        bool stored = false;
        try {
            const QByteArray png = encode(item.second);
            item.second = QImage(); // the page's pixels are not needed while the sink writes
            stored = !png.isEmpty() && sink_(item.first, png);
        } catch (...) {
            stored = false; // out of memory, or a sink that threw: the run fails
        }
        if (!stored) {
            const std::lock_guard<std::mutex> hold(lock_);
            failed_ = true;
            queue_.clear();
            changed_.notify_all();
        }
    }
}

} // namespace wordengine
