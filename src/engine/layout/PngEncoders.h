#pragma once
// Page pictures to PNG files on several threads: the thread that draws the pages hands each
// one over and draws the next while the others compress. Compression of a page takes longer
// than drawing it, so this is what makes many pages quick on a machine with several cores.

#include "Layout.h"

#include <QImage>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace wordengine {

class PngEncoders {
public:
    // For `pages` pictures; `sink` is called on the encoding threads, for several pages at
    // once and in no particular order.
    PngEncoders(int pages, const PngSink& sink);
    ~PngEncoders(); // waits for the threads
    PngEncoders(const PngEncoders&) = delete;
    PngEncoders& operator=(const PngEncoders&) = delete;

    // Queues a drawn page, waiting while enough are queued. False once a page failed: the
    // caller need draw no more.
    bool add(int page, QImage image);
    // Waits until every queued page is stored; true when all were.
    bool finish();

    // The PNG file of one page: 8-bit grey when the page has no colour (a third of the
    // bytes to compress), compressed for speed (zlib's `level`, 0 to 9). Empty when it
    // cannot be made.
    static QByteArray encode(const QImage& page, int level = kCompressionLevel);

    // zlib's level for the page pictures. A page is white with thin black letters: level 3
    // packs a page of the bill at 96 dpi into 29 KB in 1.5 ms, level 6 (zlib's default) into
    // 19 KB in 3.3 ms, level 9 into 19 KB in 14 ms (bench/png_bench.cpp has the table).
    static constexpr int kCompressionLevel = 3;

private:
    void work();

    const PngSink& sink_;
    std::mutex lock_;
    std::condition_variable changed_;
    std::deque<std::pair<int, QImage>> queue_;
    size_t limit_;
    bool closed_ = false;
    bool failed_ = false;
    std::vector<std::thread> threads_;
};

} // namespace wordengine
