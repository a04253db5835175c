#include "AtomicFile.h"
#include "FileHold.h"
#include "Leftovers.h"
#include "SmallDisk.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cerrno>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

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

// A link at the target is written through, as a settings file linked in from a repository
// must be: the file it names is replaced in its own folder, keeping its permissions, and the
// link stays. A link that names nothing yet makes that file.
TEST(AtomicFile, ALinkAtTheTargetIsWrittenThroughAndKept) {
    struct {
        const char* name;
        const char* linkTo; // "@" stands for the other folder
        bool exists;        // whether the file finally named is there before
    } cases[] = {
        {"absolute", "@/real", true},
        {"relative", "../other/real", true},
        {"a link to a link", "@/second", true},
        {"dangling", "@/real", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir root;
        const QString dir = root.filePath(QStringLiteral("dir")), other = root.filePath("other");
        ASSERT_TRUE(QDir().mkpath(dir) && QDir().mkpath(other));
        const QString real = other + QStringLiteral("/real");
        if (c.exists) {
            putFile(real, "old");
            ASSERT_EQ(::chmod(QFile::encodeName(real).constData(), 0640), 0);
        }
        ASSERT_TRUE(QFile::link(real, other + QStringLiteral("/second")));
        const QString target = dir + QStringLiteral("/out.doc");
        ASSERT_TRUE(QFile::link(QString::fromLatin1(c.linkTo).replace(u'@', other), target));
        QString why;
        ASSERT_TRUE(files::writeFileAtomically(target, "new", &why)) << why.toStdString();
        EXPECT_TRUE(QFileInfo(target).isSymLink());
        EXPECT_EQ(contents(real), QByteArray("new"));
        EXPECT_EQ(modeOf(real), mode_t(c.exists ? 0640 : 0600));
        EXPECT_EQ(entries(dir), QStringList{QStringLiteral("out.doc")});
        EXPECT_EQ(entries(other), (QStringList{QStringLiteral("real"), QStringLiteral("second")}));
    }
}

// What is not a plain file, also at the end of a link, and a link planted by another user in
// a shared sticky folder, are refused with the reason and left exactly as they are.
TEST(AtomicFile, WhatIsNotAPlainFileIsRefusedAndLeftAsItIs) {
    QTemporaryDir dir;
    const auto node = [&](const char* name) { return dir.filePath(QString::fromLatin1(name)); };
    ASSERT_EQ(::mkfifo(QFile::encodeName(node("fifo")).constData(), 0600), 0);
    ASSERT_TRUE(QDir().mkdir(node("folder")));
    ASSERT_TRUE(QFile::link(node("fifo"), node("link-to-fifo")));
    QStringList refused{node("fifo"), node("folder"), node("link-to-fifo")};
    // As root: a device (/dev/full's numbers), and another user's link in a folder like /tmp.
    if (::mknod(QFile::encodeName(node("device")).constData(), S_IFCHR | 0600, makedev(1, 7)) == 0)
        refused << node("device");
    putFile(node("theirs"), "theirs");
    ASSERT_TRUE(QDir().mkdir(node("shared")));
    ASSERT_TRUE(QFile::link(node("theirs"), node("shared/planted")));
    if (::chmod(QFile::encodeName(node("shared")).constData(), 01777) == 0 &&
        ::lchown(QFile::encodeName(node("shared/planted")).constData(), 12345, 12345) == 0)
        refused << node("shared/planted");
    const QStringList before = entries(dir.path());
    for (const QString& target : refused) {
        struct stat was {
        }, is{};
        ::lstat(QFile::encodeName(target).constData(), &was);
        QString why;
        EXPECT_FALSE(files::writeFileAtomically(target, "new", &why)) << target.toStdString();
        EXPECT_TRUE(why.contains(target) && why.endsWith(QStringLiteral("left as it is")))
            << why.toStdString();
        ::lstat(QFile::encodeName(target).constData(), &is);
        EXPECT_EQ(is.st_mode, was.st_mode) << target.toStdString();
        EXPECT_EQ(is.st_ino, was.st_ino) << target.toStdString();
    }
    EXPECT_EQ(entries(dir.path()), before);
    EXPECT_EQ(contents(node("theirs")), QByteArray("theirs"));
}

// The files a killed writer left (unheld, ours in name, kind and owner) go at the next write
// into their folder; a file still held by its process, one published and kept (FileHold), and
// anything that is not ours in every way stay.
TEST(AtomicFile, TheNextWriteRemovesOnlyUnheldLeftoversOfOurs) {
    QTemporaryDir dir;
    const auto name = [&](const char* n) { return dir.filePath(QString::fromLatin1(n)); };
    putFile(name(".vantorel-0123456789abcdef.tmp"), "killed");
    const QString held = putFile(name(".vantorel-fedcba9876543210.tmp"), "being written");
    QFile holder(held);
    ASSERT_TRUE(holder.open(QIODevice::ReadOnly));
    ASSERT_EQ(::flock(holder.handle(), LOCK_EX), 0);
    putFile(name(".vantorel-notours.tmp"), "not our name");
    putFile(name("keep.doc"), "the user's");
    ASSERT_EQ(::mkfifo(QFile::encodeName(name(".vantorel-00000000000000ff.tmp")).constData(), 0600),
              0);
    ASSERT_TRUE(QFile::link(name("keep.doc"), name(".vantorel-00000000000000aa.tmp")));
    putFile(name(".vantorel-00000000000000bb.tmp"), "another user's");
    const bool root = ::chown(QFile::encodeName(name(".vantorel-00000000000000bb.tmp")).constData(),
                              12345, 12345) == 0;
    if (!root)
        QFile::remove(name(".vantorel-00000000000000bb.tmp"));
    QStringList expected = entries(dir.path());
    expected.removeOne(QStringLiteral(".vantorel-0123456789abcdef.tmp"));

    files::FileHold kept(name("wendlo12345678.doc"));
    ASSERT_TRUE(files::writeFileAtomically(name("wendlo12345678.doc"), "shown", nullptr));
    EXPECT_TRUE(kept.held());
    expected << QStringLiteral("wendlo12345678.doc");
    expected.sort();
    EXPECT_EQ(entries(dir.path()), expected);

    const auto documents = [](const QString& n) { return n.startsWith(QStringLiteral("wendlo")); };
    EXPECT_EQ(files::removeLeftovers(dir.path(), documents), 0); // all held or not ours
    kept.release();
    EXPECT_EQ(files::removeLeftovers(dir.path(), documents), 1);
    EXPECT_FALSE(QFile::exists(name("wendlo12345678.doc")));
    EXPECT_EQ(contents(held), QByteArray("being written"));
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
