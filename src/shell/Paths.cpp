#include "Paths.h"

#include "Failure.h"
#include "PrivateFolder.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>

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

QString privateTemporaryFolder() {
    const files::PrivateFolder folder = files::privateFolder();
    switch (folder.problem) {
    case files::PrivateFolder::Problem::None:
        break;
    case files::PrivateFolder::Problem::CannotMake:
        throw Failure(QStringLiteral("The temporary folder %1 cannot be made: %2. Set TEMP to a "
                                     "folder of your own.")
                          .arg(folder.path, folder.why));
    case files::PrivateFolder::Problem::NotPrivate:
        // A folder of that name made by someone else, or opened to others, could be read or
        // filled by them: the bill would not be private.
        throw Failure(QStringLiteral("The temporary folder %1 is not private to you: %2. Remove "
                                     "it or set TEMP to a folder of your own.")
                          .arg(folder.path, folder.why));
    }
    return folder.path;
}

QString temporaryFolder() {
    const QString temp = qEnvironmentVariable("TEMP");
    return temp.isEmpty() ? privateTemporaryFolder() : temp;
}
