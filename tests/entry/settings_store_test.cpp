#include "AtomicFile.h"
#include "Failure.h"
#include "SettingsStore.h"
#include "SmallDisk.h"
#include "TestSizes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>

namespace {

const QString app = QStringLiteral("Marrowind");

QByteArray contentsOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}
const QString section = QStringLiteral("Vantorel");

class Store : public ::testing::Test {
protected:
    QTemporaryDir dir;
    SettingsStore store{dir.path()};

    QString read(const QString& key, const QString& def = {}) const {
        return store.read(app, section, key, def);
    }
    void write(const QString& key, const QString& value) { store.write(app, section, key, value); }
    void putFile(const QByteArray& bytes) {
        QFile f(store.filePath(app));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
};

TEST_F(Store, EveryTypableValueComesBackExactly) {
    const QString values[] = {
        QString(),
        QStringLiteral("$2900.00"),
        QStringLiteral("55,000"),
        QStringLiteral("  blanks both sides  "),
        QStringLiteral("\"quoted\" and 'single'"),
        QStringLiteral("= ; % # [section] key=value"),
        QStringLiteral("back\\slash\\\\"),
        QStringLiteral("line one\nline two\r\nthree\rfour"),
        QStringLiteral("\ttabbed\t"),
        QStringLiteral("@Variant(garbage)"),
        QStringLiteral("@@"),
        QStringLiteral("a,b,c"),
        QStringLiteral("Кирилл العربية 漢字 😀🚗"),
        QStringLiteral("true"),
        QStringLiteral("0x1F"),
        QString(largeValueLength, QChar(0x00E9)),
    };
    int n = 0;
    for (const QString& value : values)
        write(QStringLiteral("Key %1").arg(n++), value);
    // A fresh store object reads the file from disk.
    SettingsStore again(dir.path());
    n = 0;
    for (const QString& value : values) {
        const QString back =
            again.read(app, section, QStringLiteral("Key %1").arg(n++), QStringLiteral("<absent>"));
        EXPECT_EQ(back, value) << "value " << n - 1;
    }
}

TEST_F(Store, AbsentAndEmptyKeys) {
    EXPECT_EQ(read(QStringLiteral("Make"), QStringLiteral("dflt")), QStringLiteral("dflt"));
    EXPECT_EQ(read(QStringLiteral("Make")), QString());
    write(QStringLiteral("Make"), QString());
    EXPECT_EQ(read(QStringLiteral("Make"), QStringLiteral("dflt")), QString()); // stored empty
    EXPECT_EQ(store.read(app, QStringLiteral("Other"), QStringLiteral("Make"), QStringLiteral("d")),
              QStringLiteral("d"));
    EXPECT_EQ(
        store.read(QStringLiteral("Nobody"), section, QStringLiteral("Make"), QStringLiteral("d")),
        QStringLiteral("d"));
}

TEST_F(Store, KeysAreSeparate) {
    write(QStringLiteral("Title"), QStringLiteral("T-1"));
    write(QStringLiteral("VIN"), QStringLiteral("V-1"));
    write(QStringLiteral("Title"), QStringLiteral("T-2"));
    EXPECT_EQ(read(QStringLiteral("Title")), QStringLiteral("T-2"));
    EXPECT_EQ(read(QStringLiteral("VIN")), QStringLiteral("V-1"));
}

TEST_F(Store, BadFilesReadAsDefaultsWithoutCrashing) {
    static const char binary[] = "\x00\x01\x02\xff\xfe some garbage \x00";
    const QByteArray garbage[] = {
        QByteArray(),
        QByteArray(binary, sizeof binary - 1),
        QByteArray("[Vantorel\nMake=Ford\n=\n[[[\n"),
        QByteArray("[Vantorel]\nMake=\"unterminated\n"),
        QByteArray(100000, '['),
    };
    for (const QByteArray& bytes : garbage) {
        putFile(bytes);
        EXPECT_EQ(read(QStringLiteral("VIN"), QStringLiteral("d")), QStringLiteral("d"));
        // A write over a damaged file leaves a file that reads back what was written.
        write(QStringLiteral("VIN"), QStringLiteral("1G1"));
        EXPECT_EQ(read(QStringLiteral("VIN")), QStringLiteral("1G1"));
    }
}

TEST_F(Store, AFileThatIsAFolderReadsDefaultsAndFailsWrites) {
    ASSERT_TRUE(QDir().mkpath(store.filePath(app)));
    EXPECT_EQ(read(QStringLiteral("VIN"), QStringLiteral("d")), QStringLiteral("d"));
    EXPECT_THROW(write(QStringLiteral("VIN"), QStringLiteral("x")), Failure);
}

// A settings file linked in from the user's own repository (GNU Stow, chezmoi, home-manager)
// is written through: the file in the repository gets the value, the link stays.
TEST_F(Store, ASettingsFileLinkedFromARepositoryIsWrittenThrough) {
    QTemporaryDir repository;
    const QString real = repository.filePath(QStringLiteral("Marrowind.ini"));
    QFile file(real);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Other Program]\nPath=/opt/other\n");
    file.close();
    ASSERT_TRUE(QFile::link(real, store.filePath(app)));
    write(QStringLiteral("Make"), QStringLiteral("Ford"));
    EXPECT_TRUE(QFileInfo(store.filePath(app)).isSymLink());
    EXPECT_EQ(contentsOf(real), QByteArray("[Other Program]\nPath=/opt/other\n\n[Vantorel]\n"
                                           "Make=Ford\n"));
    EXPECT_EQ(QDir(repository.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("Marrowind.ini")});
}

