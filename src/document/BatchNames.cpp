#include "BatchNames.h"

#include "BillRecord.h"

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

QString BatchNames::nameFor(qint64 line, const std::optional<QString>& file) {
    if (!file)
        return numbered(line);
    QString name = *file;
    if (name.endsWith(QLatin1String(".doc"), Qt::CaseInsensitive))
        name.chop(4);
    if (const std::optional<QString> why = refusal(name))
        throw BillRecord::Bad{QStringLiteral("the \"file\" \"%1\" %2").arg(*file, *why)};
    const quint64 fingerprint = quint64(qHash(name, size_t(0x9e3779b97f4a7c15ULL)));
    if (!given_.insert(fingerprint).second)
        throw BillRecord::Bad{
            QStringLiteral("the \"file\" \"%1\" is the name of an earlier line's outputs")
                .arg(*file)};
    return name;
}
