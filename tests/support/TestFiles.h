#pragma once
// Files a test lays down and reads back.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <gtest/gtest.h>

// Writes `bytes` to `path`, replacing what was there; a file that cannot be written fails the
// test. Returns the path, so a set-up can name the file where it makes it.
inline QString putFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        ADD_FAILURE() << "cannot write " << path.toStdString();
    else if (file.write(bytes) != bytes.size())
        ADD_FAILURE() << "short write to " << path.toStdString();
    return path;
}

// The file's bytes; "<unreadable>" for a file that cannot be read, so that a missing file
// never equals an empty one.
inline QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}
