#pragma once
// The program's windows and the wiring between them and the engine.

#include "Form1.h"
#include "PreviewHandOff.h"

namespace word {
class ApplicationFactory;
}

class Program {
public:
    // `services` supplies the store and the end of the program; the engine check and the
    // document script are wired here.
    Program(word::ApplicationFactory& engine, Form1::Services services);

    // Removes what killed runs left in the temporary folder and runs the entry window's
    // start-up. False when the engine cannot be created: the user has been told, and the
    // window must not be shown.
    bool start();

    Form1& entry() { return form1; }
    PreviewHandOff& preview() { return handOff; }

private:
    Form1::Services wire(Form1::Services services);

    word::ApplicationFactory& engine;
    bool engineMissing = false;
    Form1 form1;
    PreviewHandOff handOff;
};
