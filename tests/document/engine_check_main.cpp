// Test helper: runs the start-up engine check against the real engine, with boxes answered
// and printed, so that a test can run it with the fonts taken away.
#include "EngineApplicationFactory.h"
#include "IsInstalled.h"
#include "ScriptedDialogs.h"

#include <QApplication>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantorel"));
    ScriptedDialogs dialogs;
    QTemporaryDir registry;
    wordengine::EngineApplicationFactory engine(registry.path());
    bool ended = false;
    IsInstalled::CheckWordInstalled(engine, [&] { ended = true; });
    for (const MessageRequest& box : dialogs.messages)
        std::printf("box [%s] icon %d buttons %d: %s\n", qPrintable(box.title), int(box.icon),
                    int(box.buttons), qPrintable(box.text));
    std::printf(ended ? "ended\n" : "went on\n");
    return ended ? 1 : 0;
}
