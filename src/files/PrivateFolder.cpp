#include "PrivateFolder.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace files {

namespace {

// Why `folder` is not a folder of this user's own that no one else can open; empty when it
// is. The name itself is checked, not what a link there points to.
QString whyNotPrivate(const struct stat& status, uid_t user = ::geteuid()) {
    if (S_ISLNK(status.st_mode))
        return QStringLiteral("it is a link, not a folder");
    if (!S_ISDIR(status.st_mode))
        return QStringLiteral("it is not a folder");
    if (status.st_uid != user)
        return QStringLiteral("it belongs to another user");
    if (status.st_mode & 077)
        return QStringLiteral("other users can open it (permissions %1, not 700)")
            .arg(status.st_mode & 0777, 3, 8, QLatin1Char('0'));
    return QString();
}

QString whyNotPrivate(const QString& folder) {
    struct stat status;
    if (::lstat(QFile::encodeName(folder).constData(), &status) != 0) {
        const int code = errno;
        return QString::fromLocal8Bit(std::strerror(code));
    }
    return whyNotPrivate(status);
}

// The folder a session's runtime files belong in, when the session names one that is its
// user's own.
QString sessionFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (runtime.isEmpty() || QDir::isRelativePath(runtime) || !whyNotPrivate(runtime).isEmpty())
        return QString();
    return runtime;
}

} // namespace

PrivateFolder privateFolder() {
    const QString session = sessionFolder();
    PrivateFolder folder;
    const uid_t user = ::geteuid();
    folder.path = session.isEmpty() ? QDir::tempPath() + QStringLiteral("/vantorel-%1").arg(user)
                                    : session + QStringLiteral("/vantorel");
    // Asked for every document made; the folder is nearly always there, and then one look
    // settles it without a mkdir that can only fail.
    const QByteArray name = QFile::encodeName(folder.path);
    struct stat status;
    const bool there = ::lstat(name.constData(), &status) == 0;
    if (!there && ::mkdir(name.constData(), 0700) != 0 && errno != EEXIST) {
        const int code = errno;
        folder.problem = PrivateFolder::Problem::CannotMake;
        folder.why = QString::fromLocal8Bit(std::strerror(code));
        return folder;
    }
    // A folder of that name made by someone else, or opened to others, could be read or
    // filled by them.
    folder.why = there ? whyNotPrivate(status, user) : whyNotPrivate(folder.path);
    if (!folder.why.isEmpty())
        folder.problem = PrivateFolder::Problem::NotPrivate;
    return folder;
}

} // namespace files
