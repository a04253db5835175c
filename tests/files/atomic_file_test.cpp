#include "AtomicFile.h"
#include "SmallDisk.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cerrno>
#include <gtest/gtest.h>
#include <sys/stat.h>

using files::AtomicFile;
using files::AtomicOptions;
using files::Step;

namespace {

QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

mode_t modeOf(const QString& path) {
    struct stat st {};
    ::lstat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & 07777;
}

struct FaultHookGuard {
    explicit FaultHookGuard(AtomicFile::FaultHook hook) { AtomicFile::setFaultHook(hook); }
    ~FaultHookGuard() { AtomicFile::setFaultHook({}); }
};

} // namespace

TEST(AtomicFile, NewFileIsPrivateAndWhole) {
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("new.doc"));
    QString why;
    ASSERT_TRUE(files::writeFileAtomically(target, "hello", &why)) << why.toStdString();
    EXPECT_EQ(contents(target), QByteArray("hello"));
    EXPECT_EQ(modeOf(target), mode_t(0600));
    EXPECT_EQ(entries(dir.path()), QStringList{QStringLiteral("new.doc")});
}

TEST(AtomicFile, ReplacingKeepsTheOldFilesPermissions) {
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("shared.doc"));
    putFile(target, "old");
    ASSERT_EQ(::chmod(QFile::encodeName(target).constData(), 0640), 0);
    ASSERT_TRUE(files::writeFileAtomically(target, "new", nullptr));
    EXPECT_EQ(contents(target), QByteArray("new"));
    EXPECT_EQ(modeOf(target), mode_t(0640));
}

// Every step that can fail on a full or failing disk leaves the old file exactly as it was,
// leaves no stray file beside it and says which file could not be written.
TEST(AtomicFile, AFailureAtAnyStepKeepsTheOldFile) {
    for (const Step failing : {Step::Create, Step::Write, Step::Sync, Step::Close, Step::Publish}) {
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("keep.ini"));
        putFile(target, "old contents");
        FaultHookGuard guard(
            [failing](Step step, const QString&) { return step == failing ? ENOSPC : 0; });
        AtomicFile file(target);
        const bool done = file.open() && file.write(QByteArray(100000, 'x')) && file.commit();
        EXPECT_FALSE(done) << int(failing);
        EXPECT_EQ(file.errorCode(), ENOSPC) << int(failing);
        EXPECT_EQ(file.failedStep(), failing);
        EXPECT_TRUE(file.errorString().contains(target)) << file.errorString().toStdString();
        EXPECT_EQ(contents(target), QByteArray("old contents")) << int(failing);
        EXPECT_EQ(entries(dir.path()), QStringList{QStringLiteral("keep.ini")}) << int(failing);
    }
}

TEST(AtomicFile, NotCommittedLeavesNothing) {
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("never.pdf"));
    {
        AtomicFile file(target);
        ASSERT_TRUE(file.open());
        ASSERT_TRUE(file.write("half"));
    }
    EXPECT_TRUE(entries(dir.path()).isEmpty());
}

TEST(AtomicFile, ALinkAtTheTargetIsReplacedAndWhatItPointsToIsUntouched) {
    QTemporaryDir dir;
    QTemporaryDir elsewhere;
    const QString victim = elsewhere.filePath(QStringLiteral("victim"));
    putFile(victim, "keep");
    ASSERT_EQ(::chmod(QFile::encodeName(victim).constData(), 0444), 0);
    const QString target = dir.filePath(QStringLiteral("out.doc"));
    ASSERT_TRUE(QFile::link(victim, target));
    ASSERT_TRUE(files::writeFileAtomically(target, "new", nullptr));
    EXPECT_FALSE(QFileInfo(target).isSymLink());
    EXPECT_EQ(contents(target), QByteArray("new"));
    EXPECT_EQ(contents(victim), QByteArray("keep"));
    EXPECT_EQ(modeOf(victim), mode_t(0444));
}

TEST(AtomicFile, WithoutReplaceAnExistingNameIsNeverTaken) {
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("wendlo12345678.doc"));
    putFile(target, "someone else's");
    AtomicOptions options;
    options.replace = false;
    AtomicFile file(target, options);
    ASSERT_TRUE(file.open());
    ASSERT_TRUE(file.write("ours"));
    EXPECT_FALSE(file.commit());
    EXPECT_EQ(file.errorCode(), EEXIST);
    EXPECT_EQ(contents(target), QByteArray("someone else's"));
    EXPECT_EQ(entries(dir.path()), QStringList{QStringLiteral("wendlo12345678.doc")});

    const QString free = dir.filePath(QStringLiteral("wendlo87654321.doc"));
    EXPECT_TRUE(files::writeFileAtomically(free, "ours", nullptr, options));
    EXPECT_EQ(contents(free), QByteArray("ours"));
}

TEST(AtomicFile, CopyMakesAWholeCopyAndCopyOntoItselfKeepsTheFile) {
    QTemporaryDir dir;
    const QString from = dir.filePath(QStringLiteral("from.doc"));
    const QByteArray bytes(3 << 20, 'b'); // more than one chunk
    putFile(from, bytes);
    const QString to = dir.filePath(QStringLiteral("to.doc"));
    QString why;
    ASSERT_TRUE(files::copyFileAtomically(from, to, &why)) << why.toStdString();
    EXPECT_EQ(contents(to), bytes);
    ASSERT_TRUE(files::copyFileAtomically(from, from, &why));
    EXPECT_EQ(contents(from), bytes);
}

TEST(AtomicFile, FailedCopiesSayWhatFailed) {
    QTemporaryDir dir;
    const QString from = dir.filePath(QStringLiteral("from.doc"));
    putFile(from, "doc");
    QString why;
    EXPECT_FALSE(files::copyFileAtomically(dir.filePath(QStringLiteral("missing.doc")),
                                           dir.filePath(QStringLiteral("to.doc")), &why));
    EXPECT_TRUE(why.startsWith(QStringLiteral("cannot read"))) << why.toStdString();
    EXPECT_FALSE(
        files::copyFileAtomically(from, dir.filePath(QStringLiteral("no/such/to.doc")), &why));
    EXPECT_TRUE(why.startsWith(QStringLiteral("cannot write"))) << why.toStdString();
}

// The same promise on a disk that is really full: the old file stays, nothing is left beside
// it, and the failure is the disk's.
TEST(AtomicFile, OnAFullDiskTheOldFileStays) {
    SmallDisk disk(64 * 1024);
    if (!disk.available())
        GTEST_SKIP() << "mounting a small file system needs root; the injected faults above "
                        "cover the same steps";
    const QString target = disk.filePath(QStringLiteral("Marrowind.ini"));
    putFile(target, "[Vantorel]\nMake=Ford\n");
    disk.fill(1024);
    QString why;
    EXPECT_FALSE(files::writeFileAtomically(target, QByteArray(32 * 1024, 'x'), &why));
    EXPECT_TRUE(why.contains(QStringLiteral("No space left"))) << why.toStdString();
    EXPECT_EQ(contents(target), QByteArray("[Vantorel]\nMake=Ford\n"));
    EXPECT_EQ(entries(disk.path()),
              (QStringList{QStringLiteral(".filler"), QStringLiteral("Marrowind.ini")}));
}
