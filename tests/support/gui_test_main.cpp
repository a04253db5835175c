// GoogleTest entry point for tests that need a Qt application object (fonts, pictures,
// widgets). Runs on the offscreen platform unless told otherwise. ctest pins QT_QPA_PLATFORM
// to offscreen for every test, so that a developer's desktop never gets test windows; a run
// that means to use another window system on purpose names it in VANTOREL_TEST_PLATFORM.
#include <QtGlobal>
#ifdef VANTOREL_TEST_WIDGETS
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#endif

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsEmpty("VANTOREL_TEST_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", qgetenv("VANTOREL_TEST_PLATFORM"));
    else if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TestApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
