#pragma once
// The start-up check that an engine application can be created at all.

#include <QString>
#include <functional>

namespace word {
class ApplicationFactory;
}

namespace IsInstalled {

// The message shown when no application can be created.
QString wordMissingMessage();

// Creates and quits one application. When none can be created, shows the message (OK only,
// no icon, titled with the application title) and calls `endProgram`, which must not return
// to the caller's work (the program exits). Any other failure is ignored. Returns whether an
// application could be created.
bool CheckWordInstalled(word::ApplicationFactory& word, const std::function<void()>& endProgram);

} // namespace IsInstalled
