// vantorel-bill: the bill of sale from a JSON record, without the window.
#include "BillCommand.h"
#include "EngineApplicationFactory.h"
#include "PrivateFolder.h"

#include <QFile>
#include <QGuiApplication>
#include <QTextStream>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

// A standard stream the caller closed (`<&-`) would be taken by the first file the program
// opens: records read from a lock file or a pipe of its own, messages written into a document.
// Each is held by /dev/null instead, for writing only: writes vanish as they would have, and
// reading standard input fails (EBADF) as reading a closed one does.
void holdClosedStandardStreams() {
    for (const int stream : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (::fcntl(stream, F_GETFD) >= 0 || errno != EBADF)
            continue;
        const int held = ::open("/dev/null", O_WRONLY); // the lowest free number: this one
        if (held >= 0 && held != stream) {
            ::dup2(held, stream);
            ::close(held);
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    holdClosedStandardStreams();
    // They need neither fonts nor an engine: answered before Qt's GUI (its platform plugin and
    // the libraries that come with it) is started at all.
    {
        QStringList given;
        for (int i = 1; i < argc; ++i)
            given.append(QString::fromLocal8Bit(argv[i]));
        QTextStream out(stdout);
        if (const std::optional<int> answered = BillCommand::answerHelpOrVersion(given, out))
            return *answered;
    }
    // Fonts and page drawing need a GUI application, but never a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // While it starts, Qt looks into the session's runtime folder and, when XDG_RUNTIME_DIR is
    // unset (under cron, in many batch jobs), says so on standard error. It is shown the
    // program's private folder for that moment, and the variable is put back at once, so the
    // run keeps to the same folders as the program does.
    const bool sessionSet = qEnvironmentVariableIsSet("XDG_RUNTIME_DIR");
    const QByteArray session = qgetenv("XDG_RUNTIME_DIR");
    if (session.isEmpty()) {
        const files::PrivateFolder own = files::privateFolder();
        if (own.problem == files::PrivateFolder::Problem::None)
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(own.path));
    }
    QGuiApplication app(argc, argv);
    if (session.isEmpty()) {
        if (sessionSet)
            qputenv("XDG_RUNTIME_DIR", session);
        else
            qunsetenv("XDG_RUNTIME_DIR");
    }
    QTextStream out(stdout);
    QTextStream err(stderr);
    wordengine::EngineApplicationFactory engine;
    // The script's document in the temporary folder is read back for the outputs and removed:
    // the outputs are flushed to the disk, that scratch copy need not be.
    wordengine::SaveOptions scratch;
    scratch.durable = false;
    engine.setSaveOptions(scratch);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    return BillCommand::run(arguments, engine, out, err, ::isatty(STDERR_FILENO) == 1);
}
