#include "Dialogs.h"
#include "QtDialogs.h"
#include "ScriptedDialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

TEST(ShowMessage, TitlesBoxesWithTheApplicationTitleUnlessGivenOne) {
    ScriptedDialogs dialogs;
    setApplicationTitle(QStringLiteral("Vantorel"));
    dialogs.answers = {Answer::No};
    EXPECT_EQ(showMessage(QStringLiteral("Proceed?"), Buttons::YesNo), Answer::No);
    EXPECT_EQ(showMessage(QStringLiteral("Done.")), Answer::Ok);
    showMessage(QStringLiteral("x"), Buttons::Ok, Icon::Warning, QStringLiteral("Own"));
    ASSERT_EQ(dialogs.messages.size(), 3u);
    EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("Vantorel"));
    EXPECT_EQ(dialogs.messages[0].buttons, Buttons::YesNo);
    EXPECT_EQ(dialogs.messages[0].icon, Icon::None);
    EXPECT_EQ(dialogs.messages[1].title, QStringLiteral("Vantorel"));
    EXPECT_EQ(dialogs.messages[2].title, QStringLiteral("Own"));
    setApplicationTitle(QString());
}

TEST(Dialogs, TheFakeIsOnlyInPlaceWhileItLives) {
    {
        ScriptedDialogs dialogs;
        EXPECT_EQ(&::dialogs(), &dialogs);
    }
    EXPECT_NE(dynamic_cast<QtDialogs*>(&::dialogs()), nullptr);
}

// The real boxes: answered by pressing keys on whatever modal box is up.
Answer answerRealBox(Buttons buttons, Qt::Key key, QMessageBox::Icon* seenIcon,
                     QString* seenTitle) {
    QTimer::singleShot(0, [=] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        *seenIcon = box->icon();
        *seenTitle = box->windowTitle();
        QTest::keyClick(box, key);
    });
    QtDialogs real;
    return real.message({QStringLiteral("Text"), QStringLiteral("Title"), buttons,
                         buttons == Buttons::Ok ? Icon::Warning : Icon::None});
}

TEST(QtDialogs, ShowRealModalBoxes) {
    QMessageBox::Icon icon{};
    QString title;
    EXPECT_EQ(answerRealBox(Buttons::Ok, Qt::Key_Return, &icon, &title), Answer::Ok);
    EXPECT_EQ(icon, QMessageBox::Warning);
    EXPECT_EQ(title, QStringLiteral("Title"));
    EXPECT_EQ(answerRealBox(Buttons::YesNo, Qt::Key_Escape, &icon, &title), Answer::No);
    EXPECT_EQ(icon, QMessageBox::NoIcon);
    EXPECT_EQ(answerRealBox(Buttons::YesNo, Qt::Key_Return, &icon, &title), Answer::Yes);
}

} // namespace
