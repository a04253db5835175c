#include "PngEncoders.h"

#include <QBuffer>
#include <QImageWriter>
#include <algorithm>

namespace wordengine {
namespace {

// Pictures queued per encoding thread: enough to keep them busy while a page is drawn,
// few enough that memory stays a handful of pages (a Letter page at 96 dpi is 3.4 MB).
constexpr size_t kQueuedPerThread = 2;

} // namespace

QByteArray PngEncoders::encode(const QImage& page, int level) {
    // A page with no colour keeps every pixel's value in one byte instead of three: the
    // picture is the same, pixel for pixel.
    const QImage image = page.allGray() ? page.convertToFormat(QImage::Format_Grayscale8) : page;
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
