#include "Dialogs.h"
#include "IsInstalled.h"
#include "RecordingWord.h"
#include "ScriptedDialogs.h"

#include <gtest/gtest.h>

namespace {

TEST(CheckWordInstalled, CreatesAndQuitsOneApplicationSilently) {
    ScriptedDialogs dialogs;
    RecordingWord word;
    bool ended = false;
    EXPECT_TRUE(IsInstalled::CheckWordInstalled(word, [&] { ended = true; }));
    EXPECT_EQ(word.log, (QStringList{QStringLiteral("CreateNew"), QStringLiteral("Quit")}));
    EXPECT_FALSE(ended);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST(CheckWordInstalled, AnApplicationThatCannotQuitStillPasses) {
    ScriptedDialogs dialogs;
    RecordingWord word;
    word.failWhen = [](const QString& op) { return op == QStringLiteral("Quit"); };
    bool ended = false;
    EXPECT_TRUE(IsInstalled::CheckWordInstalled(word, [&] { ended = true; }));
    EXPECT_FALSE(ended);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST(CheckWordInstalled, NoApplicationShowsError842001AndEndsTheProgram) {
    ScriptedDialogs dialogs;
    setApplicationTitle(QStringLiteral("Vantorel"));
    RecordingWord word;
    word.failWhen = [](const QString& op) { return op == QStringLiteral("CreateNew"); };
    int ended = 0;
    EXPECT_FALSE(IsInstalled::CheckWordInstalled(word, [&] { ++ended; }));
    EXPECT_EQ(ended, 1);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    const MessageRequest& box = dialogs.messages[0];
    EXPECT_EQ(box.title, QStringLiteral("Vantorel"));
    EXPECT_EQ(box.buttons, Buttons::Ok);
    EXPECT_EQ(box.icon, Icon::None);
    const QStringList parts = box.text.split(QStringLiteral("\r\n\r\n"));
    ASSERT_EQ(parts.size(), 5);
    EXPECT_EQ(parts[0],
              QStringLiteral("Error 842001. A normal instance of Word could not be created."));
    EXPECT_TRUE(parts[2].contains(QStringLiteral("(such as an Word file recovery window).")));
    EXPECT_TRUE(parts[4].startsWith(QStringLiteral("4. All versions of Word")));
    EXPECT_FALSE(box.text.startsWith(QStringLiteral("\r")));
    EXPECT_FALSE(box.text.endsWith(QStringLiteral("\n")));
    setApplicationTitle(QString());
}

} // namespace
