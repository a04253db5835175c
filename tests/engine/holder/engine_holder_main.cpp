// A second process for the "get running" tests: starts an engine application registered in
// the folder named by its argument, says "ready", keeps the application until its standard
// input closes, then quits it and says "quit".
#include "Engine.h"

#include <QGuiApplication>
#include <cstdio>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication qt(argc, argv);
    if (argc != 2) {
        std::cerr << "usage: engine_holder <registry folder>\n";
        return 2;
    }
    wordengine::EngineApplicationFactory factory(QString::fromLocal8Bit(argv[1]));
    try {
        auto application = factory.CreateNew();
        std::cout << "ready" << std::endl;
        std::string line;
        while (std::getline(std::cin, line)) {
        }
        application->Quit();
        std::cout << "quit" << std::endl;
    } catch (const word::Error& e) {
        std::cout << "failed: " << e.what() << std::endl;
        return 1;
    }
    return 0;
}
