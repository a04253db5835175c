#pragma once
// The program's windows and the wiring between them and the engine.

#include "Form1.h"
#include "PreviewHandOff.h"

#include <memory>

class ClosingSignals;

namespace word {
class ApplicationFactory;
}

class Program {
public:
    // `services` supplies the store and the end of the program; the engine check and the
    // document script are wired here. `saving` keeps the save dialog's folder (none: it is not
    // kept).
    Program(word::ApplicationFactory& engine, Form1::Services services,
            Form2::Services saving = {});

    ~Program();

    // Removes what killed runs left in the temporary folder, lets SIGTERM, SIGHUP and SIGINT
    // close the program as its windows' close boxes do, and runs the entry window's start-up.
    // False when the engine cannot be created: the user has been told, and the window must not
    // be shown.
    bool start();

    Form1& entry() { return form1; }
    PreviewHandOff& preview() { return handOff; }

private:
    Form1::Services wire(Form1::Services services);
    // Closes the window shown, as its close box would, and ends with 128 + the signal's
    // number, as a shell reports a program a signal stopped.
    void closeOnSignal(int number);

    word::ApplicationFactory& engine;
    bool engineMissing = false;
    Form1 form1;
    PreviewHandOff handOff;
    std::unique_ptr<ClosingSignals> closingSignals;
};
