#pragma once
// A small file system that fills up: a tmpfs of a few kilobytes mounted on a folder of its
// own, for tests of what happens when a disk is full. Mounting needs root, which CI has;
// where it is refused, available() is false and a test injects the same failures at the file
// layer instead (files::AtomicFile::setFaultHook).

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cerrno>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

class SmallDisk {
public:
    explicit SmallDisk(qint64 bytes = 256 * 1024) {
        const QByteArray options = "size=" + QByteArray::number(bytes) + ",mode=0777";
        mounted = folder.isValid() && ::geteuid() == 0 &&
                  ::mount("tmpfs", QFile::encodeName(folder.path()).constData(), "tmpfs",
                          MS_NOSUID | MS_NODEV, options.constData()) == 0;
    }
    ~SmallDisk() {
        if (mounted)
            ::umount2(QFile::encodeName(folder.path()).constData(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool available() const { return mounted; }
    QString path() const { return folder.path(); }
    QString filePath(const QString& name) const { return folder.filePath(name); }

    // Takes up every free byte but about `leave` (tmpfs counts whole pages of 4 KB).
    void fill(qint64 leave = 0) {
        const QByteArray name = QFile::encodeName(folder.filePath(QStringLiteral(".filler")));
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fd < 0)
            return;
        const QByteArray block(4096, '\0');
        qint64 written = 0;
        for (;;) {
            const ssize_t n = ::write(fd, block.constData(), size_t(block.size()));
            if (n <= 0)
                break;
            written += n;
        }
        if (leave > 0) [[maybe_unused]]
            const int r = ::ftruncate(fd, written > leave ? written - leave : 0);
        ::close(fd);
    }

private:
    QTemporaryDir folder;
    bool mounted = false;
};
