#pragma once
// The per-user registry of live engine applications, which "get running" consults. Each live
// application holds an exclusive flock() on a file "vantorel-engine-<pid>-<n>.lock" in the
// user's private folder (PrivateFolder.h). The kernel drops the lock when the process ends, however
// it ends, so a file whose lock can be taken belongs to a dead process and is removed; there is no
// PID to be fooled by reuse and no age after which a live lock would look stale.

#include <QString>
#include <memory>
#include <utility>

namespace wordengine {

class EngineRegistry {
public:
    // A live application's registration; dropping it removes the file.
    class Entry {
    public:
        Entry(int fd, QString path) : fd_(fd), path_(std::move(path)) {}
        ~Entry();
        Entry(const Entry&) = delete;
        Entry& operator=(const Entry&) = delete;

    private:
        int fd_;
        QString path_;
    };

    // directory: where the files live; empty for the user's private folder. When that cannot
    // be had (a folder of its name that is not private), there is no registry: add() answers
    // null and no other process is found.
    explicit EngineRegistry(QString directory = {});

    const QString& directory() const { return directory_; }

    // Registers a new application of this process. Null when the folder cannot be written:
    // the application then works but cannot be found by other processes.
    std::unique_ptr<Entry> add() const;

    // Whether another process of ours has a live application. Removes the files of dead
    // processes it meets; ignores this process's own applications.
    bool anotherProcessHasOne() const;

private:
    QString directory_;
};

} // namespace wordengine