class Unwritable : public Store {
protected:
    void SetUp() override {
        if (::geteuid() == 0)
            GTEST_SKIP() << "permissions do not bind root";
    }
};

TEST_F(Unwritable, FolderFailsTheWriteWithAClearDescriptionAndKeepsTheOldValue) {
    write(QStringLiteral("Make"), QStringLiteral("Ford"));
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    try {
        write(QStringLiteral("Make"), QStringLiteral("Opel"));
        ADD_FAILURE() << "the write should have failed";
    } catch (const Failure& f) {
        EXPECT_TRUE(f.description().contains(store.filePath(app))) << f.what();
        EXPECT_TRUE(f.description().contains(QStringLiteral("Make"))) << f.what();
    }
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(read(QStringLiteral("Make")), QStringLiteral("Ford"));
}

// A file the user made unreadable, or read-only to freeze it, is left exactly as it is; the
// write fails with the store's notice naming the file.
TEST_F(Unwritable, UnreadableOrReadOnlyFileIsNeitherOverwrittenNorChanged) {
    const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    for (const QFile::Permissions frozen : {QFile::Permissions(QFile::WriteOwner), readOnly}) {
        write(QStringLiteral("Make"), QStringLiteral("Ford"));
        const QByteArray before = contentsOf(store.filePath(app));
        QFile::setPermissions(store.filePath(app), frozen);
        EXPECT_EQ(read(QStringLiteral("Make"), QStringLiteral("d")),
                  frozen == readOnly ? QStringLiteral("Ford") : QStringLiteral("d"));
        try {
            write(QStringLiteral("Model"), QStringLiteral("T"));
            ADD_FAILURE() << "the write should have failed";
        } catch (const Failure& f) {
            EXPECT_TRUE(f.description().contains(store.filePath(app))) << f.what();
        }
        EXPECT_EQ(QFile::permissions(store.filePath(app)) & 0x7077, frozen); // not the user's
        QFile::setPermissions(store.filePath(app), QFile::ReadOwner | QFile::WriteOwner);
        EXPECT_EQ(contentsOf(store.filePath(app)), before);
    }
}

