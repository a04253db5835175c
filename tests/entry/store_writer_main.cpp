// Test helper: writes settings in a loop so that tests can kill it mid-burst or run two at
// once. Usage: store_writer FOLDER PREFIX COUNT
//   Writes keys PREFIX0 .. PREFIX15 in turn, COUNT writes in all (0: until killed), each value
//   "v<i>:" followed by a fixed padding, and prints "wrote <i>" after each write.
#include "SettingsStore.h"

#include <QCoreApplication>
#include <QTextStream>
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
    for (long i = 0; count == 0 || i < count; ++i) {
        store.write(QStringLiteral("Marrowind"), QStringLiteral("Vantorel"),
                    prefix + QString::number(i % 16), QStringLiteral("v%1:").arg(i) + padding);
        std::printf("wrote %ld\n", i);
        std::fflush(stdout);
    }
    return 0;
}
