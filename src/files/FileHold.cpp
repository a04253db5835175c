#include "FileHold.h"

#include <map>
#include <mutex>
#include <unistd.h>

namespace files {

struct HeldSlot {
    QString target;
    int fd = -1;
};

namespace {

// The holds asked for and not yet released, by target. One lock for all: a hold is asked for,
// handed over and released a few times per document, never in a loop.
std::mutex& registryLock() {
    static std::mutex lock;
    return lock;
}

std::map<QString, std::weak_ptr<HeldSlot>>& registry() {
    static std::map<QString, std::weak_ptr<HeldSlot>> requests;
    return requests;
}

} // namespace

FileHold::FileHold(const QString& target) : slot(std::make_shared<HeldSlot>()) {
    slot->target = target;
    const std::lock_guard<std::mutex> hold(registryLock());
    registry()[target] = slot; // a later request for the same name wins
}

FileHold::~FileHold() {
    release();
}

FileHold::FileHold(FileHold&& other) noexcept : slot(std::move(other.slot)) {}

FileHold& FileHold::operator=(FileHold&& other) noexcept {
    if (this != &other) {
        release();
        slot = std::move(other.slot);
    }
    return *this;
}

bool FileHold::held() const {
    const std::lock_guard<std::mutex> hold(registryLock());
    return slot && slot->fd >= 0;
}

const QString& FileHold::target() const {
    static const QString none;
    return slot ? slot->target : none;
}

void FileHold::release() {
    if (!slot)
        return;
    int fd = -1;
    {
        const std::lock_guard<std::mutex> hold(registryLock());
        auto& requests = registry();
        const auto found = requests.find(slot->target);
        if (found != requests.end() && found->second.lock() == slot)
            requests.erase(found);
        fd = slot->fd;
        slot->fd = -1;
    }
    if (fd >= 0)
        ::close(fd); // the lock goes with the last descriptor
    slot.reset();
}

bool FileHold::handOver(const QString& target, int fd) {
    const std::lock_guard<std::mutex> hold(registryLock());
    auto& requests = registry();
    const auto found = requests.find(target);
    if (found == requests.end())
        return false;
    const std::shared_ptr<HeldSlot> waiting = found->second.lock();
    requests.erase(found); // one file per request
    if (!waiting || waiting->fd >= 0)
        return false;
    waiting->fd = fd;
    return true;
}

} // namespace files
