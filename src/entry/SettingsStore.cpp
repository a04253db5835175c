#include "SettingsStore.h"

#include "AtomicFile.h"
#include "Failure.h"
#include "IniText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Serialises the writers of one settings file across processes, so that two writers of
// different keys both keep theirs. The kernel drops this lock when its holder dies. Earlier
// versions also left a ".lock" file of their own, which is cleared while the lock is held.
// The lock file is the program's own: a link at its name is not followed. It lies beside the
// name the program uses, also when that is a link to a settings file elsewhere.
class WriterLock {
public:
    explicit WriterLock(const QString& settingsPath) {
        const QByteArray path = QFile::encodeName(settingsPath + QStringLiteral(".writelock"));
        fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0)
            return;
        while (::flock(fd, LOCK_EX) != 0) {
            if (errno != EINTR) {
                ::close(fd);
                fd = -1;
                return;
            }
        }
        QFile::remove(settingsPath + QStringLiteral(".lock"));
    }
    ~WriterLock() {
        if (fd >= 0)
            ::close(fd); // releases the lock
    }
    WriterLock(const WriterLock&) = delete;
    WriterLock& operator=(const WriterLock&) = delete;
    bool held() const { return fd >= 0; }

private:
    int fd = -1;
};

// Rounded up, so that a size past the bound never reads as the bound itself.
QString megabytes(qint64 bytes) {
    return QStringLiteral("%1 MB").arg(std::ceil(double(bytes) * 10 / double(1 << 20)) / 10);
}

// The whole file; nothing when it cannot be read or is larger than the store reads, and then
// `why` says so, naming the file.
QByteArray readWhole(const QString& path, QString* why) {
    QFile file(path);
    if (!file.exists())
        return {};
    const auto tooLarge = [&](qint64 size) {
        *why = QStringLiteral("The settings file %1 holds %2, more than the %3 the settings "
                              "store reads, so it is left as it is.")
                   .arg(QDir::toNativeSeparators(path), megabytes(size),
                        megabytes(SettingsStore::maxFileSize));
        return QByteArray();
    };
    if (file.size() > SettingsStore::maxFileSize)
        return tooLarge(file.size());
    if (!file.open(QIODevice::ReadOnly)) {
        *why = QStringLiteral("The settings file %1 cannot be read, so it is not written.")
                   .arg(QDir::toNativeSeparators(path));
        return {};
    }
    const QByteArray text = file.readAll();
    return text.size() > SettingsStore::maxFileSize ? tooLarge(text.size()) : text;
}

} // namespace

SettingsStore::SettingsStore(QString folder) : root(std::move(folder)) {}

SettingsStore& SettingsStore::user() {
    static SettingsStore store(
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
    return store;
}

QString SettingsStore::filePath(const QString& application) const {
    return root + QLatin1Char('/') + application + QStringLiteral(".ini");
}

QString SettingsStore::read(const QString& application, const QString& section, const QString& key,
                            const QString& defaultValue) const {
    const QString path = filePath(application);
    if (!QFileInfo(path).isFile())
        return defaultValue;
    QString unread; // such a file reads as empty: every key takes its default
    const QByteArray text = readWhole(path, &unread);
    // A hand-edited file can hold a list or another type in place of a text; it is not ours.
    return ini::value(text, section, key).value_or(defaultValue);
}

void SettingsStore::write(const QString& application, const QString& section, const QString& key,
                          const QString& value) {
    const QString path = filePath(application);
    if (!files::makeFolders(root))
        throw Failure(QStringLiteral("The settings folder %1 cannot be created.")
                          .arg(QDir::toNativeSeparators(root)));
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        throw Failure(QStringLiteral("The settings file %1 is not a file.")
                          .arg(QDir::toNativeSeparators(path)));
    // Writing merges our key into what the file holds; a file we cannot read would be
    // replaced by our one key, losing the others.
    if (info.exists() && !info.isReadable())
        throw Failure(QStringLiteral("The settings file %1 cannot be read, so it is not written.")
                          .arg(QDir::toNativeSeparators(path)));

    const WriterLock lock(path);
    if (!lock.held())
        throw Failure(QStringLiteral("The setting \"%1\" could not be saved: the settings folder "
                                     "%2 cannot be written.")
                          .arg(key, QDir::toNativeSeparators(root)));
    QString why;
    const QByteArray before = readWhole(path, &why);
    if (!why.isEmpty())
        throw Failure(why);
    // Only the lines of this key change; the new text replaces the old file only once every
    // byte of it is on disk, so a full disk leaves the file as it was.
    const QByteArray after = ini::withValue(before, section, key, value);
    if (after.size() > maxFileSize) // what the store writes, it must read again
        throw Failure(QStringLiteral("The setting \"%1\" could not be saved: the settings file "
                                     "%2 would hold %3, more than the %4 the settings store "
                                     "reads.")
                          .arg(key, QDir::toNativeSeparators(path), megabytes(after.size()),
                               megabytes(maxFileSize)));
    if (!files::writeFileAtomically(path, after, &why))
        throw Failure(QStringLiteral("The setting \"%1\" could not be saved: the settings file "
                                     "%2 cannot be written (%3).")
                          .arg(key, QDir::toNativeSeparators(path), why));
}

QString ReadSetting(const QString& application, const QString& section, const QString& key,
                    const QString& defaultValue) {
    return SettingsStore::user().read(application, section, key, defaultValue);
}

void WriteSetting(const QString& application, const QString& section, const QString& key,
                  const QString& value) {
    SettingsStore::user().write(application, section, key, value);
}
