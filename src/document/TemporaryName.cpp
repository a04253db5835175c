#include "TemporaryName.h"

#include "Leftovers.h"
#include "Paths.h"

#include <QRandomGenerator>

DigitSource systemDigits() {
    return [] { return int(QRandomGenerator::system()->bounded(1, 10)); };
}

bool isTemporaryFileName(const QString& name) {
    if (name == QStringLiteral("temp.bmp"))
        return true;
    if (name.size() != 18 || !name.startsWith(QStringLiteral("wendlo")) ||
        !name.endsWith(QStringLiteral(".doc")))
        return false;
    for (qsizetype i = 6; i < 14; ++i)
        if (name[i] < u'1' || name[i] > u'9')
            return false;
    return true;
}

void removeTemporaryLeftovers() {
    try {
        files::removeLeftovers(temporaryFolder(), isTemporaryFileName);
    } catch (...) {
        // A temporary folder that is not private is reported where a document is made.
    }
}
