// The temporary document saved through the real engine: never over a file that appears
// under the drawn name, always private, and a temporary folder that is not private reported.
#include "AtomicFile.h"
#include "EngineApplicationFactory.h"
#include "MotorVehicleBill.h"
#include "SaleRecordSource.h"
#include "ScriptedDialogs.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <deque>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace MotorVehicleBill;

namespace {

DigitSource digitsInOrder(std::deque<int> digits) {
    auto queue = std::make_shared<std::deque<int>>(std::move(digits));
    return [queue] {
        const int d = queue->front();
        queue->pop_front();
        return d;
    };
}

class TemporarySave : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(temp.isValid());
        oldTemp = qgetenv("TEMP");
        oldTmpdir = qgetenv("TMPDIR");
        qputenv("TEMP", QFile::encodeName(temp.path()));
    }
    void TearDown() override {
        files::AtomicFile::setFaultHook({});
        qputenv("TEMP", oldTemp);
        qputenv("TMPDIR", oldTmpdir);
    }
    QString inTemp(const char* name) const { return temp.filePath(QString::fromLatin1(name)); }

    QTemporaryDir temp, registry;
    QByteArray oldTemp, oldTmpdir;
    ScriptedDialogs dialogs;
    wordengine::EngineApplicationFactory engine{registry.path()};
    FixedRecord record = FixedRecord::sample();
};

unsigned modeOf(const QString& path) {
    struct stat status;
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & 07777
                                                                      : 0xffffu;
}

// A file appears under the drawn name after the check and before the file is published:
// it stays as it was, and the document goes under a newly drawn name.
TEST_F(TemporarySave, ANameTakenBeforeTheSaveIsDrawnAgain) {
    const QString first = inTemp("wendlo11111111.doc");
    files::AtomicFile::setFaultHook([&](files::Step step, const QString& target) {
        if (step == files::Step::Publish && target == first && !QFile::exists(first)) {
            QFile planted(first);
            planted.open(QIODevice::WriteOnly);
            planted.write("someone else's");
        }
        return 0;
    });
    const Generation result = GenerateMotorVehicle(
        engine, record, {}, digitsInOrder({1, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 2, 2}));
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(result.path, inTemp("wendlo22222222.doc"));
    QFile planted(first);
    ASSERT_TRUE(planted.open(QIODevice::ReadOnly));
    EXPECT_EQ(planted.readAll(), QByteArray("someone else's"));
    EXPECT_GT(QFileInfo(result.path).size(), 1000);
    EXPECT_EQ(modeOf(result.path), 0600u);
}

// TEMP unset and the private folder's name taken by a folder others can open: the save is
// refused and the report says why, at the line that works out the path.
TEST_F(TemporarySave, AFolderThatIsNotPrivateIsReported) {
    qunsetenv("TEMP");
    const QByteArray oldRuntime = qgetenv("XDG_RUNTIME_DIR");
    qunsetenv("XDG_RUNTIME_DIR");
    qputenv("TMPDIR", QFile::encodeName(temp.path()));
    const QString shared = inTemp("vantorel-") + QString::number(::geteuid());
    ASSERT_TRUE(QDir().mkdir(shared));
    ASSERT_EQ(::chmod(QFile::encodeName(shared).constData(), 0777), 0);
    GenerateMotorVehicle(engine, record, {}, digitsInOrder({1, 2, 3, 4, 5, 6, 7, 8}));
    qputenv("XDG_RUNTIME_DIR", oldRuntime);
    ASSERT_FALSE(dialogs.messages.empty());
    const QString report = dialogs.messages.front().text;
    EXPECT_TRUE(report.contains(
        QStringLiteral("The temporary folder %1 is not private to you").arg(shared)))
        << report.toStdString();
    EXPECT_TRUE(report.contains(QStringLiteral("at line 424"))) << report.toStdString();
    EXPECT_TRUE(QDir(shared).isEmpty());
}

} // namespace
