#include "EngineFont.h"

#include "EngineDocument.h"
#include "EngineErrors.h"
#include "EngineLimits.h"
#include "EngineSelection.h"
#include "WordValues.h"

#include <cmath>

namespace wordengine {

namespace {

constexpr double minSize = limits::kMinFontSize;
constexpr double maxSize = limits::kMaxFontSize;

// Font settings on an extended selection would format its text; this engine only formats
// what is typed next, which is all the program asks of it.
CharFormat formatToChange(EngineSelection& selection) {
    selection.document().ensureAvailable();
    if (!selection.collapsed())
        throw errors::notAvailable();
    return selection.typingFormat();
}

const CharFormat& formatToRead(EngineSelection& selection) {
    selection.document().ensureAvailable();
    return selection.typingFormat();
}

} // namespace

QString EngineFont::Name() const {
    return formatToRead(selection_).fontName;
}

void EngineFont::SetName(const QString& name) {
    CharFormat format = formatToChange(selection_);
    if (name.trimmed().isEmpty())
        throw errors::valueOutOfRange();
    format.fontName = name;
    selection_.setTypingFormat(format);
}

double EngineFont::Size() const {
    return formatToRead(selection_).size;
}

void EngineFont::SetSize(double points) {
    CharFormat format = formatToChange(selection_);
    if (!(points >= minSize && points <= maxSize)) // also refuses NaN
        throw errors::valueOutOfRange();
    format.size = std::round(points * 2.0) / 2.0;
    selection_.setTypingFormat(format);
}

bool EngineFont::Bold() const {
    return formatToRead(selection_).bold;
}

void EngineFont::SetBold(bool bold) {
    CharFormat format = formatToChange(selection_);
    format.bold = bold;
    selection_.setTypingFormat(format);
}

int EngineFont::Underline() const {
    return wordNumber(formatToRead(selection_).underline);
}

void EngineFont::SetUnderline(int underline) {
    CharFormat format = formatToChange(selection_);
    // Qualified: inside a Font, Underline names the member.
    const std::optional<wordengine::Underline> value =
        fromWordNumber(underline, settableUnderlines);
    if (!value)
        throw errors::valueOutOfRange();
    format.underline = *value;
    selection_.setTypingFormat(format);
}

} // namespace wordengine
