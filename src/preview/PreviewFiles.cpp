#include "PreviewFiles.h"

#include "Automation.h"
#include "Failure.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

void RemoveFile(const QString& path) {
    QCoreApplication::processEvents();
    try {
        const QFileInfo info(path);
        const QString name = info.fileName();
        QStringList targets;
        if (name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?'))) {
            const QDir folder = info.dir();
            for (const QString& match :
                 folder.entryList({name}, QDir::Files | QDir::Hidden | QDir::System))
                targets << folder.filePath(match);
        } else {
            targets << path;
        }
        for (const QString& target : targets) {
            if (QFile::remove(target))
                continue;
            try {
                ForceDeleteFile(target);
            } catch (...) {
                // The file stays where it is.
            }
        }
    } catch (...) {
    }
}

void ForceDeleteFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        throw Failure(QStringLiteral("File not found: %1").arg(path));
    QFile::setPermissions(path, info.permissions() | QFile::WriteOwner | QFile::WriteUser);
    if (!QFile::remove(path))
        throw Failure(QStringLiteral("Permission denied: %1").arg(path));
}

std::optional<QPicture> GetClipboardPicture(word::Clipboard& clipboard, int format) {
    for (int attempt = 0; attempt < 1000; ++attempt) {
        try {
            return clipboard.GetData(format);
        } catch (...) {
            // Try again.
        }
    }
    return std::nullopt;
}

void savePictureFile(const QPicture& picture, const QString& path) {
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (!QPicture(picture).save(&buffer))
            throw Failure(QStringLiteral("Invalid picture"));
    }
    // Whatever is at the name goes first (a link itself, not what it points to); the file is
    // then created new, so a link planted in between makes the write fail, never follow.
    QFile::remove(path);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly) ||
        file.write(bytes) != bytes.size() || !file.flush())
        throw Failure(QStringLiteral("Path/File access error: %1").arg(path));
}

QPicture loadPictureFile(const QString& path) {
    QPicture picture;
    if (!picture.load(path))
        throw Failure(QStringLiteral("Invalid picture: %1").arg(path));
    return picture;
}
