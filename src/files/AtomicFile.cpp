#include "AtomicFile.h"

#include "FileHold.h"
#include "Leftovers.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace files {

namespace {

AtomicFile::FaultHook& faultHook() {
    static AtomicFile::FaultHook hook;
    return hook;
}

int injected(Step step, const QString& target) {
    const auto& hook = faultHook();
    return hook ? hook(step, target) : 0;
}

QByteArray encoded(const QString& path) {
    return QFile::encodeName(path);
}

// umask(2) tells the umask only by changing it, which is safe only while the process has one
// thread: here, during static initialisation, before main. For a system without /proc.
const mode_t umaskAtStart = [] {
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}();

// The umask now, as the kernel reports it without a change (Linux 4.7 and later).
mode_t currentUmask() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return umaskAtStart;
    // Read whole: the file gives its size as 0, which a read line by line takes for its end.
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("Umask:")) {
            bool read = false;
            const uint mask = line.mid(6).trimmed().toUInt(&read, 8);
            return read ? mode_t(mask & 0777) : umaskAtStart;
        }
    return umaskAtStart;
}

// Puts `from` at `to` only if nothing is there. renameat2 does it in one step; where the file
// system does not offer it, a hard link does the same (it fails on an existing name too).
int renameNoReplace(const QByteArray& from, const QByteArray& to) {
#ifdef SYS_renameat2
    if (::syscall(SYS_renameat2, AT_FDCWD, from.constData(), AT_FDCWD, to.constData(),
                  RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
#endif
    if (::link(from.constData(), to.constData()) != 0)
        return errno;
    ::unlink(from.constData());
    return 0;
}

QString describedError(int code) {
    return QString::fromLocal8Bit(std::strerror(code));
}

QByteArray folderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
}

// Why what is at a name may not be replaced; no code when it may.
struct Refusal {
    int code = 0;
    QString why;
};

// What is at a name, as one lstat found it; looked at once, by whichever step comes first.
struct Found {
    bool looked = false;
    bool exists = false;
    struct stat status {};
};

// The file that `path` names once every link at its end is followed; `path` itself when it is
// no link. A link that names nothing gives the name it gives. Sets `refusal` for a link that
// is not followed: one in a loop, or, as the kernel's protected_symlinks rule has it, one of
// another user's in a sticky folder that everyone may write (a link planted in /tmp).
// `found` tells what is at the name given, when that is no link.
QByteArray followLinks(const QByteArray& path, Refusal* refusal, Found* found) {
    constexpr int maxLinks = 40; // as the kernel allows
    QByteArray current = path;
    for (int hop = 0; hop < maxLinks; ++hop) {
        struct stat link;
        if (::lstat(current.constData(), &link) != 0) {
            *found = {.looked = true, .exists = false};
            return current;
        }
        if (!S_ISLNK(link.st_mode)) {
            *found = {.looked = true, .exists = true, .status = link};
            return current;
        }
        const QByteArray folder = folderOf(current);
        struct stat shared;
        if (::stat(folder.constData(), &shared) == 0 && (shared.st_mode & S_ISVTX) &&
            (shared.st_mode & S_IWOTH) && link.st_uid != ::geteuid() &&
            link.st_uid != shared.st_uid) {
            *refusal = {EACCES, QStringLiteral("it is a link of another user's in a shared "
                                               "folder, which is not followed")};
            return current;
        }
        QByteArray named(PATH_MAX + 1, '\0');
        const ssize_t length = ::readlink(current.constData(), named.data(), size_t(named.size()));
        if (length < 0 || length >= named.size())
            return current; // changed meanwhile: what is there now is looked at as it is
        named.truncate(length);
        current = named.startsWith('/') ? named : folder + '/' + named;
    }
    *refusal = {ELOOP, describedError(ELOOP)};
    return current;
}

// Why the file at `destination` (no link) may not be replaced. `found` is what is there,
// looked at here unless it was before.
Refusal refusalOf(const QByteArray& destination, Found* found) {
    if (!found->looked) {
        found->looked = true;
        found->exists = ::lstat(destination.constData(), &found->status) == 0;
    }
    if (!found->exists)
        return {}; // nothing there: a new file; a folder that cannot be read fails the create
    const struct stat& status = found->status;
    if (S_ISDIR(status.st_mode))
        return {EISDIR, QStringLiteral("it is a folder")};
    if (S_ISFIFO(status.st_mode))
        return {EPERM, QStringLiteral("it is a FIFO (a named pipe), not a plain file")};
    if (S_ISCHR(status.st_mode) || S_ISBLK(status.st_mode))
        return {EPERM, QStringLiteral("it is a device, not a plain file")};
    if (S_ISSOCK(status.st_mode))
        return {EPERM, QStringLiteral("it is a socket, not a plain file")};
    if (!S_ISREG(status.st_mode))
        return {EPERM, QStringLiteral("it is not a plain file")};
    // Replacing takes only the folder's permission; the file's own says whether its owner
    // wants it changed. The effective user's, as the kernel checks an open for writing: root
    // may, unless the file system is read-only.
    if (::faccessat(AT_FDCWD, destination.constData(), W_OK, AT_EACCESS) != 0) {
        const int code = errno;
        return {code, QStringLiteral("it is read-only to you (%1)").arg(describedError(code))};
    }
    return {};
}

Refusal refusalAt(const QByteArray& target, QByteArray* destination, Found* found) {
    Refusal refused;
    *destination = followLinks(target, &refused, found);
    if (!refused.code)
        refused = refusalOf(*destination, found);
    return refused;
}

} // namespace

