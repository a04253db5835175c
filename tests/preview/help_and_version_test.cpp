// vantorel --help and --version, answered before any window or engine exists.
#include "HelpAndVersion.h"
#include "ProgramIdentity.h"

#include <QTextStream>
#include <gtest/gtest.h>

namespace {

std::optional<int> answer(const QStringList& arguments, QString& printed) {
    QTextStream out(&printed);
    return answerHelpOrVersion(arguments, out);
}

TEST(HelpAndVersion, VersionIsTheProjectsOwn) {
    QString printed;
    EXPECT_EQ(answer({QStringLiteral("--version")}, printed), 0);
    EXPECT_EQ(printed, QStringLiteral("vantorel %1\n").arg(QLatin1String(programVersion)));
}

TEST(HelpAndVersion, HelpComesFirstAndNamesTheOptions) {
    for (const QString& help : {QStringLiteral("--help"), QStringLiteral("-h")}) {
        QString printed;
        EXPECT_EQ(answer({QStringLiteral("--version"), help}, printed), 0);
        EXPECT_TRUE(printed.startsWith(QStringLiteral("Usage: vantorel ")))
            << printed.toStdString();
        EXPECT_TRUE(printed.contains(QStringLiteral("--version")));
        EXPECT_TRUE(printed.contains(QStringLiteral("vantorel-bill")));
    }
}

TEST(HelpAndVersion, EverythingElseIsLeftToTheProgramAndQt) {
    QString printed;
    EXPECT_EQ(answer({}, printed), std::nullopt);
    EXPECT_EQ(answer({QStringLiteral("-platform"), QStringLiteral("offscreen"),
                      QStringLiteral("--style=fusion"), QStringLiteral("-reverse")},
                     printed),
              std::nullopt);
    EXPECT_TRUE(printed.isEmpty());
}

} // namespace
