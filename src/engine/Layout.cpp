// Placeholder so the engine links while the real layout is written.
#include "Layout.h"

#include <QPainter>

namespace wordengine {

Pagination paginate(const Document&) {
    Pagination p;
    p.pageStarts.push_back(Position{});
    return p;
}

QPicture pagePicture(const Document&, int) { return QPicture{}; }

void drawPage(QPainter&, const Document&, int) {}

bool arialAvailable() { return true; }

} // namespace wordengine
