#include "EnginePageSetup.h"

#include "EngineDocument.h"
#include "EngineErrors.h"
#include "EngineLimits.h"
#include "WordValues.h"

#include <utility>

namespace wordengine {

namespace {

constexpr double maxLength = limits::kMaxPageLength;
constexpr double minPage = limits::kMinPageLength;

bool within(double value, double low, double high) {
    return value >= low && value <= high;
}

// Assigns one property: checks the document is there, checks the value, applies it, and
// refuses a result whose margins leave no room for text (Word's "margins are too large").
template <typename Apply> void change(EngineDocument& document, bool valid, Apply apply) {
    document.ensureAvailable();
    if (!valid)
        throw errors::valueOutOfRange();
    wordengine::PageSetup setup = document.model().pageSetup;
    apply(setup);
    if (setup.textWidth() <= 0)
        throw word::Error(QStringLiteral("The settings you chose for the left and right margins, "
                                         "column spacing, or paragraph indents are too large "
                                         "for the page width."));
    if (setup.pageHeight - setup.topMargin - setup.bottomMargin <= 0)
        throw word::Error(QStringLiteral("The top and bottom margins are too large for the page "
                                         "height."));
    document.model().pageSetup = setup;
    document.changed();
}

} // namespace

word::LineNumbering& EnginePageSetup::LineNumbering() {
    document_.ensureAvailable();
    return *this;
}

void EnginePageSetup::SetActive(bool active) {
    change(document_, true, [&](auto& s) { s.lineNumberingActive = active; });
}

void EnginePageSetup::SetOrientation(int value) {
    const std::optional<PageOrientation> orientation = fromWordNumber(value, settableOrientations);
    change(document_, orientation.has_value(), [&](auto& s) {
        // Turning the page swaps its sides, as in Word.
        if (s.orientation != *orientation)
            std::swap(s.pageWidth, s.pageHeight);
        s.orientation = *orientation;
    });
}

// The vertical margins may be negative in Word (text then ignores headers); the horizontal
// ones may not.
void EnginePageSetup::SetTopMargin(double value) {
    change(document_, within(value, -maxLength, maxLength), [&](auto& s) { s.topMargin = value; });
}

void EnginePageSetup::SetBottomMargin(double value) {
    change(document_, within(value, -maxLength, maxLength),
           [&](auto& s) { s.bottomMargin = value; });
}

void EnginePageSetup::SetLeftMargin(double value) {
    change(document_, within(value, 0, maxLength), [&](auto& s) { s.leftMargin = value; });
}

void EnginePageSetup::SetRightMargin(double value) {
    change(document_, within(value, 0, maxLength), [&](auto& s) { s.rightMargin = value; });
}

void EnginePageSetup::SetGutter(double value) {
    change(document_, within(value, 0, maxLength), [&](auto& s) { s.gutter = value; });
}

void EnginePageSetup::SetHeaderDistance(double value) {
    change(document_, within(value, 0, maxLength), [&](auto& s) { s.headerDistance = value; });
}

void EnginePageSetup::SetFooterDistance(double value) {
    change(document_, within(value, 0, maxLength), [&](auto& s) { s.footerDistance = value; });
}

void EnginePageSetup::SetPageWidth(double value) {
    change(document_, within(value, minPage, maxLength), [&](auto& s) { s.pageWidth = value; });
}

void EnginePageSetup::SetPageHeight(double value) {
    change(document_, within(value, minPage, maxLength), [&](auto& s) { s.pageHeight = value; });
}

void EnginePageSetup::SetFirstPageTray(int value) {
    change(document_, value >= 0, [&](auto& s) { s.firstPageTray = value; });
}

void EnginePageSetup::SetOtherPagesTray(int value) {
    change(document_, value >= 0, [&](auto& s) { s.otherPagesTray = value; });
}

void EnginePageSetup::SetSectionStart(int value) {
    const std::optional<SectionStart> start = fromWordNumber(value, settableSectionStarts);
    change(document_, start.has_value(), [&](auto& s) { s.sectionStart = *start; });
}

void EnginePageSetup::SetOddAndEvenPagesHeaderFooter(bool value) {
    change(document_, true, [&](auto& s) { s.oddAndEvenPagesHeaderFooter = value; });
}

void EnginePageSetup::SetDifferentFirstPageHeaderFooter(bool value) {
    change(document_, true, [&](auto& s) { s.differentFirstPageHeaderFooter = value; });
}

void EnginePageSetup::SetVerticalAlignment(int value) {
    const std::optional<PageVerticalAlignment> alignment =
        fromWordNumber(value, settablePageAlignments);
    change(document_, alignment.has_value(), [&](auto& s) { s.verticalAlignment = *alignment; });
}

void EnginePageSetup::SetSuppressEndnotes(bool value) {
    change(document_, true, [&](auto& s) { s.suppressEndnotes = value; });
}

void EnginePageSetup::SetMirrorMargins(bool value) {
    change(document_, true, [&](auto& s) { s.mirrorMargins = value; });
}

void EnginePageSetup::SetTwoPagesOnOne(bool value) {
    change(document_, true, [&](auto& s) { s.twoPagesOnOne = value; });
}

void EnginePageSetup::SetBookFoldPrinting(bool value) {
    change(document_, true, [&](auto& s) { s.bookFoldPrinting = value; });
}

void EnginePageSetup::SetBookFoldRevPrinting(bool value) {
    change(document_, true, [&](auto& s) { s.bookFoldRevPrinting = value; });
}

void EnginePageSetup::SetBookFoldPrintingSheets(int value) {
    change(document_, value >= 1, [&](auto& s) { s.bookFoldPrintingSheets = value; });
}

void EnginePageSetup::SetGutterPos(int value) {
    const std::optional<GutterPosition> position = fromWordNumber(value, settableGutterPositions);
    change(document_, position.has_value(), [&](auto& s) { s.gutterPos = *position; });
}

} // namespace wordengine
