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

const NameTable<Underline> kUnderlineNames = {
    {Underline::None, "none"},
    {Underline::Single, "single"},
    {Underline::Words, "words"},
    {Underline::Double, "double"},
    {Underline::Dotted, "dotted"},
    {Underline::Thick, "thick"},
    {Underline::Dash, "dash"},
    {Underline::DotDash, "dotDash"},
    {Underline::DotDotDash, "dotDotDash"},
    {Underline::Wavy, "wave"},
    {Underline::DottedHeavy, "dottedHeavy"},
    {Underline::DashHeavy, "dashedHeavy"},
    {Underline::DotDashHeavy, "dashDotHeavy"},
    {Underline::DotDotDashHeavy, "dashDotDotHeavy"},
    {Underline::WavyHeavy, "wavyHeavy"},
    {Underline::DashLong, "dashLong"},
    {Underline::WavyDouble, "wavyDouble"},
    {Underline::DashLongHeavy, "dashLongHeavy"},
};

const NameTable<ParagraphAlignment> kParagraphAlignmentNames = {
    {ParagraphAlignment::Left, "left"},
    {ParagraphAlignment::Center, "center"},
    {ParagraphAlignment::Right, "right"},
    {ParagraphAlignment::Justify, "both"},
    // Names of the same alignments in later editions and Strict documents.
    {ParagraphAlignment::Left, "start"},
    {ParagraphAlignment::Right, "end"},
    {ParagraphAlignment::Justify, "distribute"},
};

const NameTable<CellVerticalAlignment> kCellAlignmentNames = {
    {CellVerticalAlignment::Top, "top"},
    {CellVerticalAlignment::Center, "center"},
    {CellVerticalAlignment::Bottom, "bottom"},
};

const NameTable<RowHeightRule> kRowHeightRuleNames = {
    {RowHeightRule::Auto, "auto"},
    {RowHeightRule::AtLeast, "atLeast"},
    {RowHeightRule::Exactly, "exact"},
};

const NameTable<PageVerticalAlignment> kPageAlignmentNames = {
    {PageVerticalAlignment::Top, "top"},
    {PageVerticalAlignment::Center, "center"},
    {PageVerticalAlignment::Justify, "both"},
    {PageVerticalAlignment::Bottom, "bottom"},
};

const NameTable<SectionStart> kSectionStartNames = {
    {SectionStart::Continuous, "continuous"}, {SectionStart::NewColumn, "nextColumn"},
    {SectionStart::NewPage, "nextPage"},      {SectionStart::EvenPage, "evenPage"},
    {SectionStart::OddPage, "oddPage"},
};

const NameTable<PageOrientation> kOrientationNames = {
    {PageOrientation::Portrait, "portrait"},
    {PageOrientation::Landscape, "landscape"},
};

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

void writeEmpty(PartWriter& xml, const QString& name,
                std::initializer_list<std::pair<QString, QString>> attributes) {
    xml.writeEmptyElement(name);
    for (const auto& [key, value] : attributes)
        xml.writeAttribute(key, value);
}

void writeVal(PartWriter& xml, const QString& name, const QString& value) {
    xml.writeEmptyElement(name);
    xml.writeAttribute(QStringLiteral("w:val"), value);
}

} // namespace wordengine::package
