#pragma once
// What `vantorel --help` and `vantorel --version` print. They are answered before any window
// or engine exists, so they work on a terminal without a display.

#include <QStringList>
#include <optional>

class QTextStream;

// When `arguments` (without the program name) hold --help or -h, prints the help text; else
// when they hold --version, prints the version. Returns the exit status then, and nothing when
// neither was asked for: every other argument is left to Qt (-platform, -style, ...).
std::optional<int> answerHelpOrVersion(const QStringList& arguments, QTextStream& out);

// The same for main()'s arguments, printed on standard output.
std::optional<int> answerHelpOrVersion(int argc, char** argv);
