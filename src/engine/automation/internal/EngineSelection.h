#pragma once
// The selection of a document's window: an anchor and an active end in the body story, and
// the character formatting that typing at it uses. The editing itself is the Editor's; this
// class turns Word's selection members into its calls and keeps the selection where Word
// would leave it.

#include "Automation.h"
#include "EngineCells.h"
#include "EngineFont.h"
#include "EngineParagraphFormat.h"
#include "Model.h"

namespace wordengine {

class EngineDocument;

class EngineSelection final : public word::Selection {
public:
    explicit EngineSelection(EngineDocument& document);

    // word::Selection
    word::Font& Font() override;
    word::ParagraphFormat& ParagraphFormat() override;
    word::Cells& Cells() override;
    std::shared_ptr<word::Range> Range() override;
    void TypeText(const QString& text) override;
    void TypeParagraph() override;
    void MoveRight(int unit, int count) override;
    void GoTo(int what, int which, const QVariant& name) override;
    void HomeKey(int unit, int extend) override;
    void EndKey(int unit, int extend) override;
    void Delete(int unit, int count) override;

    // For the font, paragraph format and cells objects, and the document.
    EngineDocument& document() { return document_; }
    Position start() const { return std::min(anchor_, active_); }
    Position end() const { return std::max(anchor_, active_); }
    Position active() const { return active_; }
    bool collapsed() const { return anchor_ == active_; }
    const CharFormat& typingFormat() const { return format_; }
    // A font setting: applies to what is typed next, and to the mark of an empty paragraph.
    void setTypingFormat(const CharFormat& format);
    // Collapses the selection at p and picks up the formatting found there.
    void moveTo(const Position& p);

private:
    // Removes the selected content; fails for selections this engine cannot delete.
    void deleteSelected();

    EngineDocument& document_;
    Position anchor_;
    Position active_;
    CharFormat format_;
    EngineFont font_;
    EngineParagraphFormat paragraphFormat_;
    EngineCells cells_;
};

} // namespace wordengine
