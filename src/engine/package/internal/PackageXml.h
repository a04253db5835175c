#pragma once
// Helpers shared by the writers and readers of package parts: the WordprocessingML namespace,
// unit conversions, the names that stand for Word's enumerated values, and text cleaning.

#include <QString>
#include <QStringView>
#include <QXmlStreamWriter>
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

// One of Word's enumerated values and its WordprocessingML name.
struct NamedValue {
    int value;
    const char* name;
};
using NameTable = std::initializer_list<NamedValue>;

// wdUnderline values to ST_Underline.
extern const NameTable kUnderlineNames;
// wdAlignParagraph values to ST_Jc.
extern const NameTable kParagraphAlignmentNames;
// wdCellAlignVertical values to ST_VerticalJc.
extern const NameTable kCellAlignmentNames;
// wdVerticalAlignment (page) values to ST_VerticalJc.
extern const NameTable kPageAlignmentNames;
// wdSectionStart values to ST_SectionMark.
extern const NameTable kSectionStartNames;

// The name of value in table, or that of fallbackValue when it has none.
QString nameOf(const NameTable& table, int value, int fallbackValue);
// The value named name in table (the first one listed, where several share it), or fallback.
int valueOf(const NameTable& table, QStringView name, int fallback);

// The text without what XML 1.0 cannot hold: C0 controls other than tab, line feed and
// carriage return, lone surrogates, U+FFFE and U+FFFF.
QString xmlSafe(QStringView text);

// Writes <name a="v" .../> with the attributes in the order given.
void writeEmpty(QXmlStreamWriter& xml, const QString& name,
                std::initializer_list<std::pair<QString, QString>> attributes = {});
// Writes <name w:val="value"/>.
void writeVal(QXmlStreamWriter& xml, const QString& name, const QString& value);

// The cell margins of every table (108 twips left and right, none above and below) and the
// borders of a table: single 0.5 pt lines outside and inside for a grid, none otherwise.
// Stated in the styles and again on each table.
void writeTableCellMargins(QXmlStreamWriter& xml);
void writeTableBorders(QXmlStreamWriter& xml, bool grid);

// Starts a part: the XML declaration Word writes (standalone) without auto-formatting.
void startPart(QXmlStreamWriter& xml);

} // namespace wordengine::package
