// Vantorel: the entry window, the document engine behind it, and the preview.
#include "EngineApplicationFactory.h"
#include "Form2.h"
#include "HelpAndVersion.h"
#include "Leftovers.h"
#include "Program.h"
#include "ProgramIdentity.h"
#include "QtDialogs.h"
#include "SettingsStore.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

namespace {

// For start-up measurements: leave as soon as the window has been painted once.
class QuitOnFirstPaint : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
        return QObject::eventFilter(watched, event);
    }
};

// The program from the entry window's first show to its end; everything of the program's own
// has ended when it returns.
int runProgram(QApplication& app) {
    wordengine::EngineApplicationFactory engine;
    // Unfinished writes of runs that were killed; the store's own writes clean it again only
    // once something is typed.
    files::removeLeftovers(SettingsStore::user().folder());
    Program program(engine, Form1::storeServices(), Form2::storeServices(SettingsStore::user()));
    if (!program.start())
        return 1; // the engine check has told the user; the window is never shown
    program.entry().show();

    QuitOnFirstPaint quitOnPaint;
    if (qEnvironmentVariableIsSet("VANTOREL_EXIT_WHEN_SHOWN"))
        program.entry().installEventFilter(&quitOnPaint);
    return app.exec();
}

} // namespace

int main(int argc, char** argv) {
    if (const std::optional<int> answered = answerHelpOrVersion(argc, argv))
        return *answered;
    QApplication app(argc, argv);
    useQtDialogsByDefault();
    QApplication::setApplicationName(QStringLiteral("Vantorel"));
    QGuiApplication::setDesktopFileName(QString::fromLatin1(desktopId));
    const int status = runProgram(app);
    // Closing its Wayland connection, Debian 12's Qt (6.4) now and then waits for good on its
    // event thread, which waits on a read the main thread prepared: the program would live on
    // unseen. Its own work is done, so on Wayland it ends without Qt's teardown.
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}
