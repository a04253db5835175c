#include "Arithmetic.h"

#include "Failure.h"

#include <cmath>
#include <limits>

double roundHalfEven(double value) {
    return std::nearbyint(value); // the default rounding mode rounds halves to even
}

namespace {

template <class Int> Int toInt(double value) {
    if (std::isnan(value))
        throw Failure(QStringLiteral("Division by zero"));
    const double r = roundHalfEven(value);
    if (r < double(std::numeric_limits<Int>::min()) || r > double(std::numeric_limits<Int>::max()))
        throw Failure(QStringLiteral("Overflow"));
    return Int(r);
}

} // namespace

std::int16_t toInt16(double value) {
    return toInt<std::int16_t>(value);
}

std::int32_t toInt32(double value) {
    return toInt<std::int32_t>(value);
}

double divide(double a, double b) {
    if (b == 0)
        throw Failure(QStringLiteral("Division by zero"));
    return a / b;
}