TEST(StoreFolder, MissingFolderIsCreatedAndAnImpossibleOneFails) {
    QTemporaryDir dir;
    SettingsStore nested(dir.filePath(QStringLiteral("a/b/c")));
    nested.write(app, section, QStringLiteral("Year"), QStringLiteral("1969"));
    EXPECT_EQ(nested.read(app, section, QStringLiteral("Year")), QStringLiteral("1969"));

    QFile blocker(dir.filePath(QStringLiteral("file")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    SettingsStore impossible(dir.filePath(QStringLiteral("file/sub")));
    EXPECT_THROW(impossible.write(app, section, QStringLiteral("Year"), QStringLiteral("1")),
                 Failure);
}

TEST(StoreFolder, AFolderNobodyCanWriteFailsTheWrite) {
    // /proc takes no new files, even from root.
    SettingsStore readOnly(QStringLiteral("/proc/self"));
    try {
        readOnly.write(app, section, QStringLiteral("Make"), QStringLiteral("Ford"));
        ADD_FAILURE() << "the write should have failed";
    } catch (const Failure& f) {
        EXPECT_TRUE(f.description().contains(QStringLiteral("/proc/self"))) << f.what();
    }
    EXPECT_EQ(readOnly.read(app, section, QStringLiteral("Make"), QStringLiteral("d")),
              QStringLiteral("d"));
}

// Every write reads and replaces the whole file, so past a bound a file is neither read nor
// written, and no write makes one that the store would not read again.
TEST_F(Store, AFileLargerThanTheStoreReadsIsLeftAsItIs) {
    struct Case {
        const char* name;
        qint64 size;
        const char* make;   // as read
        const char* failed; // what a failed write's description says; none: the write is done
    };
    const Case cases[] = {
        {"under the bound", SettingsStore::maxFileSize - 100, "Ford", nullptr},
        {"a write would pass it", SettingsStore::maxFileSize, "Ford", "would hold 16.1 MB"},
        {"past it", SettingsStore::maxFileSize + 1, "d", "holds 16.1 MB, more than the 16 MB"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray head = "[Vantorel]\nMake=Ford\n[Other Program]\nBlob=";
        const QByteArray before = head + QByteArray(c.size - head.size() - 1, 'b') + '\n';
        putFile(before);
        EXPECT_EQ(read(QStringLiteral("Make"), QStringLiteral("d")), QLatin1String(c.make));
        try {
            write(QStringLiteral("Model"), QStringLiteral("T"));
            EXPECT_FALSE(c.failed) << "the write should have failed";
            EXPECT_EQ(read(QStringLiteral("Model")), QStringLiteral("T"));
        } catch (const Failure& f) {
            ASSERT_TRUE(c.failed) << f.what();
            EXPECT_TRUE(f.description().contains(QLatin1String(c.failed))) << f.what();
            EXPECT_TRUE(f.description().contains(store.filePath(app))) << f.what();
            EXPECT_TRUE(contentsOf(store.filePath(app)) == before);
        }
    }
}

// On a full disk, or when any step of the write fails, the caller hears of it and the file
// holds exactly what it held: the other keys, and other programs' sections, are not lost.
TEST(StoreFullDisk, AFailedWriteKeepsTheFileAndIsReported) {
    const QByteArray before =
        "; shared\n[Other Program]\nPath=C:\\Other\n\n[Vantorel]\nMake=Ford\n";
    auto expectKept = [&](SettingsStore& store, const QString& why) {
        SCOPED_TRACE(why.toStdString());
        try {
            store.write(app, section, QStringLiteral("Model"),
                        QString(64 * 1024, QLatin1Char('x')));
            ADD_FAILURE() << "the write should have failed";
        } catch (const Failure& f) {
            EXPECT_TRUE(f.description().contains(QStringLiteral("Model"))) << f.what();
            EXPECT_TRUE(f.description().contains(store.filePath(app))) << f.what();
        }
        EXPECT_EQ(contentsOf(store.filePath(app)), before);
        EXPECT_EQ(QDir(store.folder()).entryList(QDir::Files | QDir::Hidden),
                  QStringList{QStringLiteral("Marrowind.ini")}
                      << QStringLiteral("Marrowind.ini.writelock"));
    };
    auto prepare = [&](const QString& folder) {
        QFile f(folder + QStringLiteral("/Marrowind.ini"));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(before);
    };

    SmallDisk disk(128 * 1024);
    if (disk.available()) {
        const QString folder = disk.filePath(QStringLiteral("store"));
        SettingsStore store(folder);
        store.write(app, section, QStringLiteral("Make"), QStringLiteral("Ford")); // lock file
        prepare(folder);
        disk.fill(4096);
        expectKept(store, QStringLiteral("a real full disk"));
    }

    const files::Step steps[] = {files::Step::Create, files::Step::Write, files::Step::Sync,
                                 files::Step::Close, files::Step::Publish};
    for (const files::Step step : steps) {
        QTemporaryDir dir;
        SettingsStore store(dir.path());
        store.write(app, section, QStringLiteral("Make"), QStringLiteral("Ford"));
        prepare(dir.path());
        files::AtomicFile::setFaultHook(
            [step](files::Step s, const QString&) { return s == step ? ENOSPC : 0; });
        expectKept(store, QStringLiteral("a fault at step %1").arg(int(step)));
        files::AtomicFile::setFaultHook({});
    }
}

TEST_F(Store, ANewFileAndFolderArePrivate) {
    SettingsStore nested(dir.filePath(QStringLiteral("config")));
    nested.write(app, section, QStringLiteral("VIN"), QStringLiteral("1G1"));
    EXPECT_EQ(QFileInfo(nested.folder()).permissions() & 0x0077, 0);
    EXPECT_EQ(QFileInfo(nested.filePath(app)).permissions() & 0x0077, 0);
}

TEST_F(Store, ALockFileLeftByAKilledWriterIsCleared) {
    QFile stale(store.filePath(app) + QStringLiteral(".lock"));
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly)); // empty, as a writer killed after creating it
    stale.close();
    write(QStringLiteral("Make"), QStringLiteral("Ford"));
    EXPECT_EQ(read(QStringLiteral("Make")), QStringLiteral("Ford"));
    EXPECT_FALSE(QFile::exists(stale.fileName()));
}

QProcess* startWriter(const QString& folder, const QString& prefix, int count) {
    auto* p = new QProcess;
    p->start(QStringLiteral(STORE_WRITER_PATH), {folder, prefix, QString::number(count)});
    return p;
}

// Reads the writer's progress lines until it has reported `writes` writes.
bool waitForWrites(QProcess& p, int writes) {
    int seen = 0;
    while (seen < writes) {
        if (!p.canReadLine() && !p.waitForReadyRead(-1))
            return false;
        while (p.canReadLine() && seen < writes)
            if (p.readLine().startsWith("wrote "))
                ++seen;
    }
    return true;
}

TEST(StoreProcesses, AKilledWriterNeverLeavesAValueHalfWritten) {
    QTemporaryDir dir;
    SettingsStore store(dir.path());
    for (int round = 0; round < 5; ++round) {
        std::unique_ptr<QProcess> writer(startWriter(dir.path(), QStringLiteral("K"), 0));
        ASSERT_TRUE(writer->waitForStarted(-1));
        ASSERT_TRUE(waitForWrites(*writer, 40 + round * 13));
        ::kill(pid_t(writer->processId()), SIGKILL);
        writer->waitForFinished(-1);

        const QRegularExpression whole(QStringLiteral("^v\\d+:#{200}$"));
        for (int k = 0; k < 16; ++k) {
            const QString value = store.read(app, section, QStringLiteral("K%1").arg(k));
            EXPECT_TRUE(whole.match(value).hasMatch())
                << "round " << round << " key " << k << ": " << value.left(40).toStdString();
        }
    }
}

// A writer killed in the middle of a write leaves its new file; the next write into the
// folder, by any process, removes it, since no process holds it any more.
TEST(StoreProcesses, WhatAKilledWriterLeftGoesAtTheNextWrite) {
    for (const files::Step step : {files::Step::Write, files::Step::Publish}) {
        QTemporaryDir dir;
        QProcess writer;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("STORE_WRITER_KILLED_AT"), QString::number(int(step)));
        writer.setProcessEnvironment(environment);
        writer.start(QStringLiteral(STORE_WRITER_PATH),
                     {dir.path(), QStringLiteral("K"), QStringLiteral("1")});
        ASSERT_TRUE(writer.waitForFinished(-1));
        ASSERT_EQ(writer.exitStatus(), QProcess::CrashExit);
        const auto files = [&] { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); };
        ASSERT_EQ(files().filter(QStringLiteral(".tmp")).size(), 1)
            << files().join(u' ').toStdString();
        SettingsStore(dir.path())
            .write(app, section, QStringLiteral("Make"), QStringLiteral("Ford"));
        EXPECT_EQ(files(), (QStringList{QStringLiteral("Marrowind.ini"),
                                        QStringLiteral("Marrowind.ini.writelock")}));
    }
}

TEST(StoreProcesses, TwoWritersOfDifferentKeysBothKeepTheirKeys) {
    QTemporaryDir dir;
    std::unique_ptr<QProcess> a(startWriter(dir.path(), QStringLiteral("A"), 64));
    std::unique_ptr<QProcess> b(startWriter(dir.path(), QStringLiteral("B"), 64));
    ASSERT_TRUE(a->waitForFinished(-1));
    ASSERT_TRUE(b->waitForFinished(-1));
    ASSERT_EQ(a->exitCode(), 0);
    ASSERT_EQ(b->exitCode(), 0);
    SettingsStore store(dir.path());
    const QString padding(200, QLatin1Char('#'));
    for (int k = 0; k < 16; ++k) {
        // The last write of key k was write number 48 + k.
        const QString expected = QStringLiteral("v%1:").arg(48 + k) + padding;
        EXPECT_EQ(store.read(app, section, QStringLiteral("A%1").arg(k)), expected) << k;
        EXPECT_EQ(store.read(app, section, QStringLiteral("B%1").arg(k)), expected) << k;
    }
}

} // namespace
