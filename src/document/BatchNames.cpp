#include "BatchNames.h"

#include "BillRecord.h"

#include <QDir>
#include <QFile>
#include <QHash>

namespace {

constexpr qsizetype kLongestName = 200; // bytes of UTF-8

// Why `name` is no plain file name, or nothing.
std::optional<QString> refusal(const QString& name) {
    if (name.isEmpty())
        return QStringLiteral("is empty");
    if (name.contains(u'/'))
        return QStringLiteral("names a folder; give a file name alone");
    for (const QChar c : name)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return QStringLiteral("holds a control character");
    if (name.startsWith(u'.'))
        return QStringLiteral("begins with a dot");
    // A half of a surrogate pair has no UTF-8 form: it would go to the disk as U+FFFD, and
    // "\ud800", "\udbff" and "\ufffd" would all name one file.
    for (qsizetype i = 0, place = 1; i < name.size(); ++i, ++place) {
        if (name[i].isHighSurrogate() && i + 1 < name.size() && name[i + 1].isLowSurrogate())
            ++i;
        else if (name[i].isSurrogate())
            return QStringLiteral("holds U+%1, half of a surrogate pair standing alone, at "
                                  "character %2, which no file name can")
                .arg(QString::number(name[i].unicode(), 16).toUpper())
                .arg(place);
    }
    if (QFile::decodeName(QFile::encodeName(name)) != name)
        return QStringLiteral("does not come back from the disk as it went");
    if (name.toUtf8().size() > kLongestName)
        return QStringLiteral("is longer than %1 bytes").arg(kLongestName);
    bool digits = true;
    for (const QChar c : name)
        digits = digits && c.isDigit() && c.unicode() < 0x80;
    if (digits)
        return QStringLiteral("is digits alone, which name the lines without a \"file\"");
    return std::nullopt;
}

} // namespace

QString BatchNames::numbered(qint64 line) {
    return QStringLiteral("%1").arg(line, 6, 10, QLatin1Char('0'));
}

QString BatchNames::pathIn(const QString& folder, const QString& fileName) {
    // Joined as text: QDir::filePath takes a name beginning with ":" (a file name like any
    // other here) for one of Qt's resources and gives it back without the folder.
    const QString dir = QDir(folder).path();
    return dir.endsWith(u'/') ? dir + fileName : dir + u'/' + fileName;
}

QString BatchNames::nameFor(qint64 line, const std::optional<QString>& file) {
    if (!file)
        return numbered(line);
    QString name = *file;
    if (name.endsWith(QLatin1String(".doc"), Qt::CaseInsensitive))
        name.chop(4);
    if (const std::optional<QString> why = refusal(name))
        throw BillRecord::Bad{QStringLiteral("the \"file\" \"%1\" %2").arg(*file, *why)};
    // Told apart as the disk tells them apart: by the bytes of the name.
    const quint64 fingerprint =
        quint64(qHash(QFile::encodeName(name), size_t(0x9e3779b97f4a7c15ULL)));
    if (!given_.insert(fingerprint).second)
        throw BillRecord::Bad{
            QStringLiteral("the \"file\" \"%1\" is the name of an earlier line's outputs")
                .arg(*file)};
    return name;
}
