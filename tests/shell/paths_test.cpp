#include "Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class EnvGuard {
public:
    explicit EnvGuard(const char* name)
        : var(name), had(qEnvironmentVariableIsSet(name)), old(qgetenv(name)) {}
    ~EnvGuard() {
        if (had)
            qputenv(var, old);
        else
            qunsetenv(var);
    }

private:
    const char* var;
    bool had;
    QByteArray old;
};

TEST(FileExists, AnswersQuietlyForEveryKindOfPath) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath(QStringLiteral("a.doc"));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    const QString unreadableDir = dir.filePath(QStringLiteral("locked"));
    ASSERT_TRUE(QDir().mkdir(unreadableDir));

    struct {
        QString path;
        bool expected;
    } cases[] = {
        {file, true},
        {dir.path(), true},
        {dir.filePath(QStringLiteral("missing.doc")), false},
        {dir.filePath(QStringLiteral("no/such/folder/a.doc")), false},
        {QString(), false},
        {QStringLiteral("   "), false},
        {file + QChar(0) + QStringLiteral("x"), false},
        {QStringLiteral("\\wendlo12345678.doc"), false},
        {QString(5000, QLatin1Char('x')), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FileExists(c.path), c.expected) << c.path.left(80).toStdString();
}

TEST(ProgramFolder, IsTheExecutablesFolderWithoutATrailingSeparator) {
    const QString folder = programFolder();
    EXPECT_EQ(folder, QCoreApplication::applicationDirPath());
    EXPECT_FALSE(folder.endsWith(QLatin1Char('/')));
    EXPECT_EQ(inProgramFolder(QStringLiteral("HAND-M.CUR")),
              folder + QStringLiteral("/HAND-M.CUR"));
}

TEST(TemporaryFolder, IsTempWhenSetAndNotEmpty) {
    EnvGuard guard("TEMP");
    qputenv("TEMP", "/some/where");
    EXPECT_EQ(temporaryFolder(), QStringLiteral("/some/where"));
    qputenv("TEMP", "");
    EXPECT_EQ(temporaryFolder(), QDir::tempPath());
    qunsetenv("TEMP");
    EXPECT_EQ(temporaryFolder(), QDir::tempPath());
}

} // namespace
