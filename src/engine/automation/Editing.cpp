#include "Editing.h"

#include "EngineErrors.h"

#include <algorithm>
#include <utility>

namespace wordengine {

namespace {

bool isParagraph(const Block& block) {
    return std::holds_alternative<Paragraph>(block);
}

// Cuts runs at a character offset into what lies before and what lies after.
void splitRuns(const std::vector<Run>& runs, int offset, std::vector<Run>& before,
               std::vector<Run>& after) {
    int start = 0;
    for (const Run& run : runs) {
        const int length = int(run.text.size());
        if (start + length <= offset) {
            before.push_back(run);
        } else if (start >= offset) {
            after.push_back(run);
        } else {
            const int cut = offset - start;
            before.push_back(Run{run.text.left(cut), run.format});
            after.push_back(Run{run.text.mid(cut), run.format});
        }
        start += length;
    }
}

// One run per stretch of equal formatting, and no empty runs: the layout and the package
// writer then see the same runs whatever order the edits came in.
void normalise(std::vector<Run>& runs) {
    std::vector<Run> out;
    out.reserve(runs.size());
    for (Run& run : runs) {
        if (run.text.isEmpty())
            continue;
        if (!out.empty() && out.back().format == run.format)
            out.back().text += run.text;
        else
            out.push_back(std::move(run));
    }
    runs = std::move(out);
}

// Whether normalise() would leave the runs as they are.
bool normalised(const std::vector<Run>& runs) {
    for (size_t i = 0; i < runs.size(); ++i)
        if (runs[i].text.isEmpty() || (i > 0 && runs[i - 1].format == runs[i].format))
            return false;
    return true;
}

void insertIntoParagraph(Paragraph& paragraph, int offset, const QString& text,
                         const CharFormat& format) {
    if (text.isEmpty())
        return;
    // Typing mostly goes on at the end of a paragraph: the text joins the last run or follows
    // it, as normalise() would have it, without the paragraph's runs copied twice.
    if (offset == paragraph.length() && normalised(paragraph.runs)) {
        if (!paragraph.runs.empty() && paragraph.runs.back().format == format)
            paragraph.runs.back().text += text;
        else
            paragraph.runs.push_back(Run{text, format});
        return;
    }
    std::vector<Run> before, after;
    splitRuns(paragraph.runs, offset, before, after);
    before.push_back(Run{text, format});
    before.insert(before.end(), std::make_move_iterator(after.begin()),
                  std::make_move_iterator(after.end()));
    normalise(before);
    paragraph.runs = std::move(before);
}

void removeFromParagraph(Paragraph& paragraph, int from, int to) {
    std::vector<Run> before, middle, after, rest;
    splitRuns(paragraph.runs, to, rest, after);
    splitRuns(rest, from, before, middle);
    before.insert(before.end(), after.begin(), after.end());
    normalise(before);
    paragraph.runs = std::move(before);
}

// A paragraph with p's formatting and no text (also no cached layout: it is new).
Paragraph emptyLike(ParagraphAlignment alignment, const CharFormat& mark) {
    Paragraph paragraph;
    paragraph.alignment = alignment;
    paragraph.markFormat = mark;
    return paragraph;
}

// A character and the low surrogate after it count as one step.
int characterWidth(const QString& text, int offset) {
    if (offset + 1 < text.size() && text.at(offset).isHighSurrogate() &&
        text.at(offset + 1).isLowSurrogate())
        return 2;
    return 1;
}

} // namespace

Editor::Editor(Document& document, BlockListener listener)
    : document_(document), listener_(std::move(listener)) {}

void Editor::blocksMoved(int at, int delta) const {
    if (listener_ && delta != 0)
        listener_(at, delta);
}

Position Editor::firstPositionOf(int block) const {
    Position p;
    p.block = block;
    if (!isParagraph(document_.body[size_t(block)])) {
        p.row = 0;
        p.cell = 0;
    }
    return p;
}

Position Editor::storyStart() const {
    return firstPositionOf(0);
}

Position Editor::storyEnd() const {
    const int last = int(document_.body.size()) - 1;
    Position p;
    p.block = last;
    p.offset = std::get<Paragraph>(document_.body.back()).length();
    return p;
}

bool Editor::isValid(const Position& p) const {
    if (p.block < 0 || p.block >= int(document_.body.size()))
        return false;
    const Block& block = document_.body[size_t(p.block)];
    if (const auto* paragraph = std::get_if<Paragraph>(&block))
        return p.row == -1 && p.cell == -1 && p.paragraph == 0 && p.offset >= 0 &&
               p.offset <= paragraph->length();
    const Table& table = std::get<Table>(block);
    if (p.row < 0 || p.row >= int(table.rows.size()) || p.cell < 0 || p.cell > table.columns)
        return false;
    if (p.cell == table.columns)
        return p.paragraph == 0 && p.offset == 0;
    const Cell& cell = table.rows[size_t(p.row)].cells[size_t(p.cell)];
    return p.paragraph >= 0 && p.paragraph < int(cell.paragraphs.size()) && p.offset >= 0 &&
           p.offset <= cell.paragraphs[size_t(p.paragraph)].length();
}

const Paragraph* Editor::paragraphAt(const Position& p) const {
    const Block& block = document_.body[size_t(p.block)];
    if (const auto* paragraph = std::get_if<Paragraph>(&block))
        return paragraph;
    const Table& table = std::get<Table>(block);
    if (p.cell >= table.columns)
        return nullptr;
    return &table.rows[size_t(p.row)].cells[size_t(p.cell)].paragraphs[size_t(p.paragraph)];
}

Paragraph* Editor::paragraphAt(const Position& p) {
    return const_cast<Paragraph*>(std::as_const(*this).paragraphAt(p));
}

Paragraph& Editor::paragraphFor(const Position& p) {
    Paragraph* paragraph = paragraphAt(p);
    if (!paragraph)
        throw errors::notAvailable();
    return *paragraph;
}

Position Editor::stepRight(const Position& p) const {
    const int lastBlock = int(document_.body.size()) - 1;
    if (const Paragraph* paragraph = paragraphAt(p)) {
        const QString text = paragraph->text();
        if (p.offset < text.size()) {
            Position next = p;
            next.offset += characterWidth(text, p.offset);
            return next;
        }
    }
    // At a mark.
    if (!p.inTable())
        return p.block < lastBlock ? firstPositionOf(p.block + 1) : p;
    const Table& table = std::get<Table>(document_.body[size_t(p.block)]);
    Position next = p;
    next.offset = 0;
    if (p.cell == table.columns) { // end-of-row mark: on to the next row or out of the table
        if (p.row + 1 < int(table.rows.size())) {
            next.row = p.row + 1;
            next.cell = 0;
            next.paragraph = 0;
            return next;
        }
        return firstPositionOf(p.block + 1); // a table is always followed by a paragraph
    }
    const Cell& cell = table.rows[size_t(p.row)].cells[size_t(p.cell)];
    if (p.paragraph + 1 < int(cell.paragraphs.size())) {
        next.paragraph = p.paragraph + 1;
        return next;
    }
    // End-of-cell mark: the next cell, or the end-of-row mark after the last one.
    next.cell = p.cell + 1;
    next.paragraph = 0;
    return next;
}

Position Editor::moveRight(Position p, int count) const {
    for (int i = 0; i < count; ++i) {
        const Position next = stepRight(p);
        if (next == p)
            break;
        p = next;
    }
    return p;
}

CharFormat Editor::formatAt(const Position& p, const CharFormat& fallback) const {
    const Paragraph* paragraph = paragraphAt(p);
    if (!paragraph)
        return fallback;
    const int character = p.offset > 0 ? p.offset - 1 : 0;
    int start = 0;
    for (const Run& run : paragraph->runs) {
        start += int(run.text.size());
        if (character < start)
            return run.format;
    }
    return paragraph->markFormat;
}

int Editor::pageOf(const Pagination& pagination, const Position& p) {
    const auto& starts = pagination.pageStarts;
    const auto after = std::upper_bound(starts.begin(), starts.end(), p);
    return after == starts.begin() ? 0 : int(after - starts.begin()) - 1;
}

Position Editor::insertText(Position p, const QString& text, const CharFormat& format) {
    paragraphFor(p); // typing at an end-of-row mark is refused before anything changes
    // The breaks are found by Qt's search, which looks at many characters a step; each kind is
    // searched for again only once the last one found is passed, so the text is read once.
    qsizetype nextCr = -1;
    qsizetype nextLf = -1;
    const auto findFrom = [&](QChar c, qsizetype& next, qsizetype from) {
        if (next != text.size() && next < from) {
            next = text.indexOf(c, from);
            if (next < 0)
                next = text.size();
        }
    };
    const auto nextBreak = [&](qsizetype from) {
        findFrom(u'\r', nextCr, from);
        findFrom(u'\n', nextLf, from);
        return std::min(nextCr, nextLf);
    };
    qsizetype pieceStart = 0;
    for (qsizetype i = nextBreak(0);; i = nextBreak(i + 1)) {
        const bool atEnd = i == text.size();
        const QChar c = atEnd ? QChar() : text.at(i);
        const QString piece = text.mid(pieceStart, i - pieceStart);
        insertIntoParagraph(paragraphFor(p), p.offset, piece, format);
        p.offset += int(piece.size());
        if (atEnd)
            break;
        if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
            ++i; // CR LF is one paragraph break
        p = splitParagraph(p, format);
        pieceStart = i + 1;
    }
    return p;
}

Position Editor::splitParagraph(const Position& p, const CharFormat& format) {
    Paragraph& first = paragraphFor(p);
    std::vector<Run> before, after;
    splitRuns(first.runs, p.offset, before, after);
    Paragraph second = emptyLike(first.alignment, after.empty() ? format : first.markFormat);
    second.runs = std::move(after);
    first.runs = std::move(before);

    Position next = p;
    next.offset = 0;
    if (p.inTable()) {
        auto& paragraphs = std::get<Table>(document_.body[size_t(p.block)])
                               .rows[size_t(p.row)]
                               .cells[size_t(p.cell)]
                               .paragraphs;
        paragraphs.insert(paragraphs.begin() + p.paragraph + 1, std::move(second));
        next.paragraph = p.paragraph + 1;
        return next;
    }
    document_.body.insert(document_.body.begin() + p.block + 1, std::move(second));
    blocksMoved(p.block + 1, 1);
    next.block = p.block + 1;
    return next;
}

Position Editor::insertTable(const Position& p, int rows, int columns, const CharFormat& format,
                             const TableFormat& tableFormat) {
    if (p.inTable())
        throw errors::notAvailable(); // this engine has no nested tables
    Paragraph& paragraph = paragraphFor(p);

    Table table;
    table.columns = columns;
    table.format = tableFormat;
    Cell cell;
    cell.paragraphs = {emptyLike(paragraph.alignment, format)};
    table.rows.assign(size_t(rows), Row{std::vector<Cell>(size_t(columns), cell)});

    int at = p.block;
    if (p.offset > 0) {
        // The half after the insertion point becomes the paragraph after the table and keeps
        // the mark it had.
        std::vector<Run> before, after;
        splitRuns(paragraph.runs, p.offset, before, after);
        Paragraph second = emptyLike(paragraph.alignment, paragraph.markFormat);
        second.runs = std::move(after);
        paragraph.runs = std::move(before);
        document_.body.insert(document_.body.begin() + p.block + 1, std::move(second));
        at = p.block + 1;
    }
    document_.body.insert(document_.body.begin() + at, std::move(table));
    blocksMoved(at, p.offset > 0 ? 2 : 1);
    return firstPositionOf(at);
}

Position Editor::deleteBefore(const Position& end) {
    if (end.block > 0) {
        document_.body.erase(document_.body.begin(), document_.body.begin() + end.block);
        blocksMoved(0, -end.block);
    }
    Block& first = document_.body.front();
    if (auto* paragraph = std::get_if<Paragraph>(&first)) {
        if (end.offset > 0)
            removeFromParagraph(*paragraph, 0, end.offset);
        return storyStart();
    }
    Table& table = std::get<Table>(first);
    table.rows.erase(table.rows.begin(), table.rows.begin() + end.row);
    Row& row = table.rows.front();
    for (int c = 0; c < std::min(end.cell, table.columns); ++c) {
        // A cleared cell keeps its end-of-cell mark, and with it the formatting of its last
        // paragraph.
        const Paragraph& last = row.cells[size_t(c)].paragraphs.back();
        row.cells[size_t(c)].paragraphs = {emptyLike(last.alignment, last.markFormat)};
    }
    if (end.cell < table.columns) {
        auto& paragraphs = row.cells[size_t(end.cell)].paragraphs;
        paragraphs.erase(paragraphs.begin(), paragraphs.begin() + end.paragraph);
        removeFromParagraph(paragraphs.front(), 0, end.offset);
    }
    return storyStart();
}

Position Editor::deleteInParagraph(const Position& from, const Position& to) {
    removeFromParagraph(paragraphFor(from), from.offset, to.offset);
    return from;
}

Position Editor::deleteForward(Position p, int count) {
    for (int i = 0; i < count; ++i) {
        Paragraph* paragraph = paragraphAt(p);
        if (!paragraph)
            break; // an end-of-row mark cannot be deleted
        const QString text = paragraph->text();
        if (p.offset < text.size()) {
            removeFromParagraph(*paragraph, p.offset, p.offset + characterWidth(text, p.offset));
            continue;
        }
        // Deleting a mark joins the next paragraph, whose mark survives: the joined paragraph
        // takes its alignment and mark formatting.
        Paragraph* next = nullptr;
        if (p.inTable()) {
            auto& paragraphs = std::get<Table>(document_.body[size_t(p.block)])
                                   .rows[size_t(p.row)]
                                   .cells[size_t(p.cell)]
                                   .paragraphs;
            if (p.paragraph + 1 < int(paragraphs.size())) {
                next = &paragraphs[size_t(p.paragraph + 1)];
                next->runs.insert(next->runs.begin(), paragraph->runs.begin(),
                                  paragraph->runs.end());
                normalise(next->runs);
                paragraphs.erase(paragraphs.begin() + p.paragraph);
            }
        } else if (p.block + 1 < int(document_.body.size()) &&
                   isParagraph(document_.body[size_t(p.block + 1)])) {
            next = &std::get<Paragraph>(document_.body[size_t(p.block + 1)]);
            next->runs.insert(next->runs.begin(), paragraph->runs.begin(), paragraph->runs.end());
            normalise(next->runs);
            document_.body.erase(document_.body.begin() + p.block);
            blocksMoved(p.block, -1);
        }
        if (!next)
            break; // end-of-cell mark, a table ahead, or the final mark
    }
    return p;
}

bool Editor::applyTypingFormat(const Position& p, const CharFormat& format) {
    Paragraph* paragraph = paragraphAt(p);
    if (!paragraph || paragraph->length() != 0 || paragraph->markFormat == format)
        return false;
    paragraph->markFormat = format;
    return true;
}

void Editor::setAlignment(const Position& from, const Position& to, ParagraphAlignment alignment) {
    Position p = from;
    for (;;) {
        Paragraph* paragraph = paragraphAt(p);
        if (paragraph) {
            paragraph->alignment = alignment;
            p.offset = paragraph->length();
        }
        const Position next = stepRight(p);
        if (next == p || to < next)
            break;
        p = next;
    }
}

void Editor::setCellVerticalAlignment(const Position& from, const Position& to,
                                      CellVerticalAlignment alignment) {
    if (!from.inTable())
        throw errors::notAvailable();
    Table& table = std::get<Table>(document_.body[size_t(from.block)]);
    const bool sameTable = to.block == from.block && to.inTable();
    const int lastRow = sameTable ? to.row : from.row;
    for (int r = from.row; r <= lastRow; ++r) {
        const int firstCell = r == from.row ? from.cell : 0;
        const int lastCell = !sameTable ? from.cell : (r == to.row ? to.cell : table.columns - 1);
        for (int c = firstCell; c <= std::min(lastCell, table.columns - 1); ++c)
            table.rows[size_t(r)].cells[size_t(c)].verticalAlignment = alignment;
    }
}

void Editor::repair(Document& document) {
    normalise(document);
}

} // namespace wordengine
