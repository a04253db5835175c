#pragma once
// Line breaking, pagination and page drawing of a Document. Knows nothing of editing,
// files or windows. Lengths in points unless a name says otherwise.

#include "Model.h"

#include <QPicture>

#include <vector>

class QPainter;

namespace wordengine {

struct Pagination {
    // The first position of each page; pageStarts[0] is the start of the story.
    std::vector<Position> pageStarts;
    int pageCount() const { return int(pageStarts.size()); }
};

// Lays the document out (reusing each paragraph's cached layout when its inputs are unchanged)
// and splits it into pages.
Pagination paginate(const Document& document);

// A picture of the content of one page (0-based): its bounding box is the box of what the
// page holds, at real size, with white behind the text.
QPicture pagePicture(const Document& document, int page);

// Draws one whole page (paper and margins) with the painter's origin at the paper's top left
// corner, one painter unit to the point. For PDF and PNG output.
void drawPage(QPainter& painter, const Document& document, int page);

// Whether a font that can stand in for Arial (same metrics) is installed; the engine cannot
// lay out the program's document without one.
bool arialAvailable();

} // namespace wordengine
