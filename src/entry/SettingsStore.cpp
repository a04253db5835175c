#include "SettingsStore.h"

#include "Failure.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Keys and groups are used as given; QSettings treats "/" as a separator, which no key of
// ours contains, and escapes everything else itself.
QString settingsKey(const QString& section, const QString& key) {
    return section + QLatin1Char('/') + key;
}

// Serialises the writers of one settings file across processes. QSettings has a lock file of
// its own, but one left empty by a process killed at the wrong moment makes the next writer
// wait half a minute before it counts as stale. The kernel drops this lock when its holder
// dies, and every writer takes it first, so whatever QSettings lock file is found while
// holding it was left by a dead process and can go.
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

// QSettings keeps each file it has read and reads it again only when its size or its
// modification time (to the millisecond) has changed. Two versions written within one
// millisecond at one size would look the same, and a process holding the older one would
// write it back over another process's key. Every version therefore gets a later time than
// the one before it. The writer lock is held, so nobody else writes meanwhile.
void keepVersionsApart(const QString& path, const QDateTime& previous) {
    if (!previous.isValid())
        return;
    const QDateTime now = QFileInfo(path).lastModified();
    if (now > previous)
        return;
    const qint64 ms = previous.toMSecsSinceEpoch() + 1;
    const timespec times[2] = {{0, UTIME_OMIT}, {ms / 1000, (ms % 1000) * 1000000}};
    ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0);
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
    const QSettings settings(path, QSettings::IniFormat);
    const QVariant value = settings.value(settingsKey(section, key));
    // A hand-edited file can hold what QSettings reads as a list; such a value is not ours.
    if (!value.isValid() || value.typeId() != QMetaType::QString)
        return defaultValue;
    return value.toString();
}

void SettingsStore::write(const QString& application, const QString& section, const QString& key,
                          const QString& value) {
    const QString path = filePath(application);
    if (!QDir().mkpath(root))
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
    const QDateTime before = QFileInfo(path).lastModified();
    QSettings settings(path, QSettings::IniFormat);
    settings.setValue(settingsKey(section, key), value);
    settings.sync(); // QSettings writes a new file, syncs it and renames it over the old one
    if (settings.status() != QSettings::AccessError)
        keepVersionsApart(path, before);
    if (settings.status() == QSettings::AccessError)
        throw Failure(QStringLiteral("The setting \"%1\" could not be saved: the settings file "
                                     "%2 cannot be written.")
                          .arg(key, QDir::toNativeSeparators(path)));
}

QString ReadSetting(const QString& application, const QString& section, const QString& key,
                    const QString& defaultValue) {
    return SettingsStore::user().read(application, section, key, defaultValue);
}

void WriteSetting(const QString& application, const QString& section, const QString& key,
                  const QString& value) {
    SettingsStore::user().write(application, section, key, value);
}
