#pragma once
// A sale record as vantorel-bill reads it: one JSON object whose members are the sixteen
// settings keys, each a string, a key left out being empty; in a batch, also "file", the name
// of the record's outputs.

#include "EngineLimits.h"
#include "SaleRecordSource.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace BillRecord {

// Where the record was read, as messages name it: {"the record file sale.json", "in
// sale.json"} or {"line 7", "on line 7"}.
struct Source {
    QString name;
    QString at;
};

// Why a record was refused, in a sentence that names its source.
struct Bad {
    QString message;
};

struct Parsed {
    FixedRecord record;
    std::optional<QString> file; // the "file" member, when allowed and given
    qint64 characters = 0;       // of the values together
};

// The bill's own text, in the characters a document counts: its words with the blanks typed
// around each underlined value (1,756 of them), a mark for each paragraph, cell and row (55),
// and room to spare should the wording grow a little.
inline constexpr qint64 kBillOwnCharacters = 2048;

// The most characters the values of one record may hold together: what is left of one
// document once the bill's own text is in it. A record within it never fails in the script
// for being too long, however its characters are shared out among the values.
inline constexpr qint64 kMaxValuesCharacters =
    wordengine::limits::kMaxDocumentCharacters - kBillOwnCharacters;

// The member of a batch line that names its outputs.
inline constexpr char fileKey[] = "file";

// What a record may hold besides the sixteen keys' strings.
struct Allow {
    bool file = false;    // the "file" member (a string)
    bool numbers = false; // numbers as values, taken as written: "Year": 1969 is "1969"
};

// Reads one record. Refuses, throwing Bad: what is not one JSON object, a key named twice, a
// key that is none of the sixteen (or "file", when allowed), a value that is not a string (or
// a number, when allowed), is longer than maxValueLength or holds a character a document
// cannot keep (see unkeptCharacter), and values longer than kMaxValuesCharacters together.
Parsed parse(const QByteArray& json, const Source& source, Allow allow = {});

// The first character of `value` that a document would lose, described with its place
// (counted in characters from 1): "U+0000, a control character, at character 2"; nothing
// when every one is kept. Lost are the control characters but the tab and the line, paragraph
// and page breaks (tab, LF, VT, FF, CR), the noncharacters U+FFFE and U+FFFF, and halves of
// surrogate pairs standing alone.
std::optional<QString> unkeptCharacter(QStringView value);

} // namespace BillRecord
