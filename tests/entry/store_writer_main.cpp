// Test helper: writes settings in a loop so that tests can kill it mid-burst or run two at
// once. Usage: store_writer FOLDER PREFIX COUNT
//   Writes keys PREFIX0 .. PREFIX15 in turn, COUNT writes in all (0: until killed), each value
//   "v<i>:" followed by a fixed padding, and prints "wrote <i>" after each write. A failed
//   write is printed and ends it with status 1. With STORE_WRITER_KILLED_AT=N it kills itself
//   with SIGKILL at step N (files::Step) of its first write.
#include "AtomicFile.h"
#include "Failure.h"
#include "SettingsStore.h"

#include <QCoreApplication>
#include <QTextStream>
#include <csignal>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4)
        return 2;
    SettingsStore store(args[1]);
    const QString prefix = args[2];
    const long count = args[3].toLong();
    const QString padding(200, QLatin1Char('#'));
    bool killAt = false;
    const int killedAt = qEnvironmentVariableIntValue("STORE_WRITER_KILLED_AT", &killAt);
    if (killAt)
        files::AtomicFile::setFaultHook([killedAt](files::Step step, const QString&) {
            return int(step) == killedAt ? ::raise(SIGKILL) : 0;
        });
    for (long i = 0; count == 0 || i < count; ++i) {
        try {
            store.write(QStringLiteral("Marrowind"), QStringLiteral("Vantorel"),
                        prefix + QString::number(i % 16), QStringLiteral("v%1:").arg(i) + padding);
        } catch (const Failure& failure) {
            std::fprintf(stderr, "%s\n", failure.what());
            return 1;
        }
        std::printf("wrote %ld\n", i);
        std::fflush(stdout);
    }
    return 0;
}
