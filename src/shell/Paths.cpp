#include "Paths.h"

#include "Failure.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

bool FileExists(const QString& path) {
    try {
        if (path.isEmpty() || path.contains(QChar(0)))
            return false;
        const QFileInfo info(path);
        return info.exists() && info.lastModified().isValid();
    } catch (...) {
        return false;
    }
}

QString programFolder() {
    QString folder = QCoreApplication::applicationDirPath();
    while (folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    return folder;
}

QString inProgramFolder(const QString& name) {
    return programFolder() + QLatin1Char('/') + name;
}

namespace {

// Answers a refusal when `folder` is not a folder of this user's own that no one else can
// open; an empty answer when it is. The name itself is checked, not what a link there
// points to.
QString whyNotPrivate(const QString& folder) {
    struct stat status;
    if (::lstat(QFile::encodeName(folder).constData(), &status) != 0) {
        const int code = errno;
        return QString::fromLocal8Bit(std::strerror(code));
    }
    if (S_ISLNK(status.st_mode))
        return QStringLiteral("it is a link, not a folder");
    if (!S_ISDIR(status.st_mode))
        return QStringLiteral("it is not a folder");
    if (status.st_uid != ::geteuid())
        return QStringLiteral("it belongs to another user");
    if (status.st_mode & 077)
        return QStringLiteral("other users can open it (permissions %1, not 700)")
            .arg(status.st_mode & 0777, 3, 8, QLatin1Char('0'));
    return QString();
}

// The folder a session's runtime files belong in, when the session names one that is its
// user's own.
QString runtimeFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (runtime.isEmpty() || QDir::isRelativePath(runtime) || !whyNotPrivate(runtime).isEmpty())
        return QString();
    return runtime;
}

} // namespace

QString privateTemporaryFolder() {
    const QString runtime = runtimeFolder();
    const QString folder = runtime.isEmpty()
                               ? QDir::tempPath() + QStringLiteral("/vantorel-%1").arg(::geteuid())
                               : runtime + QStringLiteral("/vantorel");
    if (::mkdir(QFile::encodeName(folder).constData(), 0700) != 0 && errno != EEXIST) {
        const int code = errno;
        throw Failure(QStringLiteral("The temporary folder %1 cannot be made: %2. Set TEMP to a "
                                     "folder of your own.")
                          .arg(folder, QString::fromLocal8Bit(std::strerror(code))));
    }
    // A folder of that name made by someone else, or opened to others, could be read or
    // filled by them: the bill would not be private.
    const QString why = whyNotPrivate(folder);
    if (!why.isEmpty())
        throw Failure(QStringLiteral("The temporary folder %1 is not private to you: %2. Remove "
                                     "it or set TEMP to a folder of your own.")
                          .arg(folder, why));
    return folder;
}

QString temporaryFolder() {
    const QString temp = qEnvironmentVariable("TEMP");
    return temp.isEmpty() ? privateTemporaryFolder() : temp;
}
