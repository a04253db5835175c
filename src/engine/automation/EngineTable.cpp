#include "EngineTable.h"

#include "EngineDocument.h"
#include "EngineErrors.h"
#include "EngineLimits.h"
#include "WordValues.h"

namespace wordengine {

namespace {

constexpr double maxHeight = 22 * 72.0; // Word's limit for a row height

} // namespace

EngineTable::EngineTable(std::shared_ptr<EngineDocument> document, int block)
    : document_(std::move(document)), block_(block) {}

void EngineTable::blocksMoved(int at, int delta) {
    if (block_ < at)
        return;
    if (delta > 0)
        block_ += delta;
    else if (block_ < at - delta)
        block_ = -1; // removed
    else
        block_ += delta;
}

TableFormat& EngineTable::format() {
    document_->ensureAvailable();
    auto& body = document_->model().body;
    if (block_ < 0 || block_ >= int(body.size()) ||
        !std::holds_alternative<wordengine::Table>(body[size_t(block_)]))
        throw errors::objectDeleted();
    return std::get<wordengine::Table>(body[size_t(block_)]).format;
}

void EngineTable::formatChanged() {
    document_->changed();
}

word::Rows& EngineTable::Rows() {
    format();
    return *this;
}

void EngineTable::SetStyle(const QString& style) {
    TableFormat& f = format();
    // The engine knows Word's two built-in table styles that matter here: the plain one and
    // the grid. Any other name is not in the document's styles collection.
    if (style == tablestyles::kGridName)
        f.style = style;
    else if (style == tablestyles::kPlainName || style == tablestyles::kPlainDisplayName)
        f.style.clear();
    else
        throw errors::noSuchMember();
    formatChanged();
}

void EngineTable::SetApplyStyleHeadingRows(bool on) {
    format().applyStyleHeadingRows = on;
    formatChanged();
}

void EngineTable::SetApplyStyleLastRow(bool on) {
    format().applyStyleLastRow = on;
    formatChanged();
}

void EngineTable::SetApplyStyleFirstColumn(bool on) {
    format().applyStyleFirstColumn = on;
    formatChanged();
}

void EngineTable::SetApplyStyleLastColumn(bool on) {
    format().applyStyleLastColumn = on;
    formatChanged();
}

void EngineTable::SetHeightRule(int rule) {
    TableFormat& f = format();
    const std::optional<RowHeightRule> value = fromWordNumber(rule, settableRowHeightRules);
    if (!value)
        throw errors::valueOutOfRange();
    f.heightRule = *value;
    formatChanged();
}

void EngineTable::SetHeight(double points) {
    TableFormat& f = format();
    if (!(points >= 0 && points <= maxHeight))
        throw errors::valueOutOfRange();
    f.height = points;
    // A height means nothing to an automatic row; Word makes it a minimum, and so do we.
    if (f.heightRule == RowHeightRule::Auto)
        f.heightRule = RowHeightRule::AtLeast;
    formatChanged();
}

} // namespace wordengine
