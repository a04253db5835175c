#pragma once
// A table of a document, with its Rows (one object: the program formats all rows at once,
// and the model keeps the row formatting on the table). It names its table by block index and
// follows the edits that move it; once its table is gone every member fails.

#include "Automation.h"
#include "Model.h"

#include <memory>

namespace wordengine {

class EngineDocument;

class EngineTable final : public word::Table, public word::Rows {
public:
    EngineTable(std::shared_ptr<EngineDocument> document, int block);

    // Called by the document when blocks move (see Editor::BlockListener).
    void blocksMoved(int at, int delta);

    // word::Table
    word::Rows& Rows() override;
    void SetStyle(const QString& style) override;
    void SetApplyStyleHeadingRows(bool on) override;
    void SetApplyStyleLastRow(bool on) override;
    void SetApplyStyleFirstColumn(bool on) override;
    void SetApplyStyleLastColumn(bool on) override;

    // word::Rows
    void SetHeightRule(int rule) override;
    void SetHeight(double points) override;

private:
    TableFormat& format(); // fails when the table or its document is gone
    void formatChanged();

    std::shared_ptr<EngineDocument> document_;
    int block_; // -1 once the table has been deleted
};

} // namespace wordengine
