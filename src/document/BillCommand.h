#pragma once
// vantorel-bill: the bill of sale without the window, for scripts and batches. It runs the
// same document script as the program, on a record given as a JSON file.

#include <QStringList>
#include <optional>

class QTextStream;

namespace word {
class ApplicationFactory;
}

namespace BillCommand {

enum ExitCode { Success = 0, Failed = 1, BadUsage = 2 };

// The text of --help.
QString usage();

// When `arguments` (without the program name) hold --help, prints the help text on `out`; else
// when they hold --version, the version. Returns the exit status then, nothing otherwise. Needs
// no application object, so that these answers cost no more than a start of Qt Core.
std::optional<int> answerHelpOrVersion(const QStringList& arguments, QTextStream& out);

// Runs the command. `arguments` excludes the program name. --help and --version go to `out`;
// messages go to `err`, one line each; nothing is printed on success, but for a batch's summary
// (and its progress line when `errIsTerminal`). A batch (--batch) makes its own engines.
int run(const QStringList& arguments, word::ApplicationFactory& engine, QTextStream& out,
        QTextStream& err, bool errIsTerminal = false);

} // namespace BillCommand
