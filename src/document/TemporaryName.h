#pragma once
// The temporary document's name: "wendlo", eight digits from 1 to 9, ".doc".

#include <QString>
#include <functional>

// Draws one digit from 1 to 9. The default draws from a generator seeded once per process
// from the system's entropy, so consecutive digits are independent and names are not
// guessable from the time of day.
using DigitSource = std::function<int()>;
DigitSource systemDigits();
