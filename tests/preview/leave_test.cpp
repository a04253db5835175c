// Leaving the preview: save, back, close.
#include "AtomicFile.h"
#include "FindControl.h"
#include "Form2.h"
#include "PreviewFiles.h"
#include "SaleRecordSource.h"
#include "ScriptedDialogs.h"
#include "SettingsStore.h"
#include "SmallDisk.h"
#include "SuggestedFileName.h"
#include "TestFiles.h"
#include "WindowEvents.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <cerrno>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

unsigned modeOf(const QString& path) {
    struct stat status;
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & 07777
                                                                     : 0xffffu;
}

QString reportWhere(const QString& report) {
    return report.section(QStringLiteral("\r\n"), 1).section(QLatin1Char('\r'), 0, 0);
}

class Leave : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        form =
            std::make_unique<Form2>(Form2::Services{[this] { ++entryShown; }, [this] { ++ended; }});
        form->Form_Load();
        form->setWordFile(put("wendlo12345678.doc", "the document"));
    }
    QString put(const char* name, const QByteArray& bytes) {
        return putFile(dir.filePath(QString::fromLatin1(name)), bytes);
    }
    QStringList texts() const {
        QStringList out;
        for (const MessageRequest& m : dialogs.messages)
            out << m.text;
        return out;
    }

    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    std::unique_ptr<Form2> form;
    int entryShown = 0, ended = 0;
};

TEST_F(Leave, TheSaveDialogIsTitledAndFiltered) {
    clickButton(*form, "PushButton6"); // cancelled
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(dialogs.saveRequests[0].title, QStringLiteral("Save Results To Word File"));
    EXPECT_EQ(dialogs.saveRequests[0].directory, QDir::homePath()); // no folder kept
    EXPECT_EQ(dialogs.saveRequests[0].filters, (QStringList{QStringLiteral("Word Files (*.doc)"),
                                                            QStringLiteral("PDF Files (*.pdf)")}));
    EXPECT_EQ(dialogs.saveRequests[0].selectedFilter, QStringLiteral("Word Files (*.doc)"));
    EXPECT_EQ(texts(), QStringList{QStringLiteral("Done.")});
    EXPECT_EQ(dialogs.messages[0].buttons, Buttons::Ok);
    EXPECT_EQ(dialogs.messages[0].icon, Icon::None);
}

struct SaveCase {
    const char* name;
    const char* existing; // the target's contents before, nullptr: no target file
    std::optional<Answer> answer;
    const char* after; // the target's contents after
};

// Test output names the case rather than dumping its bytes.
void PrintTo(const SaveCase& c, std::ostream* os) {
    *os << c.name;
}

class Save : public Leave, public ::testing::WithParamInterface<SaveCase> {};

