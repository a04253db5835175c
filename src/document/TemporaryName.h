#pragma once
// The temporary document's name: "wendlo", eight digits from 1 to 9, ".doc".

#include <QString>
#include <functional>

// Draws one digit from 1 to 9. The default draws from a generator seeded once per process
// from the system's entropy, so consecutive digits are independent and names are not
// guessable from the time of day.
using DigitSource = std::function<int()>;
DigitSource systemDigits();

// Whether `name` is one the program gives its files in the temporary folder: a temporary
// document, or the page picture "temp.bmp".
bool isTemporaryFileName(const QString& name);

// Removes from the temporary folder such files, and the new files of unfinished writes, that
// runs killed before they could remove them left there. The running ones hold theirs (see
// files::FileHold) and keep them. Never fails: a folder that cannot be had is left alone.
void removeTemporaryLeftovers();
