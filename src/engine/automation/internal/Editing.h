#pragma once
// The editing rules of the engine, in one place: how positions walk the body story in Word's
// character model, what typing, a new paragraph, a new table and a deletion do to a Document,
// and which formatting the insertion point picks up where. Where Word's documentation is
// silent, the rules here are ours.
//
// Character model: each paragraph is its text plus one mark; in a table the last mark of a
// cell is its end-of-cell mark and each row ends with an end-of-row mark (Position::cell ==
// columns). A Position stands before the character it names, so offset == length() stands
// before the paragraph mark.
//
// The Editor holds no state of its own beyond the document it edits; the automation classes
// keep the selection and its formatting. Layout only enters as a Pagination handed in, so
// everything here can be tested without laying anything out.

#include "Layout.h"
#include "Model.h"

#include <functional>

namespace wordengine {

class Editor {
public:
    // Told when body blocks move: delta > 0 blocks were inserted at `at`, delta < 0 blocks
    // were removed starting at `at`. Objects that name a table by its block index follow it.
    using BlockListener = std::function<void(int at, int delta)>;

    explicit Editor(Document& document, BlockListener listener = {});

    // Positions

    Position storyStart() const;
    // Before the final paragraph mark, where Word's EndKey(story) stops.
    Position storyEnd() const;
    bool isValid(const Position& p) const;
    // The paragraph that holds p; null at an end-of-row mark.
    const Paragraph* paragraphAt(const Position& p) const;
    // Walks count characters to the right; stops at the story's end.
    Position moveRight(Position p, int count) const;
    // The character formatting the insertion point picks up at p: that of the character
    // before it, of the first character at a paragraph's start, of the mark in an empty
    // paragraph; `fallback` where there is none (end-of-row mark).
    CharFormat formatAt(const Position& p, const CharFormat& fallback) const;
    // The page of `pagination` that holds p: the last one starting at or before it.
    static int pageOf(const Pagination& pagination, const Position& p);

    // Edits. Each returns where the insertion point goes.

    // Inserts text with `format`. Each CR LF pair, and a lone CR or LF, ends a paragraph as
    // splitParagraph does. Other control characters are kept.
    Position insertText(Position p, const QString& text, const CharFormat& format);
    // Ends the paragraph at p. Text after p moves to the new paragraph, which keeps the
    // alignment; when nothing follows p the new paragraph's mark takes `format`.
    Position splitParagraph(const Position& p, const CharFormat& format);
    // A rows x columns table at p (outside tables only). At a paragraph's start the table goes
    // before the paragraph; elsewhere the paragraph is split at p and the table goes between
    // the halves. The paragraph after the table keeps its formatting. Every cell starts with
    // p's paragraph alignment and `format` on its mark. Returns the first cell's start.
    Position insertTable(const Position& p, int rows, int columns, const CharFormat& format,
                         const TableFormat& tableFormat);
    // Removes everything before `end`: whole blocks, whole table rows, the cells of end's row
    // before end's cell, and the part of end's paragraph or cell before end. Returns the
    // story's start.
    Position deleteBefore(const Position& end);
    // Removes the text between two positions of the same paragraph.
    Position deleteInParagraph(const Position& from, const Position& to);
    // Word's Delete at an insertion point: count characters forward. Deleting a mark joins the
    // next paragraph of the same story or cell; end-of-cell, end-of-row and the final mark stay.
    Position deleteForward(Position p, int count);

    // Formatting

    // Font settings made at an insertion point: they also take hold of an empty paragraph's
    // mark, which sets that paragraph's height. Answers whether the document changed.
    bool applyTypingFormat(const Position& p, const CharFormat& format);
    // Sets the alignment of every paragraph from `from`'s to `to`'s.
    void setAlignment(const Position& from, const Position& to, ParagraphAlignment alignment);
    // Sets the vertical alignment of from's cell, and of the cells up to to's in the same table.
    void setCellVerticalAlignment(const Position& from, const Position& to,
                                  CellVerticalAlignment alignment);

    // Restores the model's invariants on a document read from a file: a non-empty body ending
    // with a paragraph, a paragraph after every table, rows of `columns` non-empty cells.
    static void repair(Document& document);

private:
    Paragraph* paragraphAt(const Position& p);
    Paragraph& paragraphFor(const Position& p); // fails at an end-of-row mark
    Position firstPositionOf(int block) const;
    Position stepRight(const Position& p) const;
    void blocksMoved(int at, int delta) const;

    Document& document_;
    BlockListener listener_;
};

} // namespace wordengine
