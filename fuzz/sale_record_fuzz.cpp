// libFuzzer target for sale records: any bytes as a record file, read as vantorel-bill reads
// one record, and as a batch reads one line ("file" and numbers allowed).
//
// Checked against a reading of its own made with the JSON reader alone: a record is accepted
// exactly when it is one JSON object of the sixteen keys (and "file" in a batch), none given
// twice, each value a string (or a number in a batch) within the bounds and of characters a
// document keeps; what is accepted holds those values, numbers as written; and every refusal
// names the record and what was wrong: the key at fault, the key given twice, or the JSON.
#include "BillRecord.h"
#include "FuzzChecks.h"
#include "SaleFields.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdint>

using fuzzing::check;

namespace {

const BillRecord::Source source{QStringLiteral("the record file fuzz.json"),
                                QStringLiteral("in fuzz.json")};
const QString fileKey = QString::fromLatin1(BillRecord::fileKey);

// The members of the outermost object of valid JSON as written, counted by its commas: the
// JSON reader keeps only one of two members of one name.
qsizetype membersWritten(const QByteArray& json, bool empty) {
    qsizetype commas = 0;
    int depth = 0;
    bool inString = false;
    for (qsizetype i = 0; i < json.size(); ++i) {
        const char c = json[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else
                inString = c != '"';
        } else if (c == '"')
            inString = true;
        else if (c == '{' || c == '[')
            ++depth;
        else if (c == '}' || c == ']')
            --depth;
        else if (c == ',')
            commas += depth == 1;
    }
    return empty ? 0 : commas + 1;
}

bool keptByDocument(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (QChar::isSurrogate(c) || c == 0xFFFE || c == 0xFFFF ||
                 (c < 0x20 && !QStringView(u"\t\n\v\f\r").contains(QChar(c))))
            return false;
    }
    return true;
}

// Whether the record is one to accept; if not, what its refusal must name.
struct Verdict {
    bool accept = false;
    QString mustName;
};

Verdict verdictOf(const QByteArray& json, BillRecord::Allow allow) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        return {false, QStringLiteral("not JSON")};
    if (!document.isObject())
        return {false, QStringLiteral("one JSON object")};
    const QJsonObject object = document.object();
    if (membersWritten(json, object.isEmpty()) != object.size())
        return {false, QStringLiteral("twice")};
    qint64 together = 0;
    for (auto it = object.begin(); it != object.end(); ++it) {
        const bool isFile = allow.file && it.key() == fileKey;
        const bool number = allow.numbers && !isFile && it.value().isDouble();
        const QString text = it.value().toString(); // a number's text is short and plain
        if ((!isFile && !fieldByKey(it.key())) || (!it.value().isString() && !number) ||
            text.size() > maxValueLength || (!isFile && !keptByDocument(text)))
            return {false, '"' + it.key() + '"'};
        together += isFile ? 0 : text.size();
    }
    return {together <= BillRecord::kMaxValuesCharacters, QStringLiteral("together")};
}

void checkRecord(const QByteArray& json, BillRecord::Allow allow) {
    const Verdict verdict = verdictOf(json, allow);
    BillRecord::Parsed parsed;
    try {
        parsed = BillRecord::parse(json, source, allow);
    } catch (const BillRecord::Bad& bad) {
        check(!verdict.accept, "a good record refused", bad.message);
        check(bad.message.contains(source.name) || bad.message.contains(source.at),
              "a refusal does not name the record", bad.message);
        check(bad.message.contains(verdict.mustName), "a refusal does not say what was wrong",
              bad.message + QStringLiteral("\nshould name: ") + verdict.mustName);
        return;
    }
    check(verdict.accept, "a bad record accepted", QString::fromUtf8(json));
    const QJsonObject object = QJsonDocument::fromJson(json).object();
    check(object.size() <= saleFieldCount + int(allow.file), "more members than keys");
    qint64 together = 0;
    for (const SaleField& field : saleFields()) {
        const QJsonValue given = object.value(field.keyName());
        const QString value = parsed.record.text(field.boxName());
        together += value.size();
        if (given.isDouble()) // as written: found in the record, and the same number
            check(json.contains(value.toUtf8()) &&
                      QJsonDocument::fromJson('[' + value.toUtf8() + ']').array().at(0) == given,
                  "a number not taken as written", value);
        else
            check(value == given.toString(), "a value not taken as given", field.keyName());
    }
    check(together == parsed.characters, "the values' characters miscounted");
    const std::optional<QString> file = allow.file && object.contains(fileKey)
                                            ? std::optional(object[fileKey].toString())
                                            : std::nullopt;
    check(parsed.file == file, "the \"file\" member not taken as given");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzing::writeSeedsIfAsked({
        R"({"Amount Of Motor Vehicle": "$2900.00", "Name Of Seller": "Tobin Harl",)"
        R"( "Make": "Ford", "Model": "Thunderbird", "Year": "1969"})",
        R"({"file": "palk-1969", "Year": 1969, "Amount Of Motor Vehicle": 2900.00e0})",
        R"( {"Make": "a\tb\u00e9\ud83d\ude97", "M\u0061ke": "c", "Color": {"x": [1, "}"]}} )",
        R"({"VIN": "\u0001", "Model": "\ufffe", "Color": "\udc00", "Odd": null})",
        R"([{"Make": "Ford"}])",
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray json(reinterpret_cast<const char*>(data), qsizetype(size));
    checkRecord(json, {});
    checkRecord(json, {.file = true, .numbers = true});
    return 0;
}
