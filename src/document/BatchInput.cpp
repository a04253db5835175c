#include "BatchInput.h"

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <unistd.h>

namespace {
constexpr size_t kChunk = 1 << 20;
} // namespace

BatchInput::BatchInput(int fd, int stopFd, qint64 longestLine)
    : fd_(fd), stopFd_(stopFd), longest_(longestLine),
      // Not filled with zeros: read() writes every byte that is used.
      buffer_(std::make_unique_for_overwrite<char[]>(kChunk)) {}

bool BatchInput::fill(Result& why) {
    for (;;) {
        // Wait for input or for the stop, whichever comes first: a pipe may stay silent.
        pollfd waits[2] = {{fd_, POLLIN, 0}, {stopFd_, POLLIN, 0}};
        const int ready = ::poll(waits, stopFd_ >= 0 ? 2 : 1, -1);
        if (ready < 0 && errno != EINTR) {
            why = Result::Failed;
            error_ = QString::fromLocal8Bit(std::strerror(errno));
            return false;
        }
        if (stopFd_ >= 0 && ready > 0 && (waits[1].revents & POLLIN)) {
            why = Result::Stopped;
            return false;
        }
        if (ready <= 0)
            continue; // interrupted by a signal: look at the stop again
        const ssize_t n = ::read(fd_, buffer_.get(), kChunk);
        if (n < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (n < 0) {
            why = Result::Failed;
            error_ = QString::fromLocal8Bit(std::strerror(errno));
            return false;
        }
        begin_ = 0;
        end_ = size_t(n);
        if (n == 0) {
            ended_ = true;
            why = Result::End;
            return false;
        }
        if (atStart_) {
            atStart_ = false;
            // A byte-order mark is what some programs put before UTF-8; it is no part of the
            // first record. (A mark split over two reads is too rare a case to look for.)
            if (end_ >= 3 && std::memcmp(buffer_.get(), "\xEF\xBB\xBF", 3) == 0)
                begin_ = 3;
        }
        return true;
    }
}

BatchInput::Result BatchInput::next(Line& line) {
    line = Line{};
    bool any = false; // whether the line has begun: the last line may lack its line end
    for (;;) {
        if (begin_ == end_) {
            Result why = Result::End;
            if (ended_ || !fill(why)) {
                if (why != Result::End || !any)
                    return ended_ && !any ? Result::End : why;
                break; // the last line, without a line end
            }
            if (begin_ == end_)
                continue; // the read held the byte-order mark alone, which begins no line
        }
        any = true;
        const char* from = buffer_.get() + begin_;
        const size_t available = end_ - begin_;
        const void* newline = std::memchr(from, '\n', available);
        const size_t take = newline ? size_t(static_cast<const char*>(newline) - from) : available;
        if (!line.tooLong) {
            if (qint64(line.bytes.size()) + qint64(take) > longest_ + 1) {
                line.tooLong = true; // one byte past the limit, for the CR of a CRLF
                line.bytes = QByteArray();
            } else {
                line.bytes.append(from, qsizetype(take));
            }
        }
        begin_ += take;
        if (newline) {
            ++begin_;
            break;
        }
    }
    line.number = ++number_;
    if (line.bytes.endsWith('\r'))
        line.bytes.chop(1);
    if (!line.tooLong && line.bytes.size() > longest_) {
        line.tooLong = true;
        line.bytes = QByteArray();
    }
    return Result::Line;
}
