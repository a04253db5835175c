#include "Model.h"

#include <algorithm>
#include <cstddef>
#include <utility>

namespace wordengine {

QString Paragraph::text() const {
    QString all;
    for (const Run& run : runs)
        all += run.text;
    return all;
}

int Paragraph::length() const {
    int n = 0;
    for (const Run& run : runs)
        n += int(run.text.size());
    return n;
}

PageBudget PageBudget::forFile(qint64 bytes) {
    const qint64 pages = std::max(bytes, qint64(0)) * limits::kPagesPerFileByte;
    return {int(std::min(pages, qint64(limits::kMaxPages))), bytes};
}

void normalise(Document& document, const Paragraph& filler) {
    std::vector<Block> body;
    body.reserve(document.body.size() + 1);
    for (Block& block : document.body) {
        if (auto* table = std::get_if<Table>(&block)) {
            if (table->rows.empty())
                continue;
            table->columns = std::max(table->columns, 1);
            for (const Row& row : table->rows)
                table->columns = std::max(table->columns, int(row.cells.size()));
            Cell empty;
            empty.paragraphs = {filler};
            for (Row& row : table->rows) {
                row.cells.resize(size_t(table->columns), empty);
                for (Cell& cell : row.cells)
                    if (cell.paragraphs.empty())
                        cell.paragraphs.push_back(filler);
            }
        }
        // A paragraph after every table; two tables in a row would otherwise merge in Word's model.
        if (!body.empty() && std::holds_alternative<Table>(block) &&
            std::holds_alternative<Table>(body.back()))
            body.emplace_back(filler);
        body.push_back(std::move(block));
    }
    if (body.empty() || std::holds_alternative<Table>(body.back()))
        body.emplace_back(filler);
    document.body = std::move(body);
}

} // namespace wordengine
