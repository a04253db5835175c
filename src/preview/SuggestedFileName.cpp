#include "SuggestedFileName.h"

#include "SaleRecordSource.h"

#include <QStringList>

namespace {

constexpr qsizetype maxNameBytes = 255; // NAME_MAX of Linux's file systems, and of FAT's

bool leftOut(QChar c) {
    static const QString forbidden = QStringLiteral("/\\:*?\"<>|");
    return c.category() == QChar::Other_Control || forbidden.contains(c);
}

// A value as it goes into the name. Only its start can be used, so a value of millions of
// characters is read only as far as the name could reach.
QString cleaned(const QString& value) {
    QString kept;
    bool spaceDue = false;
    for (qsizetype i = 0; i < value.size() && kept.size() <= maxNameBytes; ++i) {
        const QChar c = value[i];
        if (c.isSpace()) {
            spaceDue = !kept.isEmpty();
            continue;
        }
        const bool pair =
            c.isHighSurrogate() && i + 1 < value.size() && value[i + 1].isLowSurrogate();
        // Half of a surrogate pair standing alone has no UTF-8 form, so no file name holds it.
        if (leftOut(c) || (c.isSurrogate() && !pair))
            continue;
        if (spaceDue)
            kept += u' ';
        spaceDue = false;
        kept += c;
        if (pair)
            kept += value[++i];
    }
    return kept;
}

void chopTrailing(QString& name) {
    while (!name.isEmpty() && QStringLiteral(" .-").contains(name.back()))
        name.chop(1);
}

} // namespace

QString suggestedFileName(const SaleRecordSource& values, const QString& extension) {
    const QString buyer = cleaned(values.text(QStringLiteral("txtNameOfBuyer")));
    QStringList vehicle;
    for (const char* box : {"txtYear", "txtMake", "txtModel"})
        if (const QString part = cleaned(values.text(QString::fromLatin1(box))); !part.isEmpty())
            vehicle << part;
    if (buyer.isEmpty() && vehicle.isEmpty())
        return QString();
    QStringList parts{QStringLiteral("Bill of Sale")};
    if (!buyer.isEmpty())
        parts << buyer;
    if (!vehicle.isEmpty())
        parts << vehicle.join(u' ');
    QString name = parts.join(QStringLiteral(" - "));
    chopTrailing(name);
    const QByteArray bytes = name.toUtf8(); // file names are UTF-8 here
    const qsizetype room = maxNameBytes - 1 - extension.toUtf8().size();
    if (bytes.size() > room) {
        qsizetype end = room;
        while (end > 0 && (uchar(bytes[end]) & 0xC0) == 0x80) // not inside a character
            --end;
        name = QString::fromUtf8(bytes.left(end));
        chopTrailing(name);
    }
    return name + u'.' + extension;
}
