// The program's start: the entry window comes up only when the engine can be created.
#include "Program.h"
#include "RecordingWord.h"
#include "ScriptedDialogs.h"

#include <gtest/gtest.h>

namespace {

Form1::Services emptyStore() {
    Form1::Services s;
    s.readSetting = [](const QString&) { return QString(); };
    s.writeSetting = [](const QString&, const QString&) {};
    s.endProgram = [] {};
    return s;
}

TEST(Program, StartsWhenTheEngineCanBeCreated) {
    ScriptedDialogs dialogs;
    RecordingWord word;
    Program program(word, emptyStore());
    EXPECT_TRUE(program.start());
    EXPECT_EQ(word.log, (QStringList{QStringLiteral("CreateNew"), QStringLiteral("Quit")}));
    EXPECT_EQ(program.entry().windowTitle(), QStringLiteral("Vantorel"));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST(Program, WithoutTheEngineTellsError842001AndShowsNoWindow) {
    ScriptedDialogs dialogs;
    RecordingWord word;
    word.failWhen = [](const QString& op) { return op == QStringLiteral("CreateNew"); };
    Program program(word, emptyStore());
    EXPECT_FALSE(program.start());
    EXPECT_FALSE(program.entry().isVisible());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.startsWith(QStringLiteral("Error 842001.")));
}

} // namespace
