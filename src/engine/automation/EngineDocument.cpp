#include "EngineDocument.h"

#include "EngineApplicationState.h"
#include "EngineClipboard.h"
#include "EngineErrors.h"
#include "EngineLimits.h"
#include "EngineRange.h"
#include "EngineTable.h"
#include "Package.h"

#include <algorithm>

namespace wordengine {

namespace {

// Word's wdSaveOptions.
constexpr int doNotSaveChanges = 0;
constexpr int saveChanges = -1;
constexpr int promptToSaveChanges = -2;

constexpr int maxRows = limits::kMaxRows;
constexpr int maxColumns = limits::kMaxColumns;

qint64 characterCount(const wordengine::Document& model) {
    qint64 n = 0;
    for (const Block& block : model.body) {
        if (const auto* paragraph = std::get_if<Paragraph>(&block)) {
            n += paragraph->length();
            continue;
        }
        for (const Row& row : std::get<Table>(block).rows)
            for (const Cell& cell : row.cells)
                for (const Paragraph& paragraph : cell.paragraphs)
                    n += paragraph.length();
    }
    return n;
}

} // namespace

EngineDocument::EngineDocument(std::shared_ptr<EngineApplicationState> application,
                               wordengine::Document model, QString path)
    : application_(std::move(application)), model_(std::move(model)), path_(std::move(path)),
      selection_(*this), pageSetup_(*this) {
    Editor::repair(model_);
    selection_.moveTo(Editor(model_).storyStart());
}

EngineDocument::~EngineDocument() = default;

void EngineDocument::ensureAvailable() const {
    application_->ensureRunning();
    if (closed_)
        throw errors::documentClosed();
}

Editor EngineDocument::editor() {
    return Editor(model_, [this](int at, int delta) { tablesMoved(at, delta); });
}

void EngineDocument::tablesMoved(int at, int delta) {
    std::erase_if(tables_, [](const std::weak_ptr<EngineTable>& t) { return t.expired(); });
    for (const auto& entry : tables_)
        if (auto table = entry.lock())
            table->blocksMoved(at, delta);
}

void EngineDocument::changed() {
    ++revision_;
    dirty_ = true;
}

void EngineDocument::checkRoomFor(qint64 adding) {
    if (countedRevision_ != revision_) {
        characters_ = characterCount(model_);
        countedRevision_ = revision_;
    }
    if (characters_ + adding > limits::kMaxDocumentCharacters)
        throw errors::tooMuchText();
}

void EngineDocument::textAdded(qint64 added) {
    // Counted again from the model after any other change.
    if (countedRevision_ == revision_ - 1) {
        characters_ += added;
        countedRevision_ = revision_;
    }
}

const Pagination& EngineDocument::pagination() {
    if (!pagination_ || paginatedRevision_ != revision_) {
        pagination_ = errors::translated([&] { return paginate(model_); });
        paginatedRevision_ = revision_;
    }
    return *pagination_;
}

Pagination EngineDocument::pagesThrough(const Position& p) {
    if (pagination_ && paginatedRevision_ == revision_)
        return *pagination_;
    // Twice as many pages each round: the work stays within twice what p needs.
    for (int pages = 2; pages < (1 << 20); pages *= 2) {
        Pagination first = paginate(model_, pages);
        if (first.pageCount() < pages || p < first.pageStarts.back())
            return first;
    }
    return pagination();
}

void EngineDocument::copyPageToClipboard(const Position& from) {
    const int page = Editor::pageOf(pagesThrough(from), from);
    application_->clipboard().setPicture(pagePicture(model_, page), pageText(model_, page));
}

word::PageSetup& EngineDocument::PageSetup() {
    ensureAvailable();
    return pageSetup_;
}

word::Window& EngineDocument::ActiveWindow() {
    ensureAvailable();
    return *this;
}

word::Tables& EngineDocument::Tables() {
    ensureAvailable();
    return *this;
}

word::Selection& EngineDocument::Selection() {
    ensureAvailable();
    return selection_;
}

std::shared_ptr<word::Range> EngineDocument::Range() {
    ensureAvailable();
    const Editor rules(model_);
    return std::make_shared<EngineRange>(shared_from_this(), rules.storyStart(), rules.storyEnd());
}

// The page count the package records. The paragraphs' layouts go once it is known: a long
// paragraph's costs many times its text, and would stay beside the package that holds the
// text once more while it is built; they are made again when wanted.
int EngineDocument::pageCountForSave() {
    const int pages = pagination().pageCount();
    const auto forget = [](const Paragraph& paragraph) { paragraph.layoutCache.reset(); };
    for (const Block& block : model_.body) {
        if (const auto* paragraph = std::get_if<Paragraph>(&block))
            forget(*paragraph);
        else
            for (const Row& row : std::get<Table>(block).rows)
                for (const Cell& cell : row.cells)
                    std::for_each(cell.paragraphs.begin(), cell.paragraphs.end(), forget);
    }
    return pages;
}

void EngineDocument::SaveAs(const QString& path) {
    ensureAvailable();
    errors::translated(
        [&] { savePackage(model_, pageCountForSave(), path, application_->saveOptions()); });
    path_ = path;
    dirty_ = false;
}

bool EngineDocument::SaveAsNew(const QString& path) {
    ensureAvailable();
    if (!errors::translated([&] {
            return savePackageAsNew(model_, pageCountForSave(), path, application_->saveOptions());
        }))
        return false;
    path_ = path;
    dirty_ = false;
    return true;
}

void EngineDocument::Close() {
    ensureAvailable();
    // Word would ask about unsaved changes; this engine never asks, whatever DisplayAlerts
    // says, and so keeps the file on disk as it is.
    close(false);
}

void EngineDocument::Close(int saveChangesOption) {
    ensureAvailable();
    switch (saveChangesOption) {
    case doNotSaveChanges:
    case promptToSaveChanges:
        close(false);
        return;
    case saveChanges:
        if (path_.isEmpty())
            throw errors::notAvailable(); // would need a Save As dialog; there is no UI
        close(dirty_);
        return;
    default:
        throw errors::valueOutOfRange();
    }
}

void EngineDocument::close(bool save) {
    if (save)
        errors::translated([&] {
            savePackage(model_, pagination().pageCount(), path_, application_->saveOptions());
        });
    closed_ = true;
    application_->closed(this);
    // The object may be held long after; the content is no longer needed.
    model_ = wordengine::Document{};
    pagination_.reset();
    tables_.clear();
}

void EngineDocument::discard() {
    if (!closed_)
        close(false);
}

void EngineDocument::Repaginate() {
    ensureAvailable();
    pagination_ = errors::translated([&] { return paginate(model_); });
    paginatedRevision_ = revision_;
}

QVariant EngineDocument::BuiltInDocumentProperties(int index) {
    ensureAvailable();
    if (index != word::wd::PropertyPages)
        throw errors::noSuchMember();
    return QVariant(pagination().pageCount());
}

std::shared_ptr<word::Table> EngineDocument::Add(word::Range& range, int numRows, int numColumns,
                                                 int defaultTableBehavior, int autoFitBehavior) {
    ensureAvailable();
    auto* where = dynamic_cast<EngineRange*>(&range);
    if (!where || where->document().get() != this)
        throw errors::notAvailable(); // a range of another document
    if (numRows < 1 || numRows > maxRows || numColumns < 1 || numColumns > maxColumns)
        throw errors::valueOutOfRange();
    if (defaultTableBehavior != word::wd::Word8TableBehavior &&
        defaultTableBehavior != word::wd::Word9TableBehavior)
        throw errors::valueOutOfRange();
    if (autoFitBehavior < word::wd::AutoFitFixed || autoFitBehavior > word::wd::AutoFitWindow)
        throw errors::valueOutOfRange();
    Editor rules = editor();
    // The range is a snapshot; refuse one that the document has since moved away from, and a
    // range with content (Word would replace it; this engine only inserts).
    if (!rules.isValid(where->start()) || where->start() != where->end())
        throw errors::notAvailable();

    TableFormat format;
    // Word 9 behaviour draws the grid that Word gives its new tables.
    if (defaultTableBehavior == word::wd::Word9TableBehavior)
        format.style = tablestyles::kGridName;
    const Position first =
        rules.insertTable(where->start(), numRows, numColumns, selection_.typingFormat(), format);
    changed();
    selection_.moveTo(first);

    auto table = std::make_shared<EngineTable>(shared_from_this(), first.block);
    tables_.push_back(table);
    return table;
}

} // namespace wordengine