TEST_P(Save, CopiesAsTheUserAnswersAndAlwaysSaysDone) {
    const SaveCase& c = GetParam();
    const QString target = dir.filePath(QStringLiteral("bill.doc"));
    if (c.existing)
        put("bill.doc", c.existing);
    dialogs.fileNames = {target};
    if (c.answer)
        dialogs.answers = {*c.answer};
    clickButton(*form, "PushButton6");
    QStringList expected;
    if (c.existing)
        expected << QStringLiteral("Are you sure you wish to overwrite ") + target +
                        QStringLiteral(" ?");
    expected << QStringLiteral("Done.");
    EXPECT_EQ(texts(), expected);
    if (c.existing) {
        EXPECT_EQ(dialogs.messages[0].buttons, Buttons::YesNo);
    }
    EXPECT_EQ(contents(target), QByteArray(c.after));
    EXPECT_EQ(contents(form->wordFile()), QByteArray("the document")); // can be saved again
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Save,
    ::testing::Values(SaveCase{"NewTarget", nullptr, std::nullopt, "the document"},
                      SaveCase{"ExistingAnswerNo", "older", Answer::No, "older"},
                      SaveCase{"ExistingAnswerYes", "older", Answer::Yes, "the document"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(Leave, SavingTwiceToOneTargetAsksTheSecondTime) {
    const QString target = dir.filePath(QStringLiteral("bill.doc"));
    dialogs.fileNames = {target, target};
    clickButton(*form, "PushButton6");
    clickButton(*form, "PushButton6");
    ASSERT_EQ(texts().size(), 3);
    EXPECT_TRUE(texts()[1].startsWith(QStringLiteral("Are you sure you wish to overwrite ")));
}

TEST_F(Leave, ACopyThatFailsIsReportedAndDoneFollows) {
    const QString folderTarget = dir.filePath(QStringLiteral("afolder.doc"));
    QDir().mkpath(folderTarget + QStringLiteral("/inside"));
    const QString targets[] = {QStringLiteral("/proc/self/bill.doc"), folderTarget};
    for (const QString& target : targets) {
        dialogs.messages.clear();
        dialogs.fileNames = {target};
        dialogs.answers = {Answer::Yes};
        clickButton(*form, "PushButton6");
        const QStringList shown = texts();
        ASSERT_GE(shown.size(), 2) << target.toStdString();
        EXPECT_EQ(reportWhere(shown[shown.size() - 2]),
                  QStringLiteral("in Qelvard2021/08/31.Form2.PushButton6_Click at line 130"));
        EXPECT_EQ(shown.last(), QStringLiteral("Done."));
        EXPECT_EQ(contents(form->wordFile()), QByteArray("the document"));
    }
}

// Saving over a name that holds pattern characters replaces that one file; the files the
// pattern would match stay.
TEST_F(Leave, SavingOverANameWithPatternCharactersTouchesOnlyThatFile) {
    const char* neighbours[] = {"dealA.doc", "dealB.doc",        "rep1.doc",
                                "rep22.doc", "report-final.doc", "other.doc"};
    for (const char* n : neighbours)
        put(n, "neighbour");
    for (const char* name : {"deal?.doc", "rep*.doc", "deal[AB].doc"}) {
        put(name, "older");
        const QString target = dir.filePath(QString::fromLatin1(name));
        dialogs.fileNames = {target};
        dialogs.answers = {Answer::Yes};
        clickButton(*form, "PushButton6");
        EXPECT_EQ(contents(target), QByteArray("the document")) << name;
        for (const char* n : neighbours)
            EXPECT_EQ(contents(dir.filePath(QString::fromLatin1(n))), QByteArray("neighbour"))
                << name << " removed " << n;
    }
}

// A copy that fails part-way leaves the file the user agreed to replace as it was; the
// failure is reported at line 130 and "Done." follows. Both a real full disk and the same
// failures injected at each step of the write.
TEST_F(Leave, AFailedReplacementKeepsTheOldFile) {
    const auto saveOver = [&](const QString& target) {
        dialogs.messages.clear();
        dialogs.fileNames = {target};
        dialogs.answers = {Answer::Yes};
        clickButton(*form, "PushButton6");
        const QStringList shown = texts();
        ASSERT_EQ(shown.size(), 3) << shown.join(u'|').toStdString();
        EXPECT_EQ(reportWhere(shown[1]),
                  QStringLiteral("in Qelvard2021/08/31.Form2.PushButton6_Click at line 130"));
        EXPECT_EQ(shown[2], QStringLiteral("Done."));
    };
    const QString target = put("bill.doc", "older");
    for (const files::Step step : {files::Step::Create, files::Step::Write, files::Step::Sync,
                                   files::Step::Close, files::Step::Publish}) {
        files::AtomicFile::setFaultHook(
            [step](files::Step now, const QString&) { return now == step ? ENOSPC : 0; });
        saveOver(target);
        files::AtomicFile::setFaultHook({});
        EXPECT_EQ(contents(target), QByteArray("older")) << int(step);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
    }

    SmallDisk disk(64 * 1024);
    if (!disk.available())
        GTEST_SKIP() << "mounting a small disk was refused";
    const QString onDisk = disk.filePath(QStringLiteral("bill.doc"));
    {
        QFile f(onDisk);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("older");
    }
    form->setWordFile(put("big.doc", QByteArray(200 * 1024, 'x')));
    disk.fill();
    saveOver(onDisk);
    EXPECT_EQ(contents(onDisk), QByteArray("older"));
}

// A target that is a link to a file elsewhere is written through: the file behind it gets the
// copy and keeps its permissions, and the link stays.
TEST_F(Leave, ALinkedTargetIsWrittenThroughAndKept) {
    QTemporaryDir elsewhere;
    const QString behind = elsewhere.filePath(QStringLiteral("theirs.doc"));
    {
        QFile f(behind);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("theirs");
    }
    ASSERT_TRUE(
        QFile::setPermissions(behind, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    const QString target = dir.filePath(QStringLiteral("bill.doc"));
    ASSERT_TRUE(QFile::link(behind, target));
    dialogs.fileNames = {target};
    dialogs.answers = {Answer::Yes};
    clickButton(*form, "PushButton6");
    EXPECT_EQ(texts().last(), QStringLiteral("Done."));
    EXPECT_TRUE(QFileInfo(target).isSymLink());
    EXPECT_EQ(contents(behind), QByteArray("the document"));
    EXPECT_EQ(modeOf(behind), 0640u);
    EXPECT_EQ(QDir(elsewhere.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("theirs.doc")});
}

TEST_F(Leave, SavingOntoTheTemporaryDocumentItselfKeepsIt) {
    dialogs.fileNames = {form->wordFile()};
    dialogs.answers = {Answer::Yes};
    clickButton(*form, "PushButton6");
    EXPECT_EQ(texts().last(), QStringLiteral("Done."));
    EXPECT_EQ(texts().size(), 2); // the question and Done., no report
    EXPECT_EQ(contents(form->wordFile()), QByteArray("the document"));
}

// The dialog opens where the last save went, also in the next run (a window of its own on the
// same settings file); not where a declined save would have gone, and home once the folder is
// gone. The folder is kept beside the sale's values, never among them.
TEST_F(Leave, TheSaveDialogOpensWhereTheLastSaveWentAcrossRuns) {
    QTemporaryDir config;
    SettingsStore store(config.path());
    const QString home = QDir::homePath(), a = dir.filePath(QStringLiteral("a")),
                  b = dir.filePath(QStringLiteral("b"));
    ASSERT_TRUE(QDir().mkpath(a) && QDir().mkpath(b));
    put("b/bill.doc", "older");
    const struct {
        bool removeB;
        QString opensIn, target; // no target: cancelled
        Answer answer;           // to the question about b/bill.doc
    } runs[] = {{false, home, a + "/bill.doc", Answer::Yes},
                {false, a, b + "/bill.doc", Answer::No},
                {false, a, b + "/bill.doc", Answer::Yes},
                {true, home, {}, Answer::Yes}};
    for (const auto& run : runs) {
        if (run.removeB)
            QDir(b).removeRecursively();
        Form2 next(Form2::storeServices(store));
        next.Form_Load();
        next.setWordFile(form->wordFile());
        dialogs.fileNames = {run.target};
        dialogs.answers = {run.answer};
        clickButton(next, "PushButton6");
        EXPECT_EQ(dialogs.saveRequests.back().directory, run.opensIn);
    }
    EXPECT_FALSE(contents(store.filePath(QStringLiteral("Marrowind"))).contains("[Vantorel]"));
}

TEST(SuggestedFileName, NamesTheBuyerAndTheVehicleAsAFileNameMayHoldThem) {
    const QString longest = QStringLiteral("Bill of Sale - ") + QString(118, u'é') + ".doc";
    const struct {
        QString buyer, year, make, model, extension, expected;
    } cases[] = {
        {"Orwen Palk", "1969", "Ford", "Thunderbird", "doc",
         "Bill of Sale - Orwen Palk - 1969 Ford Thunderbird.doc"},
        {"", "", "", "", "doc", ""},
        {"///", "", "", "", "doc", ""}, // nothing left of the values
        {"", "1969", "Ford", "", "pdf", "Bill of Sale - 1969 Ford.pdf"},
        {"Orwen/Palk\\: \"Jr\" <x>|*?", "", "", "", "doc", "Bill of Sale - OrwenPalk Jr x.doc"},
        {" Orwen\t\r\n Palk\x01\x7f ", "", "Ford", "T-bird...", "doc",
         "Bill of Sale - Orwen Palk - Ford T-bird.doc"},
        {QString(300, u'é'), "", "", "", "doc", longest}, // 255 bytes, no character split
    };
    for (const auto& c : cases) {
        FixedRecord values;
        values.set(QStringLiteral("txtNameOfBuyer"), c.buyer);
        values.set(QStringLiteral("txtYear"), c.year);
        values.set(QStringLiteral("txtMake"), c.make);
        values.set(QStringLiteral("txtModel"), c.model);
        EXPECT_EQ(suggestedFileName(values, c.extension), c.expected) << c.buyer.toStdString();
    }
    EXPECT_EQ(longest.toUtf8().size(), 255);
}

TEST_F(Leave, BackDiscardsTheDocumentAndPicturesAndShowsTheEntryWindow) {
    form->showPages({QPicture(), QPicture(), QPicture()}, form->wordFile());
    activate(*form); // the hand-over's page is prepared
    ASSERT_FALSE(form->preparesOnActivation());
    form->show();
    clickButton(*form, "PushButton8");
    EXPECT_FALSE(QFile::exists(form->wordFile()));
    EXPECT_EQ(form->pagePictures().size(), 1u);
    EXPECT_EQ(control<QTreeWidget>(*form, "ListView1")->topLevelItemCount(), 0);
    EXPECT_TRUE(form->preparesOnActivation());
    EXPECT_EQ(entryShown, 1);
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(Leave, ClosingDeletesTheDocumentAndEndsTheProgram) {
    form->show();
    form->close();
    EXPECT_FALSE(QFile::exists(form->wordFile()));
    EXPECT_EQ(ended, 1);
}

TEST(RemoveFile, DeletesReadOnlyFilesAndIgnoresTheMissing) {
    QTemporaryDir dir;
    const auto put = [&](const char* name) {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        f.open(QIODevice::WriteOnly);
        f.close();
        return f.fileName();
    };
    const QString readOnly = put("locked.bmp");
    QFile::setPermissions(readOnly, QFile::ReadOwner);
    RemoveFile(readOnly);
    EXPECT_FALSE(QFile::exists(readOnly));
    const QString kept = put("c.doc");
    RemoveFile(dir.filePath(QStringLiteral("missing.doc")));
    RemoveFile(QString());
    EXPECT_TRUE(QFile::exists(kept));
    EXPECT_THROW(ForceDeleteFile(dir.filePath(QStringLiteral("missing.doc"))), std::exception);
}

// A name with pattern characters is one file's name: only that file goes, in a folder whose
// own name may hold them too.
TEST(RemoveFile, RemovesExactlyTheNamedFileWhateverItsCharacters) {
    QTemporaryDir root;
    const char* folders[] = {"plain", "t*mp", "t?mp", "t[ab]mp"};
    const char* names[] = {"deal?.doc", "rep*.doc", "deal[ab].doc", "*"};
    const char* neighbours[] = {"dealA.doc", "dealB.doc",        "deala.doc", "rep1.doc",
                                "rep22.doc", "report-final.doc", "other.doc"};
    for (const char* folderName : folders) {
        const QString folder = root.filePath(QString::fromLatin1(folderName));
        ASSERT_TRUE(QDir().mkpath(folder));
        for (const char* name : names) {
            QStringList all;
            for (const char* n : neighbours)
                all << QString::fromLatin1(n);
            all << QString::fromLatin1(name);
            for (const QString& n : all) {
                QFile f(folder + u'/' + n);
                ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            }
            RemoveFile(folder + u'/' + QString::fromLatin1(name));
            all.removeLast();
            QStringList left = QDir(folder).entryList(QDir::Files);
            left.sort();
            all.sort();
            EXPECT_EQ(left, all) << folderName << " / " << name;
        }
    }
}

TEST(ForceDeleteFile, RemovesALinkAndNeverChangesTheFileBehindIt) {
    QTemporaryDir dir, elsewhere;
    const QString behind = elsewhere.filePath(QStringLiteral("kept.doc"));
    {
        QFile f(behind);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    ASSERT_TRUE(QFile::setPermissions(behind, QFile::ReadOwner));
    const QString link = dir.filePath(QStringLiteral("link.doc"));
    ASSERT_TRUE(QFile::link(behind, link));
    ForceDeleteFile(link);
    EXPECT_FALSE(QFileInfo(link).isSymLink());
    EXPECT_TRUE(QFile::exists(behind));
    EXPECT_EQ(modeOf(behind), 0400u);
}

} // namespace
