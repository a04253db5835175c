// Start-up with and without the optional files beside the program: the skin and the hand
// cursor. These tests write into the test program's own folder, so they run one at a time.
#include "Appearance.h"
#include "FindControl.h"
#include "Form1.h"
#include "Paths.h"
#include "ScriptedDialogs.h"
#include "TestFiles.h"
#include "TextBox.h"

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <gtest/gtest.h>

namespace {

QString reportWhere(const QString& report) {
    return report.section(QStringLiteral("\r\n"), 1).section(QLatin1Char('\r'), 0, 0);
}

class ProgramFolder : public ::testing::Test {
protected:
    void TearDown() override {
        QDir(inProgramFolder(QStringLiteral("x"))).removeRecursively();
        QFile::remove(inProgramFolder(QStringLiteral("HAND-M.CUR")));
    }
    void put(const QString& name, const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(inProgramFolder(name)).path());
        putFile(inProgramFolder(name), bytes);
    }
    std::unique_ptr<Form1> load() {
        Form1::Services s;
        s.readSetting = [](const QString&) { return QString(); };
        s.writeSetting = [](const QString&, const QString&) {};
        s.checkWordInstalled = [] {};
        s.generate = [](const SaleRecordSource&) {};
        s.endProgram = [] {};
        auto form = std::make_unique<Form1>(s);
        form->Form_Load();
        return form;
    }
    QColor back(QWidget* w) const { return w->palette().color(QPalette::Window); }
    ScriptedDialogs dialogs;
};

TEST_F(ProgramFolder, WithoutASkinTheWindowIsWhite) {
    auto form = load();
    EXPECT_EQ(back(form.get()), QColor(Qt::white));
    EXPECT_EQ(back(control<QGroupBox>(*form, "Frame1")), QColor(Qt::white));
    EXPECT_TRUE(form->styleSheet().isEmpty());
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_FALSE(form->hasCustomPointer());
}

TEST_F(ProgramFolder, ASkinFileColoursFramesAndLabelsAndIsApplied) {
    const QByteArray sheet = "QPushButton { color: #123456; }";
    put(QStringLiteral("x/o.cjs"), sheet);
    auto form = load();
    const QColor face = buttonFaceColor();
    EXPECT_EQ(back(form.get()), face);
    for (const char* frame : {"Frame1", "Frame2", "Frame3", "Frame17"})
        EXPECT_EQ(back(control<QGroupBox>(*form, frame)), face) << frame;
    for (QLabel* label : form->findChildren<QLabel*>())
        EXPECT_EQ(back(label), face);
    TextBox* box = control<TextBox>(*form, "txtMake");
    EXPECT_FALSE(box->autoFillBackground()) << "text boxes keep their own colours";
    EXPECT_EQ(box->palette().color(QPalette::Base), QColor(Qt::white));
    EXPECT_EQ(form->styleSheet(), QString::fromLatin1(sheet));
    EXPECT_EQ(form->skin().ApplyOptions() & 1, 1);
    EXPECT_TRUE(form->skin().AutoApplyNewWindows());
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(ProgramFolder, ASkinPathThatIsAFolderIsIgnored) {
    QDir().mkpath(inProgramFolder(QStringLiteral("x/o.cjs")));
    auto form = load();
    EXPECT_EQ(back(form.get()), QColor(Qt::white));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(ProgramFolder, ABadSkinIsReportedAtLine100AndLeavesTheColoursSet) {
    for (const QByteArray& bytes : {QByteArray(), QByteArray("this is { not css ")}) {
        dialogs.messages.clear();
        put(QStringLiteral("x/o.cjs"), bytes);
        auto form = load();
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(reportWhere(dialogs.messages[0].text),
                  QStringLiteral("in Qelvard2021/08/31.Form1.Form_Load at line 100"));
        EXPECT_EQ(back(form.get()), buttonFaceColor());
        EXPECT_TRUE(form->styleSheet().isEmpty());
        EXPECT_EQ(form->windowTitle(), QStringLiteral("Vantorel")); // start-up went on
    }
}

TEST_F(ProgramFolder, TheHandCursorFileGivesTheCustomPointer) {
    QFile shipped(QStringLiteral(HAND_CURSOR_PATH));
    ASSERT_TRUE(shipped.open(QIODevice::ReadOnly));
    put(QStringLiteral("HAND-M.CUR"), shipped.readAll());
    auto form = load();
    ASSERT_TRUE(form->hasCustomPointer());
    form->setMousePointer(PointerCustom);
    EXPECT_EQ(form->cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(form->cursor().hotSpot(), QPoint(11, 1));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(ProgramFolder, ACursorFileThatIsNotACursorIsReportedAtLine108) {
    put(QStringLiteral("HAND-M.CUR"), "GIF89a not a cursor");
    auto form = load();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(reportWhere(dialogs.messages[0].text),
              QStringLiteral("in Qelvard2021/08/31.Form1.Form_Load at line 108"));
    EXPECT_FALSE(form->hasCustomPointer());
    form->setMousePointer(PointerCustom);
    EXPECT_EQ(form->cursor().shape(), Qt::ArrowCursor);
}

} // namespace
