#include "Model.h"

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

} // namespace wordengine
