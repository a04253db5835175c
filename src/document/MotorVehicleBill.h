#pragma once
// The bill of sale: the script that builds the document through the automation interface,
// and the guard against a Word application the user already has open.

#include "FileHold.h"
#include "TemporaryName.h"

#include <QString>
#include <functional>

class SaleRecordSource;
class Trap;

namespace word {
class ApplicationFactory;
}

namespace MotorVehicleBill {

// What follows the save: it runs under the script's trap, from line 440 on, with the path of
// the temporary document (which may not exist when the save failed).
using HandOff = std::function<void(Trap& trap, const QString& path)>;

struct Generation {
    bool abandoned = false; // the user chose not to go on past the running-Word warning
    QString path;           // the temporary document's path
    // Keeps the temporary document, from the moment it appears, from being taken for a
    // leftover by another run; whoever removes the document lets go of it after.
    files::FileHold hold;
};

// Builds the bill of sale from the record's values in a new, private application, saves it
// under a fresh temporary name and quits; then runs `handOff`. Every failing statement is
// reported under the script's procedure id and its line, and the script goes on.
Generation GenerateMotorVehicle(word::ApplicationFactory& word, const SaleRecordSource& record,
                                const HandOff& handOff = {},
                                const DigitSource& digits = systemDigits());

// True when an application of the user's is running and answers "Microsoft Word". Any
// failure answers false.
bool IsWordRunning(word::ApplicationFactory& word);

// Asks, when such an application runs, whether to go on anyway. True: abandon the run.
bool WarnIfWordOpen(word::ApplicationFactory& word);

// The warning's text.
QString wordOpenWarning();

} // namespace MotorVehicleBill
