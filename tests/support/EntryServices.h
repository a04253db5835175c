#pragma once
// The entry window's services for tests that need the window but not its store: every box
// starts empty, nothing typed is kept, the engine check and the end of the program do
// nothing. The document script is left for the test (or the program's wiring) to give.

#include "Form1.h"

inline Form1::Services blankEntryServices() {
    Form1::Services services;
    services.readSetting = [](const QString&) { return QString(); };
    services.writeSetting = [](const QString&, const QString&) {};
    services.checkWordInstalled = [] {};
    services.endProgram = [] {};
    return services;
}
