#pragma once
// The preview's arithmetic: rounding halves to even, and whole numbers of 16 and 32 bits
// whose overflow is a failure ("Overflow"), as the window's computations require.

#include <QString>
#include <cstdint>

// Rounds to the nearest whole number, halves to the even one.
double roundHalfEven(double value);

// Rounds as above into a 16-bit (32-bit) whole number; throws Failure("Overflow") when it
// does not fit, and Failure("Division by zero") for a result that is not a number.
std::int16_t toInt16(double value);
std::int32_t toInt32(double value);

// a / b, throwing Failure("Division by zero") when b is 0.
double divide(double a, double b);
