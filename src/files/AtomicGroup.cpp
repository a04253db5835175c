#include "AtomicGroup.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
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

// Looks at what is at `target` before it is replaced and, when something is, gives it a second
// name beside it (a hard link: no bytes are copied), by which it can be put back.
Published keepOld(const QString& target) {
    Published kept;
    kept.target = QFile::encodeName(target);
    struct stat status;
    kept.replaced = ::lstat(kept.target.constData(), &status) == 0;
    if (!kept.replaced || S_ISDIR(status.st_mode))
        return kept;
    const QString folder = QFileInfo(target).absolutePath();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray name = QFile::encodeName(QDir(folder).filePath(
            QStringLiteral(".vantorel-%1.old")
                .arg(QRandomGenerator::global()->generate64(), 16, 16, QLatin1Char('0'))));
        if (::link(kept.target.constData(), name.constData()) == 0) {
            kept.old = name;
            break;
        }
        if (errno != EEXIST)
            break; // a file system without hard links: the old file cannot be put back
    }
    return kept;
}

} // namespace

AtomicGroup::AtomicGroup(AtomicOptions chosen) : options(chosen) {}

AtomicGroup::~AtomicGroup() = default;

AtomicFile& AtomicGroup::add(const QString& target) {
    const std::lock_guard<std::mutex> hold(lock);
    return members.emplace_back(target, options);
}

bool AtomicGroup::publish() {
    const std::lock_guard<std::mutex> hold(lock);
    failure = nullptr;
    // Every member whole first: nothing is put in place while one may still fail to be written.
    for (AtomicFile& member : members)
        if (!member.finish()) {
            failure = &member;
            return false;
        }
    std::vector<Published> done;
    done.reserve(members.size());
    for (AtomicFile& member : members) {
        Published step;
        // Where the member goes: for a link at its target, the file the link names.
        if (options.replace)
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
        for (auto undo = done.rbegin(); undo != done.rend(); ++undo) {
            if (!undo->old.isEmpty())
                ::rename(undo->old.constData(), undo->target.constData());
            else if (!undo->replaced)
                ::unlink(undo->target.constData());
            // else: what it replaced cannot be put back; the new file, whole, is better than none.
        }
        return false;
    }
    for (const Published& step : done)
        if (!step.old.isEmpty())
            ::unlink(step.old.constData());
    return true;
}

} // namespace files
