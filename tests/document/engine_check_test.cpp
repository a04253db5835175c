// The engine check at start, against the real engine, with and without its fonts.
#include "IsInstalled.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct CheckRun {
    int exitCode;
    QString output;
};

CheckRun check(const QString& fontDir) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!fontDir.isNull())
        env.insert(QStringLiteral("VANTOREL_FONT_DIR"), fontDir);
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(ENGINE_CHECK_PATH), {});
    process.waitForFinished(-1);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput())};
}

TEST(EngineCheck, PassesSilentlyWithTheFontsInstalled) {
    const CheckRun run = check(QString());
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, QStringLiteral("went on\n"));
}

TEST(EngineCheck, WithoutAFontForArialTheProgramIsToldToEnd) {
    QTemporaryDir empty;
    const CheckRun run = check(empty.path());
    EXPECT_EQ(run.exitCode, 1);
    const QString expectedBox = QStringLiteral("box [Vantorel] icon 0 buttons 0: ") +
                                IsInstalled::wordMissingMessage() + QStringLiteral("\nended\n");
    EXPECT_EQ(run.output, expectedBox);
}

} // namespace
