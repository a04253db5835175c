#include "Failure.h"
#include "Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

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

unsigned modeOf(const QString& path) {
    struct stat status;
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & 07777
                                                                      : 0xffffu;
}

// TEMP unset or empty: a private folder of the user's, in the session's runtime folder when
// that is private, else in the platform's temporary folder; never the shared folder itself.
class TemporaryFolder : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root.isValid());
        qunsetenv("TEMP");
        qunsetenv("XDG_RUNTIME_DIR");
        qputenv("TMPDIR", QFile::encodeName(root.path()));
    }
    EnvGuard temp{"TEMP"}, runtime{"XDG_RUNTIME_DIR"}, tmpdir{"TMPDIR"};
    QTemporaryDir root;
    const QString own = root.filePath(QStringLiteral("vantorel-%1").arg(::geteuid()));
};

TEST_F(TemporaryFolder, IsTempWhenSetAndNotEmpty) {
    qputenv("TEMP", "/some/where");
    EXPECT_EQ(temporaryFolder(), QStringLiteral("/some/where"));
}

TEST_F(TemporaryFolder, WithoutTempIsAPrivateFolderOfTheUsers) {
    const QString session = root.filePath(QStringLiteral("session"));
    ASSERT_TRUE(QDir().mkdir(session));
    ASSERT_EQ(::chmod(QFile::encodeName(session).constData(), 0700), 0);
    const QString shared = root.filePath(QStringLiteral("shared"));
    ASSERT_TRUE(QDir().mkdir(shared));
    ASSERT_EQ(::chmod(QFile::encodeName(shared).constData(), 0777), 0);
    struct {
        const char* temp; // nullptr: unset
        QString runtime;  // empty: unset
        QString expected;
    } cases[] = {
        {nullptr, QString(), own},
        {"", QString(), own},
        {nullptr, session, session + QStringLiteral("/vantorel")},
        {"", session, session + QStringLiteral("/vantorel")},
        {nullptr, shared, own},                                   // not private: not used
        {nullptr, root.filePath(QStringLiteral("missing")), own}, // not there
        {nullptr, QStringLiteral("relative/run"), own},
    };
    for (const auto& c : cases) {
        if (c.temp)
            qputenv("TEMP", c.temp);
        else
            qunsetenv("TEMP");
        if (c.runtime.isEmpty())
            qunsetenv("XDG_RUNTIME_DIR");
        else
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(c.runtime));
        EXPECT_EQ(temporaryFolder(), c.expected) << c.runtime.toStdString();
        EXPECT_EQ(modeOf(c.expected), 0700u);
        EXPECT_EQ(temporaryFolder(), c.expected); // a second time: the folder is reused
    }
}

// Something already at the private folder's name that is not the user's own private folder
// is refused with a report that names it, never used.
TEST_F(TemporaryFolder, RefusesAFolderThatIsNotPrivate) {
    QTemporaryDir elsewhere;
    const auto refusal = [] {
        try {
            temporaryFolder();
        } catch (const Failure& f) {
            return f.description();
        }
        return QStringLiteral("no failure");
    };
    struct {
        const char* name;
        std::function<void()> plant;
        const char* why;
    } cases[] = {
        {"open to others",
         [&] {
             QDir().mkdir(own);
             ::chmod(QFile::encodeName(own), 0755);
         },
         "other users can open it (permissions 755, not 700)"},
        {"a link", [&] { QFile::link(elsewhere.path(), own); }, "it is a link, not a folder"},
        {"a file",
         [&] {
             QFile f(own);
             f.open(QIODevice::WriteOnly);
         },
         "it is not a folder"},
        {"another user's",
         [&] {
             QDir().mkdir(own);
             ::chmod(QFile::encodeName(own), 0700);
             [[maybe_unused]] const int r = ::chown(QFile::encodeName(own), 65534, 65534);
         },
         "it belongs to another user"},
    };
    for (const auto& c : cases) {
        if (std::string(c.name) == "another user's" && ::geteuid() != 0)
            continue; // only root can give a folder away
        c.plant();
        EXPECT_EQ(refusal(), QStringLiteral("The temporary folder %1 is not private to you: %2. "
                                            "Remove it or set TEMP to a folder of your own.")
                                 .arg(own, QString::fromLatin1(c.why)))
            << c.name;
        QFile::remove(own);
        QDir().rmdir(own);
    }
}

} // namespace
