#include "Appearance.h"
#include "Dialogs.h"
#include "QtDialogs.h"
#include "ScriptedDialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QWindow>
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

// The title the window system holds for a window. On X11 it is read back from the server
// (Qt may add to what the window was given); elsewhere it is the platform window's title.
QString titleOnScreen(QWidget& window) {
    const QString xprop = QStandardPaths::findExecutable(QStringLiteral("xprop"));
    if (QGuiApplication::platformName() != QLatin1String("xcb") || xprop.isEmpty())
        return window.windowHandle()->title();
    QProcess query;
    query.start(xprop, {QStringLiteral("-id"), QString::number(window.winId()),
                        QStringLiteral("_NET_WM_NAME")});
    query.waitForFinished();
    const QString line = QString::fromUtf8(query.readAllStandardOutput()).trimmed();
    // _NET_WM_NAME(UTF8_STRING) = "Title"
    return line.section(QLatin1Char('"'), 1, -2);
}

// Qt adds " — " and the application's display name to every title that does not end with
// it; the boxes' titles must reach the screen exactly as given.
TEST(QtDialogs, TitlesReachTheWindowSystemUnchanged) {
    const QString name = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName(QStringLiteral("vantorel-title-test"));
    SetAppTitle();
    EXPECT_EQ(applicationTitle(), QStringLiteral("Vantorel"));
    // No display name of our own: the one thing Qt would append.
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QStringLiteral("vantorel-title-test"));
    for (const QString& title : {QStringLiteral("Application Error"), QStringLiteral("Vantorel"),
                                QStringLiteral("Save File")}) {
        QString seen, onScreen;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            ASSERT_TRUE(QTest::qWaitForWindowExposed(box));
            seen = box->windowTitle();
            onScreen = titleOnScreen(*box);
            QTest::keyClick(box, Qt::Key_Return);
        });
        QtDialogs().message({QStringLiteral("Text"), title, Buttons::Ok, Icon::Warning});
        EXPECT_EQ(seen, title);
        EXPECT_EQ(onScreen, title);
    }
    setApplicationTitle(QString());
    QCoreApplication::setApplicationName(name);
}

} // namespace
