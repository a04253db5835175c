#include "BillRecord.h"

#include "BillFiles.h"
#include "SaleFields.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace BillRecord {

std::optional<QString> unkeptCharacter(QStringView value) {
    qsizetype place = 0;
    for (qsizetype i = 0; i < value.size(); ++i) {
        ++place;
        const char16_t c = value[i].unicode();
        QString kind;
        if (QChar::isHighSurrogate(c) && i + 1 < value.size() &&
            QChar::isLowSurrogate(value[i + 1].unicode()))
            ++i; // one character in two halves
        else if (QChar::isSurrogate(c))
            kind = QStringLiteral("half of a surrogate pair standing alone");
        else if (c < 0x20 && c != u'\t' && c != u'\n' && c != u'\v' && c != u'\f' && c != u'\r')
            kind = QStringLiteral("a control character");
        else if (c == 0xFFFE || c == 0xFFFF)
            kind = QStringLiteral("a noncharacter");
        if (!kind.isEmpty())
            return QStringLiteral("U+%1, %2, at character %3")
                .arg(QString::number(c, 16).toUpper().rightJustified(4, u'0'), kind)
                .arg(place);
    }
    return std::nullopt;
}

Parsed parse(const QByteArray& json, const Source& source, Allow allow) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        throw Bad{QStringLiteral("%1 is not JSON: %2 at offset %3")
                      .arg(source.name, error.errorString())
                      .arg(error.offset)};
    if (!document.isObject())
        throw Bad{QStringLiteral("%1 must hold one JSON object").arg(source.name)};
    // The JSON reader keeps one of two members of the same name without a word; a record
    // that names a value twice is more likely a mistake than a choice.
    if (const std::optional<QString> key = BillFiles::repeatedKey(json))
        throw Bad{QStringLiteral("%1 has the key \"%2\" twice").arg(source.name, *key)};
    Parsed parsed;
    const QJsonObject object = document.object();
    for (auto it = object.begin(); it != object.end(); ++it) {
        const bool isFile = allow.file && it.key() == QLatin1String(fileKey);
        const SaleField* field = isFile ? nullptr : fieldByKey(it.key());
        if (!field && !isFile)
            throw Bad{QStringLiteral("%1 has an unknown key \"%2\"").arg(source.name, it.key())};
        // A spreadsheet exported as JSON writes its numbers as numbers; the text as written
        // is what the sale's paper shows (2900.00 stays 2900.00).
        const bool number = allow.numbers && !isFile && it.value().isDouble();
        if (!it.value().isString() && !number)
            throw Bad{
                QStringLiteral("the value of \"%1\" %2 is not a string%3")
                    .arg(it.key(), source.at,
                         allow.numbers && !isFile ? QStringLiteral(" or a number") : QString())};
        const QString value = number ? QString::fromUtf8(BillFiles::valueText(json, it.key()))
                                     : it.value().toString();
        if (value.size() > maxValueLength)
            throw Bad{QStringLiteral("the value of \"%1\" %2 has %3 characters; a value may have "
                                     "at most %4")
                          .arg(it.key(), source.at)
                          .arg(value.size())
                          .arg(maxValueLength)};
        if (isFile) {
            parsed.file = value;
            continue;
        }
        // The document would drop it without a word, and the bill would say what was not
        // asked for ("a\0b" printed as "ab").
        if (const std::optional<QString> unkept = unkeptCharacter(value))
            throw Bad{QStringLiteral("the value of \"%1\" %2 has %3, which a document cannot hold")
                          .arg(it.key(), source.at, *unkept)};
        parsed.characters += value.size();
        parsed.record.set(field->boxName(), value);
    }
    if (parsed.characters > kMaxValuesCharacters)
        throw Bad{QStringLiteral("the values %1 have %2 characters together; one bill holds at "
                                 "most %3 of them")
                      .arg(source.at)
                      .arg(parsed.characters)
                      .arg(kMaxValuesCharacters)};
    return parsed;
}

} // namespace BillRecord
