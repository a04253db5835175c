// The page's menu and its keys, driven by the events a user causes: a right-click on the page,
// a right-drag, the menu key's request, the shortcuts from whichever control has the focus.
#include "FindControl.h"
#include "Form2.h"
#include "Package.h"
#include "PictureBox.h"
#include "ScopedTemp.h"
#include "ScriptedDialogs.h"
#include "WindowEvents.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>
#include <QWindow>
#include <gtest/gtest.h>

namespace {

// A white page of the given size in twips with a red square, 1500 twips wide, at `mark`.
QPicture markedPage(int width, int height, QPoint mark) {
    QPicture picture;
    {
        QPainter painter(&picture);
        painter.fillRect(QRect(0, 0, width, height), Qt::white);
        painter.fillRect(QRect(mark, QSize(1500, 1500)), Qt::red);
    }
    picture.setBoundingRect(QRect(0, 0, width, height));
    return picture;
}

class PageMenu : public ::testing::Test {
protected:
    void SetUp() override {
        if (clipboardKept())
            QGuiApplication::clipboard()->clear();
        form = std::make_unique<Form2>(Form2::Services{[] {}, [] {}});
        form->Form_Load();
        // An empty document of the engine's, for the print dialog to be asked about.
        const QString document = temp.filePath(QStringLiteral("bill.doc"));
        wordengine::savePackage(wordengine::Document{}, 1, document);
        form->showPages({markedPage(12000, 16000, {3000, 1500})}, document);
        form->show();
        ASSERT_TRUE(becomeActive(*form));
    }
    void TearDown() override {
        if (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
    }

    QMenu* openMenu() const { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); }
    QPoint onPage(QPoint at) const {
        return control<PictureBox>(*form, "Picture1")->mapTo(form.get(), at);
    }

    ScopedTemp temp;
    ScriptedDialogs dialogs;
    std::unique_ptr<Form2> form;
};

TEST_F(PageMenu, ARightClickOnThePageOpensTheMenuAndCopyPageCopiesThePageShown) {
    EXPECT_TRUE(
        control<PictureBox>(*form, "Picture1")->toolTip().contains(QStringLiteral("Right-click")));
    QTest::mouseClick(form->windowHandle(), Qt::RightButton, {}, onPage({50, 50}));
    QMenu* menu = openMenu();
    ASSERT_NE(menu, nullptr);
    struct Item {
        const char* text;
        QKeySequence key;
    };
    const Item items[] = {{"Print…", QKeySequence(Qt::CTRL | Qt::Key_P)},
                          {"Save as PDF…", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)},
                          {"Copy Page", QKeySequence(Qt::CTRL | Qt::Key_C)}};
    const QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), qsizetype(std::size(items)));
    for (qsizetype i = 0; i < actions.size(); ++i) {
        EXPECT_EQ(actions[i]->text(), QString::fromUtf8(items[i].text));
        EXPECT_EQ(actions[i]->shortcut(), items[i].key);
    }
    if (!clipboardKept())
        GTEST_SKIP() << "no clipboard: a Wayland compositor without a seat";
    // Nothing is copied before it is asked for.
    EXPECT_TRUE(QGuiApplication::clipboard()->image().isNull());

    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(actions[2]).center());
    EXPECT_EQ(openMenu(), nullptr);
    // The whole page at 150 dots to the inch (1440 twips): 1250 by 1667 pixels, the red
    // square from (312, 156) to (468, 312).
    const QImage copied = QGuiApplication::clipboard()->image();
    ASSERT_EQ(copied.size(), QSize(1250, 1667));
    EXPECT_EQ(copied.pixelColor(390, 234), QColor(Qt::red));
    EXPECT_EQ(copied.pixelColor(300, 234), QColor(Qt::white));
    EXPECT_EQ(copied.pixelColor(1200, 1600), QColor(Qt::white));
    EXPECT_TRUE(dialogs.messages.empty());
}

