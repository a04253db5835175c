// Saving: the package is built in memory, written to a temporary sibling of the target,
// flushed to the disk and renamed over the target. rename(2) is atomic and replaces a link
// at the target instead of writing through it, so the target is always either the old file
// or the complete new one, and a failure leaves nothing behind.
#include "Automation.h"
#include "Package.h"
#include "PackageParts.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace wordengine {

namespace {

QString systemMessage(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

[[noreturn]] void saveFailed(const QString& path, int error) {
    throw word::Error(QStringLiteral("The document could not be saved as %1: %2.")
                          .arg(QDir::toNativeSeparators(path), systemMessage(error)));
}

bool writeAll(int fd, const QByteArray& bytes) {
    const char* at = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, at, size_t(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        at += written;
        left -= written;
    }
    return true;
}

// Creates a file of a name no one else has in the target's folder. O_EXCL refuses a name
// that exists, a link included, so nothing planted there is ever written through. The name
// does not grow with the target's, so a long target name still leaves room for it.
int createTemporarySibling(const QString& target, QByteArray& tempPath) {
    const QString folder = QFileInfo(target).absolutePath();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString name =
            QStringLiteral(".vantorel-%1.tmp")
                .arg(QRandomGenerator::global()->generate64(), 16, 16, QLatin1Char('0'));
        tempPath = QFile::encodeName(QDir(folder).filePath(name));
        // The umask decides the permissions, as for any new file.
        const int fd = ::open(tempPath.constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

// A file saved over an existing one keeps that file's permissions (someone may have made
// it private); a link or anything else at the target is not looked through.
void keepPermissions(int fd, const QString& target) {
    struct stat existing;
    if (::lstat(QFile::encodeName(target).constData(), &existing) == 0 && S_ISREG(existing.st_mode))
        ::fchmod(fd, existing.st_mode & 07777);
}

// Makes the rename itself durable; a folder that cannot be synced (some file systems) does
// not make the save fail, as the file is already complete.
void syncFolder(const QString& target) {
    const int fd = ::open(QFile::encodeName(QFileInfo(target).absolutePath()).constData(),
                          O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

void savePackage(const Document& document, int pageCount, const QString& path) {
    if (path.isEmpty())
        throw word::Error(QStringLiteral("The document could not be saved: no file name."));
    const QByteArray bytes = package::zipParts(
        package::packageParts(document, pageCount, QDateTime::currentDateTimeUtc()));

    QByteArray tempPath;
    const int fd = createTemporarySibling(path, tempPath);
    if (fd < 0)
        saveFailed(path, errno);
    keepPermissions(fd, path);
    if (!writeAll(fd, bytes) || ::fsync(fd) != 0) {
        const int error = errno;
        ::close(fd);
        ::unlink(tempPath.constData());
        saveFailed(path, error);
    }
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(tempPath.constData());
        saveFailed(path, error);
    }
    if (::rename(tempPath.constData(), QFile::encodeName(path).constData()) != 0) {
        const int error = errno;
        ::unlink(tempPath.constData());
        saveFailed(path, error);
    }
    syncFolder(path);
}

} // namespace wordengine
