// libFuzzer target for a batch's input: any bytes as the lines of a batch, each read as a
// record with its "file" and named as the batch names its outputs.
//
// Checked: the lines are the input's, split at LF, a byte-order mark before the first and the
// CR of a CRLF dropped, and only a line past the bound is reported as too long; an accepted
// name, joined to an output folder, stays inside it and does not begin with a dot; the batch
// refuses a name as an earlier line's exactly when an earlier line's name has the same bytes
// on disk; no two names accepted in this run have the same bytes; and a file of that name,
// created in a scratch folder, comes back from the folder's listing byte for byte.
#include "BatchInput.h"
#include "BatchNames.h"
#include "BillRecord.h"
#include "FuzzChecks.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <sys/mman.h>
#include <unistd.h>

using fuzzing::check;

namespace {

// Small, so that lines past it are common; the checks are the same as at the real bound.
constexpr qint64 longestLine = 1024;

QList<QByteArray> expectedLines(QByteArray input) {
    if (input.startsWith("\xEF\xBB\xBF"))
        input.remove(0, 3);
    QList<QByteArray> lines = input.split('\n');
    if (lines.last().isEmpty())
        lines.removeLast(); // what follows the last LF, when nothing does
    for (QByteArray& line : lines)
        if (line.endsWith('\r'))
            line.chop(1);
    return lines;
}

// Every name ever accepted in this run, by the bytes it has on disk; bounded, to keep the
// memory of a long run modest.
std::map<QByteArray, QString> namesByBytes;

// Creates the file in an empty folder, lists the folder and takes the file away again.
void checkOnDisk(const QString& fileName) {
    static const QTemporaryDir scratch;
    static const QString folder = QFileInfo(scratch.path()).canonicalFilePath();
    const QString path = BatchNames::pathIn(folder, fileName);
    check(!folder.isEmpty() && QFileInfo(path).absolutePath() == folder &&
              QDir::cleanPath(path) == path,
          "a name leads out of the output folder", fileName);
    const QByteArray bytes = QFile::encodeName(path);
    const int fd = ::open(bytes.constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600);
    check(fd >= 0, "a name the disk refuses", fileName + u' ' + QString::fromUtf8(strerror(errno)));
    ::close(fd);
    QList<QByteArray> listed;
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    while (const dirent* entry = dir ? ::readdir(dir) : nullptr)
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            listed.append(entry->d_name);
    if (dir)
        ::closedir(dir);
    ::unlink(bytes.constData());
    check(listed == QList<QByteArray>{QFile::encodeName(fileName)} &&
              QFile::decodeName(listed.first()) == fileName,
          "a name does not come back from the disk as it went", fileName);
}

void checkName(const BatchInput::Line& line, const std::optional<QString>& file, BatchNames& names,
               std::map<QByteArray, qint64>& given) {
    QString asked = file.value_or(QString());
    if (asked.endsWith(QLatin1String(".doc"), Qt::CaseInsensitive))
        asked.chop(4);
    QString name;
    try {
        name = names.nameFor(line.number, file);
    } catch (const BillRecord::Bad& bad) {
        check(file && bad.message.contains(QLatin1String("\"file\"")),
              "a refused name without a word of its \"file\"", bad.message);
        check(!bad.message.contains(QLatin1String("earlier line")) ||
                  given.contains(QFile::encodeName(asked)),
              "a name refused as an earlier line's that no earlier line gave", bad.message);
        return;
    }
    const QByteArray bytes = QFile::encodeName(name);
    check(file ? name == asked : name == BatchNames::numbered(line.number),
          "a name other than the one asked for", name);
    check(given.emplace(bytes, line.number).second, "two lines of a batch name one file", name);
    check(!name.isEmpty() && !name.startsWith(u'.') && !name.contains(u'/') && bytes.size() <= 200,
          "a name that is no plain file name", name);
    if (namesByBytes.size() < 100000)
        check(namesByBytes.emplace(bytes, name).first->second == name,
              "two names with the same bytes on disk", name);
    checkOnDisk(name + QStringLiteral(".doc"));
    checkOnDisk(name + QStringLiteral("-page-10000.png"));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzing::writeSeedsIfAsked({
        "\xEF\xBB\xBF{\"file\": \"palk-1969.doc\", \"Make\": \"Ford\"}\r\n"
        "{\"Year\": 1969}\n\n{\"file\": \"PALK-1969\"}\n{\"file\": \"palk-1969.DOC\"}",
        "{\"file\": \"\\u00e9t\\u00e9\"}\n{\"file\": \"e\\u0301te\\u0301\"}\n"
        "{\"file\": \".hidden\"}\n{\"file\": \"a/b\"}\n{\"file\": \"0042\"}\n{\"file\": 1}",
        "{\"file\": \"\\ud83d\\ude97 \\ud800\"}\n{\"file\": \"" + QByteArray(201, 'x') + "\"}\n" +
            QByteArray(1100, ' ') + "\n{\"file\": \"\xEF\xBB\xBF\"}",
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const int fd = ::memfd_create("batch", MFD_CLOEXEC);
    check(fd >= 0 && ::write(fd, data, size) == ssize_t(size) && ::lseek(fd, 0, SEEK_SET) == 0,
          "the input cannot be put in a file");
    BatchInput input(fd, -1, longestLine);
    const QList<QByteArray> lines =
        expectedLines(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    BatchNames names;
    std::map<QByteArray, qint64> given;
    BatchInput::Line line;
    qsizetype count = 0;
    while (input.next(line) == BatchInput::Result::Line) {
        check(line.number == ++count && count <= lines.size(), "a line the input does not hold");
        const QByteArray& expected = lines[count - 1];
        check(line.tooLong == (expected.size() > longestLine) &&
                  line.bytes == (line.tooLong ? QByteArray() : expected),
              "a line read otherwise than written", QString::number(count));
        try {
            if (!line.tooLong)
                checkName(line,
                          BillRecord::parse(line.bytes, {QStringLiteral("the record"), {}},
                                            {.file = true, .numbers = true})
                              .file,
                          names, given);
        } catch (const BillRecord::Bad&) {
            // The record's refusals are sale_record_fuzz's to check.
        }
    }
    ::close(fd);
    check(count == lines.size(), "lines of the input not read");
    return 0;
}
