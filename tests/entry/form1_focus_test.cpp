// The entry window's boxes driven by the events a user causes: clicks and drags through the
// window, switching to another window and back, context menus, message boxes.
#include "FindControl.h"
#include "Form1.h"
#include "SaleFields.h"
#include "SettingsStore.h"
#include "TextBox.h"
#include "WindowEvents.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

namespace {

const QString app = QString::fromLatin1(settingsApplication);
const QString section = QString::fromLatin1(settingsSection);

class EntryFocus : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        Form1::Services s;
        s.readSetting = [this](const QString& key) { return store.read(app, section, key); };
        s.writeSetting = [this](const QString& key, const QString& value) {
            store.write(app, section, key, value);
        };
        s.checkWordInstalled = [] {};
        s.generate = [](const SaleRecordSource&) {};
        s.endProgram = [] {};
        form = std::make_unique<Form1>(s);
        form->Form_Load();
        form->show();
        ASSERT_TRUE(becomeActive(*form));
    }

    TextBox* seller() const { return control<TextBox>(*form, "txtNameOfSeller"); }
    QString stored(const char* key) const {
        return store.read(app, section, QString::fromLatin1(key));
    }

    // A point of `box` in the coordinates of the window, for events sent to the window as
    // the window system sends them.
    QPoint inWindow(QWidget* box, QPoint at) const { return box->mapTo(form.get(), at); }
    void click(QWidget* box, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(form->windowHandle(), button, {}, inWindow(box, QPoint(8, 8)));
    }

    // A right press on the box, as the window system sends it; the context menu it opens.
    QMenu* openContextMenu(TextBox* box) {
        QTest::mousePress(form->windowHandle(), Qt::RightButton, {}, inWindow(box, {8, 8}));
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        EXPECT_NE(menu, nullptr);
        return menu;
    }
    void finishRightClick(TextBox* box) {
        QTest::mouseRelease(form->windowHandle(), Qt::RightButton, {}, inWindow(box, {8, 8}));
    }
    // An entry of the box's standard context menu, by its caption ("&Paste", "Cu&t").
    void choose(QMenu* menu, const char* caption) {
        QAction* action = nullptr;
        for (QAction* a : menu->actions())
            if (a->text().section(QLatin1Char('\t'), 0, 0) == QLatin1String(caption))
                action = a;
        ASSERT_NE(action, nullptr) << caption;
        ASSERT_TRUE(action->isEnabled()) << caption;
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
    }

    QTemporaryDir dir;
    SettingsStore store{dir.path()};
    std::unique_ptr<Form1> form;
};

// Ways the focus leaves the box and comes back without the user moving into the box.
enum class Away { WindowSwitch, ContextMenu, MessageBox };

struct Interruption {
    const char* name;
    Away away;
};

// Test output names the case rather than dumping its bytes.
void PrintTo(const Interruption& c, std::ostream* os) {
    *os << c.name;
}

class FocusComingBack : public EntryFocus, public ::testing::WithParamInterface<Interruption> {
protected:
    void interrupt(TextBox* box) {
        switch (GetParam().away) {
        case Away::WindowSwitch: {
            QWidget other;
            other.resize(100, 100);
            other.show();
            ASSERT_TRUE(becomeActive(other));
            ASSERT_FALSE(box->hasFocus());
            ASSERT_TRUE(becomeActive(*form));
            break;
        }
        case Away::ContextMenu: {
            QMenu* menu = openContextMenu(box);
            ASSERT_NE(menu, nullptr);
            QTest::keyClick(menu, Qt::Key_Escape);
            ASSERT_EQ(QApplication::activePopupWidget(), nullptr);
            finishRightClick(box);
            break;
        }
        case Away::MessageBox: {
            QMessageBox message(QMessageBox::NoIcon, QStringLiteral("Vantorel"),
                                QStringLiteral("News"), QMessageBox::Ok, form.get());
            message.show();
            ASSERT_TRUE(becomeActive(message));
            ASSERT_FALSE(box->hasFocus());
            QTest::keyClick(&message, Qt::Key_Escape);
            ASSERT_FALSE(message.isVisible());
            ASSERT_TRUE(becomeActive(*form)); // as the window manager does when the box goes
            break;
        }
        }
        ASSERT_TRUE(box->hasFocus());
    }
};

