#include "Leftovers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <set>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace files {

namespace {

bool isHexDigit(QChar c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f');
}

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Removes `name` from the folder open at `folder` when it is a leftover of ours. The file is
// locked while its name is checked once more and removed, so a writer that created it a
// moment ago and locks it now finds it gone and draws another name (AtomicFile::open).
bool removeIfLeftover(int folder, const char* name) {
    struct stat before;
    if (::fstatat(folder, name, &before, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(before.st_mode) ||
        before.st_uid != ::geteuid())
        return false;
    const int fd =
        ::openat(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool removed = false;
    struct stat opened, now;
    if (::fstat(fd, &opened) == 0 && sameFile(opened, before) &&
        ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        ::fstatat(folder, name, &now, AT_SYMLINK_NOFOLLOW) == 0 && sameFile(now, opened))
        removed = ::unlinkat(folder, name, 0) == 0;
    ::close(fd);
    return removed;
}

// The folders this process has cleaned, by absolute name.
std::mutex cleanedLock;
std::set<QString> cleaned;

QString key(const QString& folder) {
    return QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
}

} // namespace

bool isNewFileName(const QString& name) {
    static const QString prefix = QStringLiteral(".vantorel-");
    static const QString suffix = QStringLiteral(".tmp");
    if (name.size() != prefix.size() + 16 + suffix.size() || !name.startsWith(prefix) ||
        !name.endsWith(suffix))
        return false;
    for (qsizetype i = prefix.size(); i < prefix.size() + 16; ++i)
        if (!isHexDigit(name[i]))
            return false;
    return true;
}

int removeLeftovers(const QString& folder, const NameTest& alsoOurs) {
    {
        const std::lock_guard<std::mutex> hold(cleanedLock);
        cleaned.insert(key(folder));
    }
    DIR* listing = ::opendir(QFile::encodeName(folder).constData());
    if (!listing)
        return 0;
    int removed = 0;
    while (const dirent* entry = ::readdir(listing)) {
        const QString name = QFile::decodeName(entry->d_name);
        if ((isNewFileName(name) || (alsoOurs && alsoOurs(name))) &&
            removeIfLeftover(::dirfd(listing), entry->d_name))
            ++removed;
    }
    ::closedir(listing);
    return removed;
}

void removeLeftoversOnce(const QString& folder) {
    {
        const std::lock_guard<std::mutex> hold(cleanedLock);
        if (cleaned.count(key(folder)))
            return;
    }
    removeLeftovers(folder);
}

} // namespace files
