#include "AtomicFile.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/fs.h>
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

} // namespace

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
    const QString folder = QFileInfo(path).absolutePath();
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
    }
    if (fd < 0) {
        temporaryPath.clear();
        return fail(Step::Create, EEXIST);
    }
    struct stat existing;
    mode_t mode = options.mode;
    if (options.replace && ::lstat(encoded(path).constData(), &existing) == 0 &&
        S_ISREG(existing.st_mode))
        mode = existing.st_mode & 07777;
    ::fchmod(fd, mode);
    file = std::make_unique<QFile>();
    if (!file->open(fd, QIODevice::WriteOnly, QFileDevice::DontCloseHandle))
        return fail(Step::Create, EIO);
    return true;
}

QIODevice* AtomicFile::device() {
    return file.get();
}

bool AtomicFile::write(const QByteArray& bytes) {
    if (!file)
        return false;
    if (const int code = injected(Step::Write, path))
        return fail(Step::Write, code);
    if (file->write(bytes) != bytes.size())
        return fail(Step::Write, errno);
    return true;
}

bool AtomicFile::finish() {
    if (finished)
        return true;
    if (!file)
        return false;
    // QFile buffers; its flush is where a full disk shows for the last bytes.
    if (const int code = injected(Step::Write, path))
        return fail(Step::Write, code);
    if (file->error() != QFileDevice::NoError || !file->flush())
        return fail(Step::Write, errno);
    file.reset();
    if (const int code = injected(Step::Sync, path))
        return fail(Step::Sync, code);
    if (options.sync && ::fsync(fd) != 0)
        return fail(Step::Sync, errno);
    const int closing = injected(Step::Close, path);
    const int closed = ::close(fd);
    fd = -1;
    if (closing || closed != 0)
        return fail(Step::Close, closing ? closing : errno);
    finished = true;
    return true;
}

bool AtomicFile::commit() {
    if (committed || !finish())
        return committed;
    if (const int code = injected(Step::Publish, path))
        return fail(Step::Publish, code);
    const QByteArray to = encoded(path);
    if (options.replace) {
        if (::rename(temporaryPath.constData(), to.constData()) != 0)
            return fail(Step::Publish, errno);
    } else if (const int code = renameNoReplace(temporaryPath, to)) {
        return fail(Step::Publish, code);
    }
    committed = true;
    temporaryPath.clear();
    if (options.sync && options.syncFolder)
        syncFolderOf(path);
    return true;
}

void AtomicFile::discard() {
    finished = false;
    file.reset();
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
    if (!temporaryPath.isEmpty()) {
        ::unlink(temporaryPath.constData());
        temporaryPath.clear();
    }
}

QString AtomicFile::errorString() const {
    if (!error)
        return QString();
    return QStringLiteral("cannot write %1: %2")
        .arg(QDir::toNativeSeparators(path), QString::fromLocal8Bit(std::strerror(error)));
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
