#include "AtomicGroup.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cerrno>
#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>

using files::AtomicFile;
using files::AtomicGroup;
using files::Step;

namespace {

// Every name in the folder, hidden ones included, with what it holds; a link as "-> TARGET".
std::map<QString, QByteArray> state(const QString& folder) {
    std::map<QString, QByteArray> found;
    const QDir d(folder);
    for (const QString& name :
         d.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        const QString path = d.filePath(name);
        const QString link = QFile::symLinkTarget(path);
        found[name] = link.isEmpty() ? contents(path) : "-> " + QFile::encodeName(link);
    }
    return found;
}

mode_t modeOf(const QString& path) {
    struct stat st {};
    ::lstat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & 07777;
}

struct Fault {
    Step step;
    const char* target; // the file name whose write fails at that step
};

// Writes "new a", "new b", "new c" as one group into `folder` (a.doc, b.pdf, c.png), each
// left for publish() to finish, and publishes them with `fault` injected; d.png is to go.
bool publish(const QString& folder, bool replace, const Fault& fault, QString* failed) {
    AtomicGroup group({.replace = replace, .syncFolder = false});
    group.remove(QDir(folder).filePath(QStringLiteral("d.png")));
    for (const char* name : {"a.doc", "b.pdf", "c.png"}) {
        AtomicFile& file = group.add(QDir(folder).filePath(QString::fromLatin1(name)));
        EXPECT_TRUE(file.open() && file.write(QByteArray("new ") + name[0]));
    }
    AtomicFile::setFaultHook([&](Step s, const QString& target) {
        return s == fault.step && target.endsWith(QString::fromLatin1(fault.target)) ? ENOSPC : 0;
    });
    const bool published = group.publish();
    AtomicFile::setFaultHook({});
    if (!published)
        *failed = QFileInfo(group.failed()->target()).fileName();
    return published;
}

} // namespace

// A member that cannot be finished or put in place, wherever it comes in the group, leaves
// every target as it was: a replaced file put back (its permissions and, for a link, the
// link itself), a new name gone again, nothing left beside them.
TEST(AtomicGroup, AFailingMemberLeavesEveryTargetAsItWas) {
    QTemporaryDir elsewhere;
    const QString pointedTo = elsewhere.filePath(QStringLiteral("picture"));
    putFile(pointedTo, "someone's picture");
    const Fault faults[] = {
        {Step::Write, "a.doc"},   {Step::Sync, "b.pdf"},    {Step::Close, "c.png"},
        {Step::Publish, "a.doc"}, {Step::Publish, "b.pdf"}, {Step::Publish, "c.png"},
    };
    for (const Fault& fault : faults) {
        SCOPED_TRACE(std::string(fault.target) + " step " + std::to_string(int(fault.step)));
        QTemporaryDir dir;
        putFile(dir.filePath(QStringLiteral("a.doc")), "old a"); // b.pdf is new
        putFile(dir.filePath(QStringLiteral("d.png")), "old d"); // back when publishing fails
        ASSERT_EQ(::chmod(QFile::encodeName(dir.filePath(QStringLiteral("a.doc"))), 0640), 0);
        ASSERT_TRUE(QFile::link(pointedTo, dir.filePath(QStringLiteral("c.png"))));
        const auto before = state(dir.path());
        QString failed;
        EXPECT_FALSE(publish(dir.path(), true, fault, &failed));
        EXPECT_EQ(failed, QString::fromLatin1(fault.target));
        EXPECT_EQ(state(dir.path()), before);
        EXPECT_EQ(modeOf(dir.filePath(QStringLiteral("a.doc"))), mode_t(0640));
        EXPECT_EQ(contents(pointedTo), QByteArray("someone's picture"));
    }
}

TEST(AtomicGroup, PublishedWholeOrRefusedWhereANameIsTaken) {
    struct {
        bool replace;
        std::map<QString, QByteArray> expected;
    } cases[] = {
        {true, {{"a.doc", "new a"}, {"b.pdf", "new b"}, {"c.png", "new c"}}},
        // Without replacing, the taken name fails the group: the new names put in place
        // before it are removed again, and what was to go stays.
        {false, {{"c.png", "old c"}, {"d.png", "old d"}}},
    };
    for (const auto& c : cases) {
        QTemporaryDir dir;
        putFile(dir.filePath(QStringLiteral("c.png")), "old c");
        putFile(dir.filePath(QStringLiteral("d.png")), "old d");
        QString failed;
        EXPECT_EQ(publish(dir.path(), c.replace, {Step::Create, "none"}, &failed), c.replace);
        EXPECT_EQ(failed, c.replace ? QString() : QStringLiteral("c.png"));
        EXPECT_EQ(state(dir.path()), c.expected);
    }
}
