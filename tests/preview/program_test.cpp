// The program's start: the entry window comes up only when the engine can be created.
#include "EngineApplicationFactory.h"
#include "EntryServices.h"
#include "FindControl.h"
#include "Form2.h"
#include "Program.h"
#include "RecordingWord.h"
#include "ScopedTemp.h"
#include "ScriptedDialogs.h"
#include "TestFiles.h"
#include "TextBox.h"
#include "WindowEvents.h"

#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QWindow>
#include <csignal>
#include <gtest/gtest.h>

namespace {

TEST(Program, StartsWhenTheEngineCanBeCreated) {
    ScriptedDialogs dialogs;
    RecordingWord word;
    Program program(word, blankEntryServices());
    EXPECT_TRUE(program.start());
    EXPECT_EQ(word.log, (QStringList{QStringLiteral("CreateNew"), QStringLiteral("Quit")}));
    EXPECT_EQ(program.entry().windowTitle(), QStringLiteral("Vantorel"));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST(Program, WithoutTheEngineTellsError842001AndShowsNoWindow) {
    ScriptedDialogs dialogs;
    RecordingWord word;
    word.failWhen = [](const QString& op) { return op == QStringLiteral("CreateNew"); };
    Program program(word, blankEntryServices());
    EXPECT_FALSE(program.start());
    EXPECT_FALSE(program.entry().isVisible());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.startsWith(QStringLiteral("Error 842001.")));
}

// Closing the entry window while the pages are drawn (the drawing lets events run as it
// removes its picture file) ends the program: no preview, no temporary file, no box.
TEST(Program, ClosingTheEntryWindowDuringAGenerationEndsIt) {
    ScopedTemp temp;
    QTemporaryDir registry;
    ASSERT_TRUE(temp.isValid() && registry.isValid());
    ScriptedDialogs dialogs;
    wordengine::EngineApplicationFactory engine(registry.path());
    int endings = 0;
    Form1::Services services = blankEntryServices();
    services.endProgram = [&] { ++endings; };
    Program program(engine, services);
    ASSERT_TRUE(program.start());
    Form1& entry = program.entry();
    entry.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&entry));
    clickButton(entry, "PushButton3"); // the sample, and a buyer long enough for several pages
    control<TextBox>(entry, "txtNameOfBuyer")->setText(QString(20000, QLatin1Char('x')));

    int pagesWhenClosed = -1;
    QTimer::singleShot(0, &entry, [&] {
        pagesWhenClosed =
            control<QTreeWidget>(program.preview().preview(), "ListView1")->topLevelItemCount();
        entry.windowHandle()->close(); // as the window manager's close request arrives
    });
    clickButton(entry, "PushButton1");

    EXPECT_EQ(pagesWhenClosed, 1); // the close came while the pages were being drawn
    EXPECT_EQ(endings, 1);
    EXPECT_FALSE(entry.isVisible());
    EXPECT_FALSE(program.preview().preview().isVisible());
    EXPECT_EQ(control<QTreeWidget>(program.preview().preview(), "ListView1")->topLevelItemCount(),
              1); // no more drawn
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(dialogs.notices.empty());
    EXPECT_EQ(QDir(temp.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList());
}

// A start removes what killed runs left in the temporary folder, but not the document that a
// running preview holds. SIGTERM closes the program as the preview's close box does: its
// document goes, and the program ends.
TEST(Program, AStartClearsLeftoversAndSigtermClosesThePreviewAsItsCloseBox) {
    ScopedTemp temp;
    QTemporaryDir registry;
    ASSERT_TRUE(temp.isValid() && registry.isValid());
    for (const char* name : {"wendlo12345678.doc", "temp.bmp", ".vantorel-0123456789abcdef.tmp",
                             "wendlo1234567.doc", "notes.txt"})
        putFile(temp.filePath(QString::fromLatin1(name)), "left");
    const auto left = [&] { return QDir(temp.path()).entryList(QDir::Files | QDir::Hidden); };
    ScriptedDialogs dialogs;
    wordengine::EngineApplicationFactory engine(registry.path());
    int endings = 0;
    Form1::Services services = blankEntryServices();
    services.endProgram = [&] { ++endings; };
    Program program(engine, services);
    ASSERT_TRUE(program.start());
    EXPECT_EQ(left(),
              (QStringList{QStringLiteral("notes.txt"), QStringLiteral("wendlo1234567.doc")}));

    program.entry().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&program.entry()));
    clickButton(program.entry(), "PushButton3");
    clickButton(program.entry(), "PushButton1");
    Form2& preview = program.preview().preview();
    ASSERT_TRUE(preview.isVisible());
    const QString shown = preview.wordFile();
    {
        Program another(engine, services); // another Vantorel, started meanwhile
        ASSERT_TRUE(another.start());
    }
    EXPECT_TRUE(QFile::exists(shown));

    ::raise(SIGTERM);
    while (endings == 0)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    EXPECT_FALSE(QFile::exists(shown));
    EXPECT_FALSE(preview.isVisible());
    EXPECT_EQ(endings, 1);
}

} // namespace