// A drag with the right button pans the page, as it always has; only a right-click without
// a drag opens the menu.
TEST_F(PageMenu, ARightDragPansThePageWithoutAMenu) {
    QWindow* window = form->windowHandle();
    const QPoint from = onPage({200, 200});
    QTest::mousePress(window, Qt::RightButton, {}, from);
    QTest::mouseMove(window, from - QPoint(60, 60));
    QTest::mouseRelease(window, Qt::RightButton, {}, from - QPoint(60, 60));
    EXPECT_EQ(openMenu(), nullptr);
    EXPECT_LT(control<PictureBox>(*form, "Picture1")->Left(), 0);
    EXPECT_LT(control<PictureBox>(*form, "Picture1")->Top(), 0);
}

// The menu key asks the focused control for its menu; from any control of the window the
// request reaches the window, which opens the page's menu over the page.
TEST_F(PageMenu, TheMenuKeyOpensThePagesMenuOverThePage) {
    for (QWidget* focus : {static_cast<QWidget*>(control<QTreeWidget>(*form, "ListView1")),
                           static_cast<QWidget*>(control<QPushButton>(*form, "PushButton6"))}) {
        SCOPED_TRACE(focus->objectName().toStdString());
        focus->setFocus();
        QContextMenuEvent request(QContextMenuEvent::Keyboard, focus->rect().center(),
                                  focus->mapToGlobal(focus->rect().center()));
        QApplication::sendEvent(focus, &request);
        QMenu* menu = openMenu();
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(menu, control<QMenu>(*form, "pageMenu"));
        const QRect viewport(control<PictureBox>(*form, "Picture2")->mapToGlobal(QPoint(0, 0)),
                             control<PictureBox>(*form, "Picture2")->size());
        EXPECT_TRUE(viewport.contains(menu->geometry().topLeft()));
        QTest::keyClick(menu, Qt::Key_Escape);
        EXPECT_EQ(openMenu(), nullptr);
    }
    // A right-click elsewhere in the window opens nothing.
    QTest::mouseClick(form->windowHandle(), Qt::RightButton, {},
                      control<QGroupBox>(*form, "Frame1")->mapTo(form.get(), QPoint(5, 5)));
    EXPECT_EQ(openMenu(), nullptr);
}

TEST_F(PageMenu, TheMenusKeysWorkWhereverTheFocusIs) {
    QSignalSpy savesAsPdf(control<QAction>(*form, "pdfAction"), &QAction::triggered);
    int prints = 0, saves = 0;
    for (QWidget* focus : {static_cast<QWidget*>(control<QTreeWidget>(*form, "ListView1")),
                           static_cast<QWidget*>(control<QPushButton>(*form, "PushButton1")),
                           static_cast<QWidget*>(control<QPushButton>(*form, "PushButton8"))}) {
        SCOPED_TRACE(focus->objectName().toStdString());
        focus->setFocus();
        if (clipboardKept()) {
            QGuiApplication::clipboard()->clear();
            QTest::keyClick(focus, Qt::Key_C, Qt::ControlModifier);
            EXPECT_FALSE(QGuiApplication::clipboard()->image().isNull());
        }
        // The print dialog, cancelled.
        QTest::keyClick(focus, Qt::Key_P, Qt::ControlModifier);
        EXPECT_EQ(dialogs.printPageCounts.size(), size_t(++prints));
        // The save dialog, opened on the PDF type and cancelled: the save ends with "Done."
        QTest::keyClick(focus, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(savesAsPdf.size(), ++saves);
        ASSERT_EQ(dialogs.saveRequests.size(), size_t(saves));
        EXPECT_EQ(dialogs.saveRequests.back().selectedFilter, QStringLiteral("PDF Files (*.pdf)"));
    }
    EXPECT_EQ(dialogs.printPageCounts, std::vector<int>(3, 1));
    EXPECT_EQ(dialogs.texts(), std::vector<QString>(3, QStringLiteral("Done.")));
}

} // namespace
