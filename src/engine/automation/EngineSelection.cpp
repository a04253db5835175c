#include "EngineSelection.h"

#include "EngineDocument.h"
#include "EngineErrors.h"
#include "EngineRange.h"

#include <algorithm>

namespace wordengine {

namespace {

// Word's wdGoToDirection values used with pages.
constexpr int goToFirst = 1;
constexpr int goToLast = -1;
constexpr int goToNext = 2;
constexpr int goToPrevious = 3;

void checkExtend(int extend) {
    if (extend != word::wd::Move && extend != word::wd::Extend)
        throw errors::valueOutOfRange();
}

} // namespace

EngineSelection::EngineSelection(EngineDocument& document)
    : document_(document), font_(*this), paragraphFormat_(*this), cells_(*this) {}

word::Font& EngineSelection::Font() {
    document_.ensureAvailable();
    return font_;
}

word::ParagraphFormat& EngineSelection::ParagraphFormat() {
    document_.ensureAvailable();
    return paragraphFormat_;
}

word::Cells& EngineSelection::Cells() {
    document_.ensureAvailable();
    return cells_;
}

std::shared_ptr<word::Range> EngineSelection::Range() {
    document_.ensureAvailable();
    return std::make_shared<EngineRange>(document_.shared_from_this(), start(), end());
}

void EngineSelection::setTypingFormat(const CharFormat& format) {
    format_ = format;
    if (document_.editor().applyTypingFormat(active_, format))
        document_.changed();
}

void EngineSelection::moveTo(const Position& p) {
    anchor_ = active_ = p;
    format_ = document_.editor().formatAt(p, format_);
}

void EngineSelection::deleteSelected() {
    Editor rules = document_.editor();
    const Position from = start();
    const Position to = end();
    Position after;
    if (from == rules.storyStart())
        after = rules.deleteBefore(to);
    else if (from.block == to.block && from.row == to.row && from.cell == to.cell &&
             from.paragraph == to.paragraph)
        after = rules.deleteInParagraph(from, to);
    else
        throw errors::notAvailable(); // other spans are not needed by the program
    document_.changed();
    moveTo(after);
}

void EngineSelection::TypeText(const QString& text) {
    document_.ensureAvailable();
    // Carriage returns and line feeds become paragraph breaks, which are no characters.
    const qint64 adding = text.size() - std::count_if(text.begin(), text.end(), [](QChar c) {
                              return c == u'\r' || c == u'\n';
                          });
    document_.checkRoomFor(adding);
    if (!collapsed())
        deleteSelected(); // typing replaces the selection
    anchor_ = active_ = document_.editor().insertText(active_, text, format_);
    document_.changed();
    document_.textAdded(adding);
}

void EngineSelection::TypeParagraph() {
    document_.ensureAvailable();
    if (!collapsed())
        deleteSelected();
    anchor_ = active_ = document_.editor().splitParagraph(active_, format_);
    document_.changed();
}

void EngineSelection::MoveRight(int unit, int count) {
    document_.ensureAvailable();
    if (unit != word::wd::Character || count < 0)
        throw errors::valueOutOfRange();
    Position from = active_;
    if (!collapsed() && count > 0) {
        // The first step collapses an extended selection to its end.
        from = end();
        --count;
    }
    moveTo(document_.editor().moveRight(from, count));
}

void EngineSelection::GoTo(int what, int which, const QVariant& /*name: only for bookmarks*/) {
    document_.ensureAvailable();
    if (what != word::wd::GoToPage)
        throw errors::valueOutOfRange();
    // Only the last page needs the whole layout.
    const Pagination pages =
        which == goToLast ? document_.pagination() : document_.pagesThrough(active_);
    if (pages.pageStarts.empty()) {
        moveTo(document_.editor().storyStart());
        return;
    }
    const int last = pages.pageCount() - 1;
    const int current = Editor::pageOf(pages, active_);
    int target = 0;
    switch (which) {
    case goToFirst:
        target = 0;
        break;
    case goToLast:
        target = last;
        break;
    case goToNext: // on the last page: its start, as Word clamps page numbers
        target = std::min(current + 1, last);
        break;
    case goToPrevious:
        target = std::max(current - 1, 0);
        break;
    default:
        throw errors::valueOutOfRange();
    }
    const Position to = pages.pageStarts[size_t(target)];
    if (!document_.editor().isValid(to))
        throw errors::notAvailable();
    moveTo(to);
}

void EngineSelection::HomeKey(int unit, int extend) {
    document_.ensureAvailable();
    if (unit != word::wd::Story)
        throw errors::valueOutOfRange();
    checkExtend(extend);
    const Position to = document_.editor().storyStart();
    if (extend == word::wd::Extend)
        active_ = to; // the anchor stays where it was
    else
        moveTo(to);
}

void EngineSelection::EndKey(int unit, int extend) {
    document_.ensureAvailable();
    if (unit != word::wd::Story)
        throw errors::valueOutOfRange();
    checkExtend(extend);
    const Position to = document_.editor().storyEnd();
    if (extend == word::wd::Extend)
        active_ = to;
    else
        moveTo(to);
}

void EngineSelection::Delete(int unit, int count) {
    document_.ensureAvailable();
    if (unit != word::wd::Character || count < 1)
        throw errors::valueOutOfRange();
    if (!collapsed()) {
        deleteSelected(); // an extended selection goes as a whole, whatever the count
        return;
    }
    moveTo(document_.editor().deleteForward(active_, count));
    document_.changed();
}

} // namespace wordengine
