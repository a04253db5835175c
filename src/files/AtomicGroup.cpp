#include "AtomicGroup.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace files {

namespace {

// A member put in place, and how to undo that.
struct Published {
    QByteArray target;
    bool replaced = false; // something was at the target's name before
    QByteArray old;        // a second name of what was there; empty when none could be made
};

// A name beside `target` for keeping an old file until the group is published: hidden, and
// drawn at random, so that it is no one else's.
QByteArray nameAside(const QString& target) {
    return QFile::encodeName(QDir(QFileInfo(target).absolutePath())
                                 .filePath(QStringLiteral(".vantorel-%1.old")
                                               .arg(QRandomGenerator::global()->generate64(), 16,
                                                    16, QLatin1Char('0'))));
}

// Looks at what is at `target` before it is replaced and, when something is, gives it a second
// name beside it (a hard link: no bytes are copied), by which it can be put back.
Published keepOld(const QString& target) {
    Published kept;
    kept.target = QFile::encodeName(target);
    struct stat status;
    kept.replaced = ::lstat(kept.target.constData(), &status) == 0;
    if (!kept.replaced || S_ISDIR(status.st_mode))
        return kept;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray name = nameAside(target);
        if (::link(kept.target.constData(), name.constData()) == 0) {
            kept.old = name;
            break;
        }
        if (errno != EEXIST)
            break; // a file system without hard links: the old file cannot be put back
    }
    return kept;
}

// Moves `target` out of the way under a name aside, by which it can be put back; `aside` is
// left empty when there was nothing to move. False, with errno set, when it cannot be moved.
bool moveAside(const QString& target, QByteArray& aside) {
    const QByteArray from = QFile::encodeName(target);
    struct stat status;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray name = nameAside(target);
        if (::lstat(name.constData(), &status) == 0)
            continue;
        if (::rename(from.constData(), name.constData()) == 0) {
            aside = name;
            return true;
        }
        return errno == ENOENT; // already gone is as good as removed
    }
    errno = EEXIST;
    return false;
}

} // namespace

AtomicGroup::AtomicGroup(AtomicOptions chosen) : options(chosen) {}

AtomicGroup::~AtomicGroup() = default;

AtomicFile& AtomicGroup::add(const QString& target) {
    const std::lock_guard<std::mutex> hold(lock);
    return members.emplace_back(target, options);
}

void AtomicGroup::remove(const QString& target) {
    const std::lock_guard<std::mutex> hold(lock);
    removals.push_back(target);
}

QString AtomicGroup::errorString() const {
    return failure ? failure->errorString() : removalFailure;
}

bool AtomicGroup::publish() {
    const std::lock_guard<std::mutex> hold(lock);
    failure = nullptr;
    removalFailure.clear();
    // Every member whole first: nothing is put in place while one may still fail to be written.
    for (AtomicFile& member : members)
        if (!member.finish()) {
            failure = &member;
            return false;
        }
    std::vector<Published> done;
    std::vector<std::pair<QByteArray, QByteArray>> movedAside; // target, its name aside
    const auto undo = [&] {
        for (auto moved = movedAside.rbegin(); moved != movedAside.rend(); ++moved)
            ::rename(moved->second.constData(), moved->first.constData());
        for (auto step = done.rbegin(); step != done.rend(); ++step) {
            if (!step->old.isEmpty())
                ::rename(step->old.constData(), step->target.constData());
            else if (!step->replaced)
                ::unlink(step->target.constData());
            // else: what it replaced cannot be put back; the new file, whole, is better than none.
        }
    };
    done.reserve(members.size());
    for (AtomicFile& member : members) {
        Published step;
        // Where the member goes: for a link at its target, the file the link names. Nothing
        // can fail after the last member when no removals follow it, so what that one replaces
        // never has to be put back: it needs no second name (a single document's case).
        const bool nothingAfter = &member == &members.back() && removals.empty();
        if (options.replace && !nothingAfter)
            step = keepOld(member.destination());
        else
            step.target = QFile::encodeName(member.destination());
        if (member.commit()) {
            done.push_back(std::move(step));
            continue;
        }
        failure = &member;
        if (!step.old.isEmpty())
            ::unlink(step.old.constData());
        undo();
        return false;
    }
    for (const QString& target : removals) {
        QByteArray aside;
        if (!moveAside(target, aside)) {
            removalFailure = QStringLiteral("cannot remove %1: %2")
                                 .arg(target, QString::fromLocal8Bit(std::strerror(errno)));
            undo();
            return false;
        }
        if (!aside.isEmpty())
            movedAside.emplace_back(QFile::encodeName(target), aside);
    }
    for (const Published& step : done)
        if (!step.old.isEmpty())
            ::unlink(step.old.constData());
    for (const auto& [target, aside] : movedAside)
        ::unlink(aside.constData());
    if (!movedAside.empty() && options.sync && options.syncFolder)
        syncFolderOf(QFile::decodeName(movedAside.front().first));
    return true;
}

} // namespace files
