// vantorel --help and --version, answered before any window or engine exists; every other
// argument is left to the program and Qt.
#include "HelpAndVersion.h"
#include "ProgramIdentity.h"

#include <QTextStream>
#include <gtest/gtest.h>

TEST(HelpAndVersion, HelpFirstThenVersionEverythingElseLeftToQt) {
    const QString version = QStringLiteral("vantorel %1\n").arg(QLatin1String(programVersion));
    const struct {
        const char* arguments; // split at spaces
        std::optional<int> status;
        QString begins; // what is printed begins so
    } cases[] = {
        {"--version", 0, version},
        {"--version --help", 0, "Usage: vantorel "},
        {"-h", 0, "Usage: vantorel "},
        {"", std::nullopt, ""},
        {"-platform offscreen --style=fusion -reverse", std::nullopt, ""},
    };
    for (const auto& c : cases) {
        QString printed;
        QTextStream out(&printed);
        EXPECT_EQ(answerHelpOrVersion(
                      QString::fromLatin1(c.arguments).split(u' ', Qt::SkipEmptyParts), out),
                  c.status)
            << c.arguments;
        out.flush();
        EXPECT_TRUE(c.begins.isEmpty() || printed.startsWith(c.begins)) << printed.toStdString();
        EXPECT_EQ(printed.isEmpty(), !c.status);
        if (printed.startsWith(QLatin1String("Usage"))) {
            EXPECT_TRUE(printed.contains(QStringLiteral("--version")));
            EXPECT_TRUE(printed.contains(QStringLiteral("vantorel-bill")));
        }
    }
}
