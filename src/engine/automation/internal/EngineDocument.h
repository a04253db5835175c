#pragma once
// A document of an engine application: the model, its one window with the selection, its
// page setup and its tables collection. The objects that belong to it (selection, font, page
// setup, tables, ranges) reach the model only through it, so every one of them fails the same
// way once the document is closed or its application has quit.

#include "Automation.h"
#include "Editing.h"
#include "EnginePageSetup.h"
#include "EngineSelection.h"
#include "Layout.h"
#include "Model.h"

#include <memory>
#include <optional>
#include <vector>

namespace wordengine {

class EngineApplicationState;
class EngineTable;

class EngineDocument final : public word::Document,
                             public word::Window,
                             public word::Tables,
                             public std::enable_shared_from_this<EngineDocument> {
public:
    // path: where the document was opened from; empty for a new document.
    EngineDocument(std::shared_ptr<EngineApplicationState> application, wordengine::Document model,
                   QString path);
    ~EngineDocument() override;

    // word::Document
    word::PageSetup& PageSetup() override;
    word::Window& ActiveWindow() override;
    word::Tables& Tables() override;
    std::shared_ptr<word::Range> Range() override;
    void SaveAs(const QString& path) override;
    bool SaveAsNew(const QString& path) override;
    void Close() override;
    void Close(int saveChanges) override;
    void Repaginate() override;
    QVariant BuiltInDocumentProperties(int index) override;

    // word::Window
    word::Selection& Selection() override;

    // word::Tables
    std::shared_ptr<word::Table> Add(word::Range& range, int numRows, int numColumns,
                                     int defaultTableBehavior, int autoFitBehavior) override;

    // For the objects that belong to this document.

    // Fails when the application has quit or the document is closed.
    void ensureAvailable() const;
    wordengine::Document& model() { return model_; }
    // An editor over the model that keeps the table objects on their tables.
    Editor editor();
    // To be called after every change of the model: the layout and the saved state are stale.
    void changed();
    // Refuses, before anything changes, `adding` more characters of text past the most a
    // document may hold (limits::kMaxDocumentCharacters): what the engine writes, its reader
    // must open. textAdded, right after the change that added them, keeps the count.
    void checkRoomFor(qint64 adding);
    void textAdded(qint64 added);
    // The layout of the current content, laid out again only after a change.
    const Pagination& pagination();
    // The first pages of the layout, as far as the page after the one that holds p (or all of
    // them when there is no such page). Lays out only what it needs: the page renderer asks
    // this once per page, at the story's start, and must not pay for the whole document.
    Pagination pagesThrough(const Position& p);
    // Puts the picture of the page that holds `from` on the application's clipboard.
    void copyPageToClipboard(const Position& from);

    // For the application.
    const QString& path() const { return path_; }
    bool isOpen() const { return !closed_; }
    // Closes without saving, as the application's Quit does.
    void discard();

private:
    void close(bool save);
    void tablesMoved(int at, int delta);
    int pageCountForSave();

    std::shared_ptr<EngineApplicationState> application_;
    wordengine::Document model_;
    QString path_;
    bool closed_ = false;
    bool dirty_ = false;
    long long revision_ = 0;
    qint64 characters_ = 0; // of the model at countedRevision_
    long long countedRevision_ = -1;
    std::optional<Pagination> pagination_;
    long long paginatedRevision_ = -1;
    EngineSelection selection_;
    EnginePageSetup pageSetup_;
    std::vector<std::weak_ptr<EngineTable>> tables_;
};

} // namespace wordengine