TEST_P(FocusComingBack, KeepsTheCaretAndTheSelection) {
    TextBox* box = seller();
    click(box);
    ASSERT_TRUE(box->hasFocus());
    QTest::keyClicks(box, QStringLiteral("Tobin"));
    interrupt(box);
    EXPECT_FALSE(box->hasSelectedText());
    EXPECT_EQ(box->cursorPosition(), 5);
    QTest::keyClicks(box, QStringLiteral(" Harl"));
    EXPECT_EQ(box->text(), QStringLiteral("Tobin Harl"));
    EXPECT_EQ(stored("Name Of Seller"), QStringLiteral("Tobin Harl"));

    box->setSelection(1, 3);
    interrupt(box);
    EXPECT_EQ(box->selectedText(), QStringLiteral("obi"));
}

INSTANTIATE_TEST_SUITE_P(Cases, FocusComingBack,
                         ::testing::Values(Interruption{"WindowSwitch", Away::WindowSwitch},
                                           Interruption{"ContextMenu", Away::ContextMenu},
                                           Interruption{"MessageBox", Away::MessageBox}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(EntryFocus, MovingInSelectsAllButADragKeepsWhatWasDragged) {
    TextBox* make = control<TextBox>(*form, "txtMake");
    TextBox* model = control<TextBox>(*form, "txtModel");
    make->setText(QStringLiteral("Ford"));
    model->setText(QStringLiteral("Thunderbird"));

    click(make); // a plain click
    EXPECT_EQ(make->selectedText(), QStringLiteral("Ford"));
    QTest::keyClick(make, Qt::Key_Tab); // Tab
    ASSERT_TRUE(model->hasFocus());
    EXPECT_EQ(model->selectedText(), QStringLiteral("Thunderbird"));
    QTest::keyClick(model, Qt::Key_Backtab); // Shift+Tab
    EXPECT_EQ(make->selectedText(), QStringLiteral("Ford"));

    // A press that gives the focus and drags: the user's own selection stands.
    const int from = 2;
    const int to = model->fontMetrics().horizontalAdvance(QStringLiteral("Thund")) + 4;
    QWindow* window = form->windowHandle();
    QTest::mousePress(window, Qt::LeftButton, {}, inWindow(model, {from, 12}));
    ASSERT_TRUE(model->hasFocus());
    QTest::mouseMove(window, inWindow(model, {to, 12}));
    QTest::mouseRelease(window, Qt::LeftButton, {}, inWindow(model, {to, 12}));
    EXPECT_GT(model->selectionLength(), 0);
    EXPECT_LT(model->selectionLength(), model->text().size());
    EXPECT_EQ(model->selectionStart(), 0);
}

TEST_F(EntryFocus, ContextMenuPasteAndCutGoThroughTheWriteThrough) {
    if (!clipboardKept())
        GTEST_SKIP() << "no clipboard: a Wayland compositor without a seat";
    TextBox* box = seller();
    click(box);
    QTest::keyClicks(box, QStringLiteral("Tobin"));

    QApplication::clipboard()->setText(QStringLiteral(" Harl"));
    QMenu* menu = openContextMenu(box);
    ASSERT_NE(menu, nullptr);
    choose(menu, "&Paste");
    finishRightClick(box);
    EXPECT_EQ(box->text(), QStringLiteral("Tobin Harl"));
    EXPECT_EQ(stored("Name Of Seller"), QStringLiteral("Tobin Harl"));

    box->setSelection(5, 5);
    menu = openContextMenu(box);
    ASSERT_NE(menu, nullptr);
    choose(menu, "Cu&t");
    finishRightClick(box);
    EXPECT_EQ(box->text(), QStringLiteral("Tobin"));
    EXPECT_EQ(stored("Name Of Seller"), QStringLiteral("Tobin"));
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral(" Harl"));
}

} // namespace
