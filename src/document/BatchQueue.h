#pragma once
// The lines read and not yet taken by a worker: bounded in number and in size, so that a
// reader faster than the workers waits instead of filling the memory.

#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>

template <class Item> class BatchQueue {
public:
    // At most `items` waiting, and at most `weight` of total weight unless the queue is empty
    // (a single heavy item still passes).
    BatchQueue(size_t items, qint64 weight) : items_(items), weight_(weight) {}

    // Waits for room; false when the queue was closed meanwhile.
    bool push(Item item, qint64 weight) {
        std::unique_lock<std::mutex> hold(lock_);
        room_.wait(hold, [&] {
            return closed_ || queue_.empty() ||
                   (queue_.size() < items_ && queued_ + weight <= weight_);
        });
        if (closed_)
            return false;
        queued_ += weight;
        queue_.push_back({std::move(item), weight});
        ready_.notify_one();
        return true;
    }

    // The next item; nothing once the queue is closed and empty, or dropped.
    std::optional<Item> pop() {
        std::unique_lock<std::mutex> hold(lock_);
        ready_.wait(hold, [&] { return closed_ || !queue_.empty(); });
        if (queue_.empty())
            return std::nullopt;
        Entry entry = std::move(queue_.front());
        queue_.pop_front();
        queued_ -= entry.weight;
        // The reader is woken once the queue is down to a quarter, not for each item taken:
        // it then fills the queue in one go while the workers go on, rather than switching
        // threads for every record. A reader waits only on a queue that is not empty, so it
        // is woken at the latest when the last item is taken.
        if (queue_.size() <= items_ / 4)
            room_.notify_all();
        return std::move(entry.item);
    }

    // No more items come; those waiting are still handed out, unless `drop`.
    void close(bool drop = false) {
        const std::lock_guard<std::mutex> hold(lock_);
        closed_ = true;
        if (drop) {
            queue_.clear();
            queued_ = 0;
        }
        ready_.notify_all();
        room_.notify_all();
    }

private:
    struct Entry {
        Item item;
        qint64 weight;
    };
    const size_t items_;
    const qint64 weight_;
    std::mutex lock_;
    std::condition_variable ready_, room_;
    std::deque<Entry> queue_;
    qint64 queued_ = 0;
    bool closed_ = false;
};
