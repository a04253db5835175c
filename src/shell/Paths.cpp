#include "Paths.h"

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

QString temporaryFolder() {
    const QString temp = qEnvironmentVariable("TEMP");
    return temp.isEmpty() ? QDir::tempPath() : temp;
}
