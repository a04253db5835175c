// The entry boxes' limit on a value, driven by typing and pasting.
#include "SaleFields.h"
#include "ScriptedDialogs.h"
#include "TextBox.h"
#include "WindowEvents.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <gtest/gtest.h>

namespace {

TEST(TextBoxLimit, InputPastTheLimitStopsAndIsExplainedOnce) {
    ScriptedDialogs dialogs;
    TextBox box;
    EXPECT_EQ(box.maxLength(), maxValueLength);
    box.setMaxLength(8); // the same path as the real limit, at a size a test can type
    box.show();
    box.setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));

    QTest::keyClicks(&box, QStringLiteral("Tobin"));
    EXPECT_TRUE(dialogs.notices.empty()); // under the limit: nothing to say
    QTest::keyClicks(&box, QStringLiteral(" Harl"));
    EXPECT_EQ(box.text(), QStringLiteral("Tobin Ha"));
    ASSERT_EQ(dialogs.notices.size(), 1u);
    EXPECT_TRUE(dialogs.notices[0].text.contains(QStringLiteral("at most 8 characters")))
        << dialogs.notices[0].text.toStdString();

    if (!clipboardKept())
        GTEST_SKIP() << "no clipboard: a Wayland compositor without a seat";
    box.clear();
    QApplication::clipboard()->setText(QStringLiteral("Orwen Palk of Denby"));
    QTest::keySequence(&box, QKeySequence::Paste);
    EXPECT_EQ(box.text(), QStringLiteral("Orwen Pa"));
    EXPECT_EQ(dialogs.notices.size(), 1u); // told once
}

} // namespace
