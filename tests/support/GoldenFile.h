#pragma once
// Long expected outputs live in golden files beside their tests, one entry a line. In a line,
// \r, \n and \\ stand for a carriage return, a line feed and a backslash, so that an entry
// holding line breaks still takes one line; everything else is compared as it stands.

#include <QFile>
#include <QString>
#include <QStringList>
#include <stdexcept>

#ifndef VANTOREL_TESTS_DIR
#error "vantorel_test defines VANTOREL_TESTS_DIR, the tests folder of the source tree"
#endif

// The entries of tests/<relativePath>. A missing file throws, which fails the test.
inline QStringList goldenLines(const QString& relativePath) {
    QFile file(QStringLiteral(VANTOREL_TESTS_DIR "/") + relativePath);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("no golden file " + relativePath.toStdString());
    QStringList entries;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        QString entry;
        for (qsizetype i = 0; i < line.size(); ++i) {
            if (line[i] != u'\\' || i + 1 == line.size()) {
                entry += line[i];
                continue;
            }
            const QChar escaped = line[++i];
            entry += escaped == u'r' ? QChar(u'\r') : escaped == u'n' ? QChar(u'\n') : escaped;
        }
        entries << entry;
    }
    if (!entries.isEmpty() && entries.last().isEmpty())
        entries.removeLast(); // the file's last line end
    return entries;
}