mode_t userFileMode() {
    return 0666 & ~currentUmask();
}

QString whyNotReplaceable(const QString& target) {
    QByteArray destination;
    Found found;
    return refusalAt(encoded(target), &destination, &found).why;
}

void AtomicFile::setFaultHook(FaultHook hook) {
    faultHook() = std::move(hook);
}

AtomicFile::AtomicFile(QString target, AtomicOptions chosen)
    : path(std::move(target)), options(chosen) {}

AtomicFile::~AtomicFile() {
    if (!committed)
        discard();
}

bool AtomicFile::fail(Step failed, int code) {
    step = failed;
    error = code ? code : EIO;
    discard();
    return false;
}

bool AtomicFile::open() {
    if (path.isEmpty())
        return fail(Step::Create, ENOENT);
    if (const int code = injected(Step::Create, path))
        return fail(Step::Create, code);
    // Only a write that replaces looks through a link: one that takes a free name finds the
    // name taken by the link itself.
    QByteArray destination = encoded(path);
    Refusal refused;
    Found found;
    if (options.replace)
        refused = refusalAt(encoded(path), &destination, &found);
    destinationPath = QFile::decodeName(destination);
    if (refused.code) {
        refusal = refused.why;
        return fail(Step::Create, refused.code);
    }
    const QString folder = QFileInfo(destinationPath).absolutePath();
    removeLeftoversOnce(folder);
    // The new file's name does not grow with the target's, so a long target name still
    // leaves room for it; O_EXCL refuses any name that exists, a planted link included.
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        const QString name =
            QStringLiteral(".vantorel-%1.tmp")
                .arg(QRandomGenerator::global()->generate64(), 16, 16, QLatin1Char('0'));
        temporaryPath = encoded(QDir(folder).filePath(name));
        fd = ::open(temporaryPath.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                    0600);
        if (fd < 0 && errno != EEXIST) {
            temporaryPath.clear();
            return fail(Step::Create, errno);
        }
        if (fd >= 0 && !lockNewFile())
            fd = -1;
    }
    if (fd < 0) {
        temporaryPath.clear();
        return fail(Step::Create, EEXIST);
    }
    // The permissions are given when the file is whole: until then it stays private.
    mode = options.mode;
    if (found.exists && S_ISREG(found.status.st_mode))
        mode = found.status.st_mode & 07777;
    return true;
}

// Locks the file just created at temporaryPath. A clean-up of leftovers (in another process,
// or on another thread) may have taken it for one between its creation and the lock: then its name
// no longer names it, and false tells the caller to draw another. Where the file system has no
// locks, the file goes unlocked: the write matters more.
bool AtomicFile::lockNewFile() {
    int locked;
    while ((locked = ::flock(fd, LOCK_EX)) != 0 && errno == EINTR) {
    }
    struct stat opened, named;
    if (locked == 0 &&
        (::fstat(fd, &opened) != 0 || ::lstat(temporaryPath.constData(), &named) != 0 ||
         opened.st_dev != named.st_dev || opened.st_ino != named.st_ino)) {
        ::close(fd);
        return false;
    }
    return true;
}

// A QFile costs a status call and a seek of its own on opening, so it is made only for a
// caller that wants a device; bytes given to write() go to the descriptor.
QIODevice* AtomicFile::device() {
    if (!file && fd >= 0 && !finished) {
        file = std::make_unique<QFile>();
        if (!file->open(fd, QIODevice::WriteOnly, QFileDevice::DontCloseHandle)) {
            fail(Step::Create, EIO);
            return nullptr;
        }
    }
    return file.get();
}

bool AtomicFile::write(const QByteArray& bytes) {
    if (fd < 0 || finished)
        return false;
    if (const int code = injected(Step::Write, path))
        return fail(Step::Write, code);
    if (file) {
        if (file->write(bytes) != bytes.size())
            return fail(Step::Write, errno);
        return true;
    }
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t written = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return fail(Step::Write, written < 0 ? errno : EIO);
        done += written;
    }
    return true;
}

