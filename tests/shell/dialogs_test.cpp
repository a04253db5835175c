#include "Appearance.h"
#include "Dialogs.h"
#include "QtDialogs.h"
#include "ScriptedDialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
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

// The real save dialog, worked with the keyboard: a name typed, the type perhaps changed
// with the arrow keys in the type box, then Return (or Escape).
struct SaveDialogCase {
    const char* name;
    int typeOnEntry;   // index into the types offered
    bool otherType;    // choose the other type after typing the name
    const char* typed; // nullptr: Escape
    const char* returned;
    int typeReturned;
    const char* offered = ""; // the name the dialog opens with
};

// Test output names the case rather than dumping its bytes.
void PrintTo(const SaveDialogCase& c, std::ostream* os) {
    *os << c.name;
}

class RealSaveDialog : public ::testing::TestWithParam<SaveDialogCase> {};

TEST_P(RealSaveDialog, GivesTheNameTheChosenTypesExtensionOnce) {
    const SaveDialogCase& c = GetParam();
    const QStringList types = {QStringLiteral("Word Files (*.doc)"),
                               QStringLiteral("PDF Files (*.pdf)")};
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QStringList offered;
    QString onEntry, title;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle();
        offered = dialog->nameFilters();
        onEntry = dialog->selectedNameFilter();
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        auto* type = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        ASSERT_TRUE(name && type);
        if (!c.typed) {
            QTest::keyClick(name, Qt::Key_Escape);
            return;
        }
        QTest::keyClicks(name, QString::fromLatin1(c.typed));
        if (c.otherType)
            QTest::keyClick(type, c.typeOnEntry == 0 ? Qt::Key_Down : Qt::Key_Up);
        QTest::keyClick(name, Qt::Key_Return);
        if (dialog->isVisible()) // no name to take: the dialog stays open
            QTest::keyClick(name, Qt::Key_Escape);
    });
    const std::optional<SaveFileAnswer> answer = QtDialogs().saveFileName(
        {QStringLiteral("Save File"), types, types[c.typeOnEntry], dir.path(), c.offered});
    EXPECT_EQ(title, QStringLiteral("Save File"));
    EXPECT_EQ(offered, types);
    EXPECT_EQ(onEntry, types[c.typeOnEntry]);
    if (!c.typed) {
        EXPECT_FALSE(answer);
        return;
    }
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->fileName, dir.filePath(QString::fromLatin1(c.returned)));
    EXPECT_EQ(answer->filter, types[c.typeReturned]);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RealSaveDialog,
    ::testing::Values(
        SaveDialogCase{"WordByDefault", 0, false, "deal", "deal.doc", 0},
        SaveDialogCase{"PdfChosenInTheTypeBox", 0, true, "deal", "deal.pdf", 1},
        SaveDialogCase{"PdfOnEntry", 1, false, "deal", "deal.pdf", 1},
        SaveDialogCase{"PdfExtensionNotDoubled", 1, false, "deal.pdf", "deal.pdf", 1},
        SaveDialogCase{"BackToWord", 1, true, "deal", "deal.doc", 0},
        // A name with an extension keeps it (the preview adds ".pdf" to a PDF's name).
        SaveDialogCase{"OtherExtensionKept", 1, false, "deal.doc", "deal.doc", 1},
        // Changing the type after typing changes the typed extension with it.
        SaveDialogCase{"TypeChangedAfterTheName", 0, true, "deal.doc", "deal.pdf", 1},
        SaveDialogCase{"Cancelled", 1, false, nullptr, nullptr, 1},
        // A name offered is taken as it is, follows the type, or gives way to one typed.
        SaveDialogCase{"OfferedName", 0, false, "", "Bill of Sale - X.doc", 0,
                       "Bill of Sale - X.doc"},
        SaveDialogCase{"OfferedNameFollowsTheType", 0, true, "", "Bill of Sale - X.pdf", 1,
                       "Bill of Sale - X.doc"},
        SaveDialogCase{"TypedOverTheOfferedName", 0, false, "deal", "deal.doc", 0,
                       "Bill of Sale - X.doc"}),
    [](const auto& p) { return std::string(p.param.name); });

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
