// GoogleTest entry point for tests that need a Qt application object (fonts, pictures,
// widgets). Runs on the offscreen platform unless told otherwise. ctest pins QT_QPA_PLATFORM
// to offscreen for every test, so that a developer's desktop never gets test windows; a run
// that means to use another window system on purpose names it in VANTOREL_TEST_PLATFORM.
#include <QtGlobal>
#ifdef VANTOREL_TEST_WIDGETS
#include "QtDialogs.h"

#include <QApplication>
using TestApplication = QApplication;
#else
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#endif

#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsEmpty("VANTOREL_TEST_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", qgetenv("VANTOREL_TEST_PLATFORM"));
    else if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TestApplication app(argc, argv);
#ifdef VANTOREL_TEST_WIDGETS
    useQtDialogsByDefault(); // as the program does
#endif
    ::testing::InitGoogleTest(&argc, argv);
    const int status = RUN_ALL_TESTS();
    // As the program does (app/main.cpp): Qt 6.4 may hang for good closing a Wayland connection.
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}
