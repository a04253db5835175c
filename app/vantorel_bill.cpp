// vantorel-bill: the bill of sale from a JSON record, without the window.
#include "BillCommand.h"
#include "EngineApplicationFactory.h"

#include <QGuiApplication>
#include <QTextStream>
#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv) {
    // Fonts and page drawing need a GUI application, but never a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    wordengine::EngineApplicationFactory engine;
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    return BillCommand::run(arguments, engine, out, err, ::isatty(STDERR_FILENO) == 1);
}
