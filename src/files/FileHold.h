#pragma once
// A file this process keeps for itself after writing it, such as the document the preview
// shows, held so that no other process takes it for a leftover of a killed run.
//
// Every new file an AtomicFile writes is locked (flock) from the moment it is created until it
// is published or removed, and the lock goes with it when the process dies. A FileHold asked
// for a target before the write takes that lock over when the file is published there, and
// keeps it until it is released: the file is held without a moment's gap.

#include <QString>
#include <memory>

namespace files {

struct HeldSlot;

class FileHold {
public:
    FileHold() = default;
    // Asks for the lock of the file that an AtomicFile of this process publishes next at
    // `target` (the name as given to the AtomicFile), on whichever thread.
    explicit FileHold(const QString& target);
    ~FileHold(); // releases
    FileHold(FileHold&& other) noexcept;
    FileHold& operator=(FileHold&& other) noexcept;
    FileHold(const FileHold&) = delete;
    FileHold& operator=(const FileHold&) = delete;

    // True once the file has been published and its lock handed over.
    bool held() const;
    const QString& target() const;
    // Lets the file go: if it is still there it is a leftover from then on. Remove it first.
    void release();

    // For AtomicFile: gives the locked descriptor `fd` of the file just published at `target`
    // to the hold asked for that name. False when none was asked for; the caller keeps `fd`.
    static bool handOver(const QString& target, int fd);

private:
    std::shared_ptr<HeldSlot> slot;
};

} // namespace files