bool AtomicFile::finish() {
    if (finished)
        return true;
    if (fd < 0)
        return false;
    // QFile buffers; its flush is where a full disk shows for the last bytes.
    if (const int code = injected(Step::Write, path))
        return fail(Step::Write, code);
    if (file && (file->error() != QFileDevice::NoError || !file->flush()))
        return fail(Step::Write, errno);
    file.reset();
    ::fchmod(fd, mode);
    if (const int code = injected(Step::Sync, path))
        return fail(Step::Sync, code);
    if (options.sync && ::fsync(fd) != 0)
        return fail(Step::Sync, errno);
    if (const int code = injected(Step::Close, path))
        return fail(Step::Close, code);
    if (options.sync) {
        // After a successful fsync a close has nothing left to report, so the descriptor
        // stays open as the holder of the lock until the file is published.
        lockFd = fd;
    } else {
        // Unsynced, the close is where a network file system reports a lost write; a second
        // descriptor keeps the lock meanwhile.
        lockFd = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
        if (::close(fd) != 0) {
            fd = -1;
            return fail(Step::Close, errno);
        }
    }
    fd = -1;
    finished = true;
    return true;
}

bool AtomicFile::commit() {
    if (committed || !finish())
        return committed;
    if (const int code = injected(Step::Publish, path))
        return fail(Step::Publish, code);
    const QByteArray to = encoded(destinationPath);
    if (options.replace) {
        if (::rename(temporaryPath.constData(), to.constData()) != 0)
            return fail(Step::Publish, errno);
    } else if (const int code = renameNoReplace(temporaryPath, to)) {
        return fail(Step::Publish, code);
    }
    committed = true;
    temporaryPath.clear();
    // The lock goes on to whoever asked to keep the file; otherwise it ends here.
    if (lockFd >= 0 && !FileHold::handOver(path, lockFd))
        ::close(lockFd);
    lockFd = -1;
    if (options.sync && options.syncFolder)
        syncFolderOf(destinationPath);
    return true;
}

void AtomicFile::discard() {
    finished = false;
    file.reset();
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
    // Removed while still locked: no clean-up elsewhere ever sees it unheld.
    if (!temporaryPath.isEmpty()) {
        ::unlink(temporaryPath.constData());
        temporaryPath.clear();
    }
    if (lockFd >= 0) {
        ::close(lockFd);
        lockFd = -1;
    }
}

QString AtomicFile::errorString() const {
    if (!error)
        return QString();
    QString where = QDir::toNativeSeparators(path);
    if (!destinationPath.isEmpty() && destinationPath != path)
        where += QStringLiteral(" (a link to %1)").arg(QDir::toNativeSeparators(destinationPath));
    return QStringLiteral("cannot write %1: %2")
        .arg(where, refusal.isEmpty() ? describedError(error)
                                      : refusal + QStringLiteral("; it is left as it is"));
}

bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* why,
                         AtomicOptions options) {
    AtomicFile file(path, options);
    if (file.open() && file.write(bytes) && file.commit())
        return true;
    if (why)
        *why = file.errorString();
    return false;
}

bool copyFileAtomically(const QString& from, const QString& to, QString* why,
                        AtomicOptions options) {
    const QString canonicalFrom = QFileInfo(from).canonicalFilePath();
    if (!canonicalFrom.isEmpty() && canonicalFrom == QFileInfo(to).canonicalFilePath())
        return true;
    AtomicFile file(to, options);
    if (!writeCopy(from, file, why))
        return false;
    if (!file.commit()) {
        if (why)
            *why = file.errorString();
        return false;
    }
    return true;
}

bool writeCopy(const QString& from, AtomicFile& file, QString* why) {
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly)) {
        if (why)
            *why = QStringLiteral("cannot read %1: %2")
                       .arg(QDir::toNativeSeparators(from), source.errorString());
        return false;
    }
    if (!file.open()) {
        if (why)
            *why = file.errorString();
        return false;
    }
    while (!source.atEnd()) {
        const QByteArray chunk = source.read(1 << 20);
        if (chunk.isEmpty() && source.error() != QFileDevice::NoError) {
            if (why)
                *why = QStringLiteral("cannot read %1: %2")
                           .arg(QDir::toNativeSeparators(from), source.errorString());
            file.discard();
            return false;
        }
        if (!file.write(chunk)) {
            if (why)
                *why = file.errorString();
            return false;
        }
    }
    return true;
}

bool makeFolders(const QString& path, mode_t mode) {
    const QFileInfo info(path);
    if (info.isDir())
        return true;
    const QString parent = info.path();
    if (parent != path && !makeFolders(parent, mode))
        return false;
    return ::mkdir(QFile::encodeName(path).constData(), mode) == 0 ||
           (errno == EEXIST && QFileInfo(path).isDir());
}

void syncFolderOf(const QString& path) {
    const int folder = ::open(encoded(QFileInfo(path).absolutePath()).constData(),
                              O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder); // some file systems cannot; the file itself is already whole
        ::close(folder);
    }
}

} // namespace files
