// Leaving the preview: save, back, close.
#include "Form2.h"
#include "PreviewFiles.h"
#include "ScriptedDialogs.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
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
        form->mWordFile = put("wendlo12345678.doc", "the document");
    }
    QString put(const char* name, const QByteArray& bytes) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
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
    form->PushButton6_Click(); // cancelled
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(dialogs.saveRequests[0].title, QStringLiteral("Save File"));
    EXPECT_EQ(dialogs.saveRequests[0].filter, QStringLiteral("Word Files (*.doc)"));
    EXPECT_EQ(dialogs.saveRequests[0].defaultSuffix, QStringLiteral("doc"));
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

class Save : public Leave, public ::testing::WithParamInterface<SaveCase> {};

TEST_P(Save, CopiesAsTheUserAnswersAndAlwaysSaysDone) {
    const SaveCase& c = GetParam();
    const QString target = dir.filePath(QStringLiteral("bill.doc"));
    if (c.existing)
        put("bill.doc", c.existing);
    dialogs.fileNames = {target};
    if (c.answer)
        dialogs.answers = {*c.answer};
    form->PushButton6_Click();
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
    EXPECT_EQ(contents(form->mWordFile), QByteArray("the document")); // can be saved again
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
    form->PushButton6_Click();
    form->PushButton6_Click();
    EXPECT_EQ(texts().size(), 3);
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
        form->PushButton6_Click();
        const QStringList shown = texts();
        ASSERT_GE(shown.size(), 2) << target.toStdString();
        EXPECT_EQ(reportWhere(shown[shown.size() - 2]),
                  QStringLiteral("in Qelvard2021/08/31.Form2.PushButton6_Click at line 130"));
        EXPECT_EQ(shown.last(), QStringLiteral("Done."));
        EXPECT_EQ(contents(form->mWordFile), QByteArray("the document"));
    }
}

TEST_F(Leave, SavingOntoTheTemporaryDocumentItselfKeepsIt) {
    dialogs.fileNames = {form->mWordFile};
    dialogs.answers = {Answer::Yes};
    form->PushButton6_Click();
    EXPECT_EQ(texts().last(), QStringLiteral("Done."));
    EXPECT_EQ(texts().size(), 2); // the question and Done., no report
    EXPECT_EQ(contents(form->mWordFile), QByteArray("the document"));
}

TEST_F(Leave, BackDiscardsTheDocumentAndPicturesAndShowsTheEntryWindow) {
    form->Image1 = {QPicture(), QPicture(), QPicture()};
    for (int i = 1; i <= 3; ++i)
        form->addPage(i);
    form->mTotalImages = 2;
    form->mFirstActivate = false;
    form->show();
    form->PushButton8_Click();
    EXPECT_FALSE(QFile::exists(form->mWordFile));
    EXPECT_EQ(form->Image1.size(), 1u);
    EXPECT_EQ(form->ListView1->topLevelItemCount(), 0);
    EXPECT_TRUE(form->mFirstActivate);
    EXPECT_EQ(entryShown, 1);
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(Leave, ClosingDeletesTheDocumentAndEndsTheProgram) {
    form->show();
    form->close();
    EXPECT_FALSE(QFile::exists(form->mWordFile));
    EXPECT_EQ(ended, 1);
}

TEST(RemoveFile, DeletesReadOnlyFilesAndPatternsAndIgnoresTheMissing) {
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
    put("a.tmp");
    put("b.tmp");
    const QString kept = put("c.doc");
    RemoveFile(dir.filePath(QStringLiteral("*.tmp")));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("c.doc")});
    RemoveFile(dir.filePath(QStringLiteral("missing.doc")));
    RemoveFile(QString());
    EXPECT_TRUE(QFile::exists(kept));
    EXPECT_THROW(ForceDeleteFile(dir.filePath(QStringLiteral("missing.doc"))), std::exception);
}

} // namespace
