#pragma once
// Helpers shared by the writers and readers of package parts: the WordprocessingML namespace,
// unit conversions, the names that stand for Word's enumerated values, and text cleaning.

#include "Model.h"
#include "PartWriter.h"

#include <QString>
#include <QStringView>
#include <initializer_list>
#include <utility>

namespace wordengine::package {

inline constexpr QLatin1StringView kWordNamespace{
    "http://schemas.openxmlformats.org/wordprocessingml/2006/main"};
// Strict Office Open XML spells the same vocabulary with another namespace.
inline constexpr QLatin1StringView kStrictWordNamespace{
    "http://purl.oclc.org/ooxml/wordprocessingml/main"};

// Points to twips and half points, rounded; out-of-range values (and NaN) are clamped so
// that a damaged model can never make the writer overflow.
int pointsToTwips(double points);
int pointsToHalfPoints(double points);

// One of the model's values and its WordprocessingML name.
template <typename Value> struct NamedValue {
    Value value;
    const char* name;
};
template <typename Value> using NameTable = std::initializer_list<NamedValue<Value>>;

// Underlines to ST_Underline.
extern const NameTable<Underline> kUnderlineNames;
// Paragraph alignments to ST_Jc.
extern const NameTable<ParagraphAlignment> kParagraphAlignmentNames;
// Cell alignments to ST_VerticalJc.
extern const NameTable<CellVerticalAlignment> kCellAlignmentNames;
// Row height rules to ST_HeightRule.
extern const NameTable<RowHeightRule> kRowHeightRuleNames;
// Page alignments to ST_VerticalJc.
extern const NameTable<PageVerticalAlignment> kPageAlignmentNames;
// Section starts to ST_SectionMark.
extern const NameTable<SectionStart> kSectionStartNames;
// Orientations to ST_PageOrientation.
extern const NameTable<PageOrientation> kOrientationNames;

// The name of value in table, or that of fallbackValue when it has none.
template <typename Value>
QString nameOf(const NameTable<Value>& table, Value value, Value fallbackValue) {
    for (const NamedValue<Value>& entry : table)
        if (entry.value == value)
            return QString::fromLatin1(entry.name);
    for (const NamedValue<Value>& entry : table)
        if (entry.value == fallbackValue)
            return QString::fromLatin1(entry.name);
    return QString();
}

// The value named name in table (the first one listed, where several share it), or fallback.
template <typename Value>
Value valueOf(const NameTable<Value>& table, QStringView name, Value fallback) {
    for (const NamedValue<Value>& entry : table)
        if (name == QLatin1StringView(entry.name))
            return entry.value;
    return fallback;
}

// The text without what XML 1.0 cannot hold: C0 controls other than tab, line feed and
// carriage return, lone surrogates, U+FFFE and U+FFFF.
QString xmlSafe(QStringView text);

// Writes <name a="v" .../> with the attributes in the order given.
void writeEmpty(PartWriter& xml, const QString& name,
                std::initializer_list<std::pair<QString, QString>> attributes = {});
// Writes <name w:val="value"/>.
void writeVal(PartWriter& xml, const QString& name, const QString& value);

// The cell margins of every table (108 twips left and right, none above and below) and the
// borders of a table: single 0.5 pt lines outside and inside for a grid, none otherwise.
// Stated in the styles and again on each table.
void writeTableCellMargins(PartWriter& xml);
void writeTableBorders(PartWriter& xml, bool grid);

} // namespace wordengine::package
