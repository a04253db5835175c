#include "PreviewFiles.h"

#include "AtomicFile.h"
#include "Automation.h"
#include "BillPdf.h"
#include "Failure.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

void RemoveFile(const QString& path) {
    QCoreApplication::processEvents();
    try {
        // The path is a name, never a pattern: "deal?.doc" or "rep*.doc" is one file of that
        // name. Matching it against the folder would delete the user's other files.
        if (path.isEmpty() || QFile::remove(path))
            return;
        ForceDeleteFile(path);
    } catch (...) {
        // The file stays where it is.
    }
}

void ForceDeleteFile(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    struct stat status;
    if (path.isEmpty() || ::lstat(name.constData(), &status) != 0)
        throw Failure(QStringLiteral("File not found: %1").arg(path));
    // Removing a name takes write access to its folder, not to the file, so a read-only file
    // goes with a plain unlink and no permission is ever changed here. Changing them would
    // reach through a link to a file outside the folder, and leave it changed when the
    // removal fails anyway.
    if (::unlink(name.constData()) != 0)
        throw Failure(
            QStringLiteral("%1: %2").arg(QString::fromLocal8Bit(std::strerror(errno)), path));
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
    // Whatever is at the name goes first (a link itself, not what it points to). The picture
    // is then published only under a free name: a file planted in between makes the write
    // fail rather than be taken over, and the new file is always private (0600), whatever the
    // permissions of one left from before.
    QFile::remove(path);
    QString why;
    if (!files::writeFileAtomically(path, bytes, &why, {.mode = 0600, .replace = false}))
        throw Failure(QStringLiteral("Path/File access error: %1 (%2)").arg(path, why));
}

QPicture loadPictureFile(const QString& path) {
    QPicture picture;
    if (!picture.load(path))
        throw Failure(QStringLiteral("Invalid picture: %1").arg(path));
    return picture;
}

void refuseUnreplaceable(const QString& target) {
    const QString why = files::whyNotReplaceable(target);
    if (!why.isEmpty())
        throw Failure(QStringLiteral("Path/File access error: %1 (cannot write %2: %3; it is left "
                                     "as it is)")
                          .arg(target, QDir::toNativeSeparators(target), why));
}

void savePdfFile(const QString& documentPath, const QString& target) {
    if (!QFileInfo::exists(documentPath))
        throw Failure(QStringLiteral("File not found: %1").arg(documentPath));
    // Checked before the pages are drawn, which for a long document takes a while.
    refuseUnreplaceable(target);
    const wordengine::Document document = BillPdf::readDocument(documentPath);
    QString why;
    if (!BillPdf::write(document, target, &why))
        throw Failure(QStringLiteral("Path/File access error: %1 (%2)").arg(target, why));
}

bool isSameFile(const QString& a, const QString& b) {
    if (a.isEmpty() || b.isEmpty())
        return false;
    if (QDir::cleanPath(QFileInfo(a).absoluteFilePath()) ==
        QDir::cleanPath(QFileInfo(b).absoluteFilePath()))
        return true;
    struct stat sa, sb;
    return ::stat(QFile::encodeName(a).constData(), &sa) == 0 &&
           ::stat(QFile::encodeName(b).constData(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}
