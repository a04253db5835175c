#include "EngineRegistry.h"

#include "PrivateFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <atomic>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace wordengine {

namespace {

const QString prefix = QStringLiteral("vantorel-engine-");

// The user's private folder. When it cannot be had there is no registry: applications then
// work but do not find each other, rather than leave their files where others could plant
// or remove them.
QString defaultDirectory() {
    const files::PrivateFolder folder = files::privateFolder();
    return folder.problem == files::PrivateFolder::Problem::None ? folder.path : QString();
}

QString ownPrefix() {
    return prefix + QString::number(QCoreApplication::applicationPid()) + u'-';
}

} // namespace

EngineRegistry::Entry::~Entry() {
    // Unlink before unlocking, so nobody sees an unlocked file of a live name.
    ::unlink(QFile::encodeName(path_).constData());
    ::close(fd_);
}

EngineRegistry::EngineRegistry(QString directory)
    : directory_(directory.isEmpty() ? defaultDirectory() : std::move(directory)) {}

std::unique_ptr<EngineRegistry::Entry> EngineRegistry::add() const {
    if (directory_.isEmpty())
        return nullptr;
    static std::atomic<int> counter{0};
    const QString name = ownPrefix() + QString::number(++counter) + QStringLiteral(".lock");
    const QString finalPath = QDir(directory_).filePath(name);
    const QString workPath = QDir(directory_).filePath(u'.' + name + QStringLiteral(".new"));
    QDir().mkpath(directory_);

    // Lock under a name nobody scans for, then rename into place: a scanner never meets the
    // file unlocked. O_CLOEXEC keeps child processes from inheriting (and holding) the lock.
    const QByteArray work = QFile::encodeName(workPath);
    const int fd = ::open(work.constData(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return nullptr;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 ||
        ::rename(work.constData(), QFile::encodeName(finalPath).constData()) != 0) {
        ::unlink(work.constData());
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<Entry>(fd, finalPath);
}

bool EngineRegistry::anotherProcessHasOne() const {
    if (directory_.isEmpty())
        return false;
    const QDir folder(directory_);
    const QString own = ownPrefix();
    const QStringList names =
        folder.entryList({prefix + QStringLiteral("*.lock")}, QDir::Files | QDir::Hidden);
    for (const QString& name : names) {
        if (name.startsWith(own))
            continue;
        const QByteArray path = QFile::encodeName(folder.filePath(name));
        const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            continue; // gone since the listing
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            return true; // its owner is alive
        }
        // A dead process's file. Remove it only if the name still means the file we locked: a
        // new owner may have renamed its own file over it meanwhile.
        struct stat opened {
        }, named{};
        if (::fstat(fd, &opened) == 0 && ::stat(path.constData(), &named) == 0 &&
            opened.st_ino == named.st_ino && opened.st_dev == named.st_dev)
            ::unlink(path.constData());
        ::close(fd);
    }
    return false;
}

} // namespace wordengine
