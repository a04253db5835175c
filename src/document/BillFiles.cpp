#include "BillFiles.h"

#include "AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <cstdio>
#include <set>
#include <sys/stat.h>

namespace BillFiles {
namespace {

// What a path names, for telling whether two paths are one file: the device and inode of
// what exists, else the absolute path with its folder's links resolved.
struct Identity {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    QString path;
    bool operator==(const Identity& o) const {
        return exists == o.exists &&
               (exists ? device == o.device && inode == o.inode : path == o.path);
    }
};

Identity identityOf(const QString& path) {
    Identity id;
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) == 0) {
        id.exists = true;
        id.device = st.st_dev;
        id.inode = st.st_ino;
    }
    const QFileInfo info(path);
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    id.path =
        (folder.isEmpty() ? info.absolutePath() : folder) + QLatin1Char('/') + info.fileName();
    return id;
}

// Skips one JSON value of valid JSON starting at `i`.
qsizetype skipValue(const QByteArray& json, qsizetype i) {
    int depth = 0;
    bool inString = false;
    for (; i < json.size(); ++i) {
        const char c = json[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
            if (!inString && depth == 0)
                return i + 1;
            continue;
        }
        if (c == '"')
            inString = true;
        else if (c == '{' || c == '[')
            ++depth;
        else if (c == '}' || c == ']') {
            if (depth == 0)
                return i; // the end of the enclosing object
            if (--depth == 0)
                return i + 1;
        } else if (c == ',' && depth == 0)
            return i;
    }
    return i;
}

} // namespace

QByteArray readRecord(const QString& path) {
    QFile file;
    const bool standardInput = path == QStringLiteral("-");
    const bool opened = standardInput ? file.open(stdin, QIODevice::ReadOnly)
                                      : (file.setFileName(path), file.open(QIODevice::ReadOnly));
    const QString name = standardInput ? QStringLiteral("standard input") : path;
    if (!opened)
        throw Refused{QStringLiteral("cannot read the record file %1").arg(name)};
    QByteArray bytes;
    // Read in pieces up to one byte past the limit: a device or a pipe has no size to check.
    while (bytes.size() <= kMaxRecordBytes) {
        const QByteArray piece =
            file.read(qMin<qint64>(1 << 20, kMaxRecordBytes + 1 - bytes.size()));
        if (piece.isEmpty())
            break;
        bytes += piece;
    }
    if (bytes.size() > kMaxRecordBytes)
        throw Refused{QStringLiteral("the record file %1 is larger than %2 MB")
                          .arg(name)
                          .arg(kMaxRecordBytes >> 20)};
    if (file.error() != QFileDevice::NoError)
        throw Refused{
            QStringLiteral("cannot read the record file %1: %2").arg(name, file.errorString())};
    return bytes;
}

namespace {

// A member's name as the JSON reader decodes it, `quoted` being valid JSON. A name without
// an escape is its UTF-8 as it stands, and every record has sixteen of them: the reader
// itself is asked only about the others.
QString memberName(QByteArrayView quoted) {
    if (quoted.size() >= 2 && !quoted.contains('\\'))
        return QString::fromUtf8(quoted.sliced(1, quoted.size() - 2));
    return QJsonDocument::fromJson('[' + quoted.toByteArray() + ']').array().at(0).toString();
}

// Calls `member` with each member's name and the text of its value (as written, blanks
// around it removed) of the outermost object of valid JSON `json`, in order; stops when it
// answers false.
template <class Member> void forEachMember(const QByteArray& json, Member&& member) {
    qsizetype i = json.indexOf('{');
    if (i < 0)
        return;
    for (++i; i < json.size();) {
        const char c = json[i];
        if (c == '}')
            break;
        if (c != '"') {
            ++i;
            continue;
        }
        // A member: its name, then its value.
        const qsizetype end = skipValue(json, i);
        const QString name = memberName(QByteArrayView(json).sliced(i, end - i));
        i = json.indexOf(':', end);
        if (i < 0)
            break;
        const qsizetype valueEnd = skipValue(json, i + 1);
        if (!member(name, json.mid(i + 1, valueEnd - i - 1).trimmed()))
            return;
        i = valueEnd;
        while (i < json.size() && json[i] != ',' && json[i] != '}')
            ++i;
    }
}

} // namespace

std::optional<QString> repeatedKey(const QByteArray& json) {
    std::set<QString> seen;
    std::optional<QString> repeated;
    forEachMember(json, [&](const QString& key, const QByteArray&) {
        if (!seen.insert(key).second)
            repeated = key;
        return !repeated;
    });
    return repeated;
}

QByteArray valueText(const QByteArray& json, const QString& key) {
    QByteArray text;
    forEachMember(json, [&](const QString& name, const QByteArray& value) {
        if (name == key)
            text = value;
        return name != key;
    });
    return text;
}

QString pagePath(const QString& folder, int page) {
    return QDir(folder).filePath(QStringLiteral("page-%1.png").arg(page));
}

QStringList picturesAfter(int pages, const std::function<QString(int page)>& picture) {
    QStringList left;
    struct stat status {};
    for (int page = pages + 1;; ++page) {
        const QString path = picture(page);
        if (::lstat(QFile::encodeName(path).constData(), &status) != 0)
            return left;
        left.append(path);
    }
}

void checkPaths(const QString& input, const QStringList& outputs, const QString& pngFolder) {
    // The writer refuses these too; refused here, no document is made in vain.
    for (const QString& output : outputs)
        if (const QString why = files::whyNotReplaceable(output); !why.isEmpty())
            throw Refused{QStringLiteral("the output %1 is not written: %2; it is left alone")
                              .arg(output, why)};
    if (!pngFolder.isEmpty() && QFileInfo::exists(pngFolder) && !QFileInfo(pngFolder).isDir())
        throw Refused{QStringLiteral("the --png output %1 is not a folder").arg(pngFolder)};

    QList<std::pair<QString, Identity>> named{{input, identityOf(input)}};
    for (const QString& output : outputs) {
        const Identity id = identityOf(output);
        for (const auto& [other, otherId] : named)
            if (id == otherId)
                throw Refused{QStringLiteral("%1 and %2 are the same file; "
                                             "an output must not be the input or another output")
                                  .arg(other, output)};
        named.append({output, id});
    }
    if (pngFolder.isEmpty())
        return;
    static const QRegularExpression pageName(QStringLiteral("^page-[0-9]+\\.png$"));
    const QString folder = identityOf(QDir(pngFolder).filePath(QStringLiteral("x"))).path;
    for (const auto& [other, id] : named) {
        const QFileInfo info(id.path);
        if (pageName.match(info.fileName()).hasMatch() &&
            identityOf(info.absolutePath() + QStringLiteral("/x")).path == folder)
            throw Refused{
                QStringLiteral("%1 is in the --png folder under a page picture's name").arg(other)};
    }
}

} // namespace BillFiles
