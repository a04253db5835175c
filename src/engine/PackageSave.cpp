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
// that exists, a link included, so nothing planted there is ever written through; the mode
// lets the umask decide the permissions as for any new file.
int createTemporarySibling(const QString& target, QByteArray& tempPath) {
    const QFileInfo info(target);
    const QString folder = info.absolutePath();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString name =
            QStringLiteral(".%1.%2.tmp")
                .arg(info.fileName())
                .arg(QRandomGenerator::global()->generate64(), 16, 16, QLatin1Char('0'));
        tempPath = QFile::encodeName(QDir(folder).filePath(name));
        const int fd = ::open(tempPath.constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
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
