#pragma once
// A range of a document's body story: a snapshot of two positions, taken from the selection
// or covering the whole story. Unlike Word's ranges it does not follow later edits; the
// members that use it check that it still fits the document.

#include "Automation.h"
#include "Model.h"

#include <memory>

namespace wordengine {

class EngineDocument;

class EngineRange final : public word::Range {
public:
    EngineRange(std::shared_ptr<EngineDocument> document, Position start, Position end)
        : document_(std::move(document)), start_(start), end_(end) {}

    // The picture of the page that holds the range's start: for the whole story of a
    // document longer than a page, its first page.
    void CopyAsPicture() override;

    const std::shared_ptr<EngineDocument>& document() const { return document_; }
    Position start() const { return start_; }
    Position end() const { return end_; }

private:
    std::shared_ptr<EngineDocument> document_;
    Position start_;
    Position end_;
};

} // namespace wordengine
