#include "TemporaryName.h"

#include <QRandomGenerator>

DigitSource systemDigits() {
    return [] { return int(QRandomGenerator::system()->bounded(1, 10)); };
}
