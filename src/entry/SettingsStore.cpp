#include "SettingsStore.h"

#include "AtomicFile.h"
#include "Failure.h"
#include "IniText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Serialises the writers of one settings file across processes, so that two writers of
// different keys both keep theirs. The kernel drops this lock when its holder dies. Earlier
// versions also left a ".lock" file of their own, which is cleared while the lock is held.
class WriterLock {
public:
    explicit WriterLock(const QString& settingsPath) {
        const QByteArray path = QFile::encodeName(settingsPath + QStringLiteral(".writelock"));
        fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
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

// The whole file, or nothing when it cannot be read (`readable` says which).
QByteArray readWhole(const QString& path, bool* readable) {
    QFile file(path);
    if (!file.exists()) {
        *readable = true;
        return {};
    }
    *readable = file.open(QIODevice::ReadOnly);
    return *readable ? file.readAll() : QByteArray();
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
    bool readable = false;
    const QByteArray text = readWhole(path, &readable);
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
    bool readable = false;
    const QByteArray before = readWhole(path, &readable);
    if (!readable)
        throw Failure(QStringLiteral("The settings file %1 cannot be read, so it is not written.")
                          .arg(QDir::toNativeSeparators(path)));
    // Only the lines of this key change; the new text replaces the old file only once every
    // byte of it is on disk, so a full disk leaves the file as it was.
    QString why;
    if (!files::writeFileAtomically(path, ini::withValue(before, section, key, value), &why))
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
