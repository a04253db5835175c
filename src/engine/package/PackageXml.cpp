#include "PackageXml.h"

#include <algorithm>
#include <cmath>

namespace wordengine::package {

namespace {

// Far beyond any length Word accepts, yet far from overflowing an int.
constexpr double kLargestTwips = 1.0e8;

int roundClamped(double value) {
    if (std::isnan(value))
        return 0;
    return int(std::lround(std::clamp(value, -kLargestTwips, kLargestTwips)));
}

} // namespace

int pointsToTwips(double points) {
    return roundClamped(points * 20.0);
}

int pointsToHalfPoints(double points) {
    return roundClamped(points * 2.0);
}

const NameTable kUnderlineNames = {
    {0, "none"},          {1, "single"},           {2, "words"},
    {3, "double"},        {4, "dotted"},           {6, "thick"},
    {7, "dash"},          {9, "dotDash"},          {10, "dotDotDash"},
    {11, "wave"},         {20, "dottedHeavy"},     {23, "dashedHeavy"},
    {25, "dashDotHeavy"}, {26, "dashDotDotHeavy"}, {27, "wavyHeavy"},
    {39, "dashLong"},     {43, "wavyDouble"},      {55, "dashLongHeavy"},
};

const NameTable kParagraphAlignmentNames = {
    {0, "left"},
    {1, "center"},
    {2, "right"},
    {3, "both"},
    // Names of the same alignments in later editions and Strict documents.
    {0, "start"},
    {2, "end"},
    {3, "distribute"},
};

const NameTable kCellAlignmentNames = {{0, "top"}, {1, "center"}, {3, "bottom"}};

const NameTable kPageAlignmentNames = {{0, "top"}, {1, "center"}, {2, "both"}, {3, "bottom"}};

const NameTable kSectionStartNames = {
    {0, "continuous"}, {1, "nextColumn"}, {2, "nextPage"}, {3, "evenPage"}, {4, "oddPage"}};

QString nameOf(const NameTable& table, int value, int fallbackValue) {
    for (const NamedValue& entry : table)
        if (entry.value == value)
            return QString::fromLatin1(entry.name);
    for (const NamedValue& entry : table)
        if (entry.value == fallbackValue)
            return QString::fromLatin1(entry.name);
    return QString();
}

int valueOf(const NameTable& table, QStringView name, int fallback) {
    for (const NamedValue& entry : table)
        if (name == QLatin1StringView(entry.name))
            return entry.value;
    return fallback;
}

QString xmlSafe(QStringView text) {
    QString safe;
    safe.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const char16_t u = c.unicode();
        if (c.isHighSurrogate()) {
            if (i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
                safe += c;
                safe += text[++i];
            }
            continue; // a high surrogate without its pair
        }
        if (c.isLowSurrogate())
            continue; // a low surrogate without its pair
        if (u < 0x20 && u != u'\t' && u != u'\n' && u != u'\r')
            continue;
        if (u == 0xFFFE || u == 0xFFFF)
            continue;
        safe += c;
    }
    return safe;
}

void writeEmpty(QXmlStreamWriter& xml, const QString& name,
                std::initializer_list<std::pair<QString, QString>> attributes) {
    xml.writeEmptyElement(name);
    for (const auto& [key, value] : attributes)
        xml.writeAttribute(key, value);
}

void writeVal(QXmlStreamWriter& xml, const QString& name, const QString& value) {
    xml.writeEmptyElement(name);
    xml.writeAttribute(QStringLiteral("w:val"), value);
}

void startPart(QXmlStreamWriter& xml) {
    xml.setAutoFormatting(false);
    xml.writeStartDocument(QStringLiteral("1.0"), true);
}

} // namespace wordengine::package
