// The preview driven through Qt's own events and signals: activation, list clicks and keys,
// scroll bar moves, mouse drags on the page, and the pixels the page box paints.
#include "FindControl.h"
#include "Form2.h"
#include "PictureBox.h"
#include "ScriptedDialogs.h"
#include "WindowEvents.h"

#include <QAccessible>
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTreeWidget>
#include <QWheelEvent>
#include <QWindow>
#include <gtest/gtest.h>

namespace {

// A white page of the given size in twips with a square mark of `colour`, 1500 twips
// (100 pixels) wide, whose top-left corner is at `mark` twips.
QPicture markedPage(int width, int height, QPoint mark, QColor colour) {
    QPicture picture;
    {
        QPainter painter(&picture);
        painter.fillRect(QRect(0, 0, width, height), Qt::white);
        painter.fillRect(QRect(mark, QSize(1500, 1500)), colour);
    }
    picture.setBoundingRect(QRect(0, 0, width, height));
    return picture;
}

class PreviewWiring : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<Form2>(Form2::Services{[] {}, [] {}});
        form->Form_Load();
    }

    // As the hand-off leaves the window (pages in, page 1 in the box), then shown and
    // activated by the window system: the page is prepared by the activation itself.
    void showPages(std::vector<QPicture> pages) {
        form->showPages(std::move(pages), QString());
        form->show();
        ASSERT_TRUE(becomeActive(*form));
    }

    // The colour the viewport shows at a pixel of the viewport.
    QColor shownAt(QPoint pixel) const {
        return control<PictureBox>(*form, "Picture2")->grab().toImage().pixelColor(pixel);
    }
    QPoint inWindow(QWidget* widget, QPoint at) const { return widget->mapTo(form.get(), at); }

    ScriptedDialogs dialogs;
    std::unique_ptr<Form2> form;
};

TEST_F(PreviewWiring, ActivationPreparesThePageAndTheBoxPaintsIt) {
    showPages({markedPage(7002, 9002, {1500, 1500}, Qt::black)});
    EXPECT_FALSE(form->preparesOnActivation());
    EXPECT_EQ(control<PictureBox>(*form, "Picture1")->Width(), 7000);
    EXPECT_EQ(control<PictureBox>(*form, "Picture1")->Height(), 9000);
    // At zoom 1 the mark covers pixels 100 to 199.
    EXPECT_EQ(shownAt({150, 150}), QColor(Qt::black));
    EXPECT_EQ(shownAt({50, 50}), QColor(Qt::white));
    EXPECT_EQ(shownAt({210, 150}), QColor(Qt::white));

    // Zoom Out, clicked: at 0.75 the mark covers pixels 75 to 149.
    QTest::mouseClick(control<QPushButton>(*form, "PushButton2"), Qt::LeftButton);
    EXPECT_FLOAT_EQ(form->zoom(), 0.75f);
    EXPECT_EQ(shownAt({80, 80}), QColor(Qt::black));
    EXPECT_EQ(shownAt({145, 145}), QColor(Qt::black));
    EXPECT_EQ(shownAt({170, 170}), QColor(Qt::white));
    // Zoom In twice: at 1.25 from 125 to 249.
    QTest::mouseClick(control<QPushButton>(*form, "PushButton1"), Qt::LeftButton);
    QTest::mouseClick(control<QPushButton>(*form, "PushButton1"), Qt::LeftButton);
    EXPECT_FLOAT_EQ(form->zoom(), 1.25f);
    EXPECT_EQ(shownAt({120, 120}), QColor(Qt::white));
    EXPECT_EQ(shownAt({240, 240}), QColor(Qt::black));

    // Activated again (after another window): the page stays as it is.
    QWidget other;
    other.show();
    ASSERT_TRUE(becomeActive(other));
    ASSERT_TRUE(becomeActive(*form));
    EXPECT_FLOAT_EQ(form->zoom(), 1.25f);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(PreviewWiring, AClickOnTheListAndAKeyReleaseInItChooseThePage) {
    showPages({markedPage(7002, 9002, {0, 0}, Qt::black),
               markedPage(5002, 6002, {1500, 0}, Qt::red),
               markedPage(4002, 4002, {0, 1500}, Qt::blue)});
    QTest::mouseClick(control<QPushButton>(*form, "PushButton2"), Qt::LeftButton); // zoom 0.75
    ASSERT_FLOAT_EQ(form->zoom(), 0.75f);

    QTreeWidget* list = control<QTreeWidget>(*form, "ListView1");
    const QRect second = list->visualItemRect(list->topLevelItem(1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_FLOAT_EQ(form->zoom(), 1);
    EXPECT_EQ(control<PictureBox>(*form, "Picture1")->Width(), 5000);
    EXPECT_EQ(shownAt({150, 50}), QColor(Qt::red));
    EXPECT_EQ(shownAt({50, 50}), QColor(Qt::white));

    ASSERT_TRUE(list->hasFocus());
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(control<PictureBox>(*form, "Picture1")->Width(), 4000);
    EXPECT_EQ(shownAt({50, 150}), QColor(Qt::blue));
    EXPECT_EQ(form->mousePointer(), PointerDefault);
}

TEST_F(PreviewWiring, TheScrollBarsMoveThePage) {
    // 11998 by 15998 twips: too large to draw, kept at its size; 2668 twips wider than the
    // viewport (267 steps of 10) and 8693 taller.
    showPages({markedPage(12000, 16000, {0, 0}, Qt::black)});
    ASSERT_TRUE(control<QScrollBar>(*form, "HScroll1")->isEnabled());
    ASSERT_EQ(control<QScrollBar>(*form, "HScroll1")->maximum(), 267);
    // The right arrow of the horizontal bar, clicked: one step.
    const QRect bar = control<QScrollBar>(*form, "HScroll1")->rect();
    QTest::mouseClick(control<QScrollBar>(*form, "HScroll1"), Qt::LeftButton, {},
                      QPoint(bar.right() - 3, bar.center().y()));
    EXPECT_EQ(control<QScrollBar>(*form, "HScroll1")->value(), 1);
    EXPECT_EQ(control<PictureBox>(*form, "Picture1")->Left(), -10);
    // Keys on the vertical bar.
    control<QScrollBar>(*form, "VScroll1")->setFocus();
    QTest::keyClick(control<QScrollBar>(*form, "VScroll1"), Qt::Key_End);
    EXPECT_EQ(control<QScrollBar>(*form, "VScroll1")->value(),
              control<QScrollBar>(*form, "VScroll1")->maximum());
    EXPECT_EQ(control<PictureBox>(*form, "Picture1")->Top(),
              -10 * control<QScrollBar>(*form, "VScroll1")->maximum());
    QTest::keyClick(control<QScrollBar>(*form, "VScroll1"), Qt::Key_Home);
    EXPECT_EQ(control<PictureBox>(*form, "Picture1")->Top(), 0);
}

// Mouse positions reach the drag in twips: a pixel is 15 twips. On an axis where the page is
// smaller than the viewport a drag leaves it where it is; on the others it follows the mouse
// and settles on a scroll position at the release.
TEST_F(PreviewWiring, DraggingThePageWithTheMouseWorksInTwips) {
    struct Case {
        const char* what;
        QSize page;     // twips
        int zoomOuts;   // clicks on Zoom Out first
        QPoint drag;    // pixels
        QPoint moved;   // the page's Left and Top after the move, twips
        QPoint settled; // after the release
    };
    const Case cases[] = {
        // 19 % of 470 steps of 10 twips.
        {"narrower and taller, zoom 1", {3002, 12002}, 0, {0, -60}, {0, -900}, {0, -890}},
        {"narrower and shorter, zoom 0.5", {3002, 12002}, 2, {0, -60}, {0, 0}, {0, 0}},
        // 34 % of 267 steps.
        {"wider and shorter, zoom 1", {12002, 3002}, 0, {-60, -60}, {-900, 0}, {-910, 0}},
        {"narrower and shorter, zoom 0.5, aslant", {7002, 4002}, 2, {-60, -60}, {0, 0}, {0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp(); // a fresh window: only the first activation after a hand-over prepares a page
        showPages({markedPage(c.page.width(), c.page.height(), {0, 3000}, Qt::black)});
        for (int i = 0; i < c.zoomOuts; ++i)
            QTest::mouseClick(control<QPushButton>(*form, "PushButton2"), Qt::LeftButton);
        auto* page = control<PictureBox>(*form, "Picture1");
        QWindow* window = form->windowHandle();
        const QPoint pressAt = inWindow(page, {20, 100});
        QTest::mousePress(window, Qt::LeftButton, {}, pressAt);
        EXPECT_FLOAT_EQ(form->dragX(), 300);
        EXPECT_FLOAT_EQ(form->dragY(), 1500);
        // Pairs, which the failure message prints as numbers.
        const auto place = [&] { return std::pair(page->Left(), page->Top()); };
        QTest::mouseMove(window, pressAt + c.drag);
        EXPECT_EQ(place(), std::pair(c.moved.x(), c.moved.y()));
        QTest::mouseRelease(window, Qt::LeftButton, {}, pressAt + c.drag);
        EXPECT_EQ(place(), std::pair(c.settled.x(), c.settled.y()));
        if (&c == cases) {
            // As seen: the mark (twips 3000 to 4499 down the page) now at pixels 141 to 240,
            // on a page that starts at the viewport's left edge.
            EXPECT_EQ(shownAt({50, 150}), QColor(Qt::black));
            EXPECT_EQ(shownAt({50, 130}), QColor(Qt::white));
            EXPECT_EQ(shownAt({120, 150}), QColor(Qt::white));
        }
        EXPECT_TRUE(dialogs.messages.empty());
    }
}

// A wheel turn as the window system delivers it: to the widget under the pointer, at `at`
// in the viewport, which must be `expected` (the page itself, or the viewport beside a
// small page).
void turnWheelOver(Form2& window, QWidget* expected, QPoint angleDelta,
                   Qt::KeyboardModifiers modifiers = {}, QPoint at = {100, 100}) {
    const QPoint inWindow = control<PictureBox>(window, "Picture2")->mapTo(&window, at);
    QWidget* under = window.childAt(inWindow);
    ASSERT_EQ(under, expected);
    const QPoint local = under->mapFrom(&window, inWindow);
    QWheelEvent wheel(QPointF(local), QPointF(under->mapToGlobal(local)), QPoint(), angleDelta,
                      Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(under, &wheel);
}

TEST_F(PreviewWiring, TheWheelOverThePageMovesItThroughTheScrollBars) {
    // Wider and taller than the viewport by more than 100 twips: steps of 10.
    showPages({markedPage(12000, 16000, {0, 0}, Qt::black)});
    QWidget* page = control<PictureBox>(*form, "Picture1");
    QScrollBar* v = control<QScrollBar>(*form, "VScroll1");
    QScrollBar* h = control<QScrollBar>(*form, "HScroll1");
    const int vMax = v->maximum(), hMax = h->maximum();
    ASSERT_GT(vMax, 800);
    ASSERT_GT(hMax, 200);
    // One notch: the desktop's wheel lines of 20 pixels (300 twips) each, in steps of 10.
    const int notch = QApplication::wheelScrollLines() * 30;
    ASSERT_GT(notch, 0);

    struct Case {
        const char* what;
        QPoint delta;
        Qt::KeyboardModifiers modifiers;
        int hValue, vValue;
    };
    const Case cases[] = {
        {"one notch down", {0, -120}, {}, 0, notch},
        {"fine-grained wheel, a notch in ten parts", {0, -12}, {}, 0, 2 * notch},
        {"one notch up", {0, 120}, {}, 0, notch},
        {"Shift turns it sideways", {0, -120}, Qt::ShiftModifier, notch, notch},
        {"a sideways wheel", {120, 0}, {}, 0, notch},
        {"far past the top stops at the top", {0, 120 * 50}, {}, 0, 0},
        {"far past the bottom stops at the bottom", {0, -120 * 50}, {}, 0, vMax},
        {"sideways past the right edge", {0, -120 * 50}, Qt::ShiftModifier, hMax, vMax},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const int parts = c.delta == QPoint(0, -12) ? 10 : 1;
        for (int i = 0; i < parts; ++i)
            turnWheelOver(*form, page, c.delta, c.modifiers);
        EXPECT_EQ(h->value(), c.hValue);
        EXPECT_EQ(v->value(), c.vValue);
        // The bars' change handlers placed the page.
        EXPECT_EQ(control<PictureBox>(*form, "Picture1")->Left(), -10 * c.hValue);
        EXPECT_EQ(control<PictureBox>(*form, "Picture1")->Top(), -10 * c.vValue);
    }

    // The bars' own rules still hold afterwards: a zoom puts the page back at the top left.
    QTest::mouseClick(control<QPushButton>(*form, "PushButton2"), Qt::LeftButton);
    EXPECT_EQ(v->value(), 0);
    EXPECT_EQ(control<PictureBox>(*form, "Picture1")->Top(), 0);
}

TEST_F(PreviewWiring, TheWheelLeavesAPageThatFitsWhereItIs) {
    showPages({markedPage(3002, 3002, {0, 0}, Qt::black)});
    ASSERT_FALSE(control<QScrollBar>(*form, "VScroll1")->isEnabled());
    turnWheelOver(*form, control<PictureBox>(*form, "Picture1"), {0, -120});
    // Beside the small page the pointer is over the viewport.
    turnWheelOver(*form, control<PictureBox>(*form, "Picture2"), {0, -120}, Qt::ShiftModifier,
                  {400, 100});
    EXPECT_EQ(control<PictureBox>(*form, "Picture1")->Left(), 0);
    EXPECT_EQ(control<PictureBox>(*form, "Picture1")->Top(), 0);
    EXPECT_EQ(control<QScrollBar>(*form, "VScroll1")->value(), 0);
    EXPECT_EQ(control<QScrollBar>(*form, "HScroll1")->value(), 0);
}

TEST_F(PreviewWiring, PageKeysChooseThePageAndCtrlPlusAndMinusZoom) {
    showPages({markedPage(7002, 9002, {0, 0}, Qt::black),
               markedPage(5002, 6002, {1500, 0}, Qt::red),
               markedPage(4002, 4002, {0, 1500}, Qt::blue)});
    QWidget* w = form.get();
    const auto description = [&] {
        return QAccessible::queryAccessibleInterface(control<PictureBox>(*form, "Picture1"))
            ->text(QAccessible::Description);
    };
    EXPECT_EQ(description(), QStringLiteral("Page 1 of 3"));

    QTest::keyClick(w, Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_FLOAT_EQ(form->zoom(), 0.75f);
    QTest::keyClick(w, Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_FLOAT_EQ(form->zoom(), 1);
    QTest::keyClick(w, Qt::Key_Equal, Qt::ControlModifier); // "+" without Shift
    EXPECT_FLOAT_EQ(form->zoom(), 1.25f);

    // Page Up on the first page does nothing: the zoom stays.
    QTest::keyClick(w, Qt::Key_PageUp);
    EXPECT_FLOAT_EQ(form->zoom(), 1.25f);
    EXPECT_EQ(description(), QStringLiteral("Page 1 of 3"));

    struct Step {
        Qt::Key key;
        int page, width; // page shown afterwards and its width in twips
    };
    const Step steps[] = {{Qt::Key_PageDown, 2, 5000},
                          {Qt::Key_PageDown, 3, 4000},
                          {Qt::Key_PageDown, 3, 4000},
                          {Qt::Key_PageUp, 2, 5000}};
    for (const Step& s : steps) {
        SCOPED_TRACE(s.page);
        QTest::keyClick(w, s.key);
        EXPECT_EQ(
            control<QTreeWidget>(*form, "ListView1")
                    ->indexOfTopLevelItem(control<QTreeWidget>(*form, "ListView1")->currentItem()) +
                1,
            s.page);
        EXPECT_EQ(control<PictureBox>(*form, "Picture1")->Width(), s.width);
        EXPECT_FLOAT_EQ(form->zoom(), 1);
        EXPECT_EQ(description(), QStringLiteral("Page %1 of 3").arg(s.page));
    }
    EXPECT_EQ(shownAt({150, 50}), QColor(Qt::red));

    // With the focus in the list the keys choose one page, not a list page's worth. The zoom
    // keys zoom there too, and their releases (the key's and Ctrl's) do not undo it: only the
    // release of a key the list itself took chooses the page afresh at zoom 1.
    control<QTreeWidget>(*form, "ListView1")->setFocus();
    QTest::keyClick(control<QTreeWidget>(*form, "ListView1"), Qt::Key_PageDown);
    EXPECT_EQ(control<PictureBox>(*form, "Picture1")->Width(), 4000);
    EXPECT_EQ(description(), QStringLiteral("Page 3 of 3"));
    QTest::keyPress(control<QTreeWidget>(*form, "ListView1"), Qt::Key_Minus,
                    Qt::ControlModifier); // Ctrl, then minus
    EXPECT_FLOAT_EQ(form->zoom(), 0.75f);
    QTest::keyRelease(control<QTreeWidget>(*form, "ListView1"), Qt::Key_Minus,
                      Qt::ControlModifier); // minus, then Ctrl
    EXPECT_FLOAT_EQ(form->zoom(), 0.75f);
    QTest::keyClick(control<QTreeWidget>(*form, "ListView1"), Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_FLOAT_EQ(form->zoom(), 1);
    QTest::keyClick(control<QTreeWidget>(*form, "ListView1"), Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_FLOAT_EQ(form->zoom(), 1.25f);
    // A plain key keeps the rule: Ctrl alone, then an arrow, each chooses the page again.
    QTest::keyClick(control<QTreeWidget>(*form, "ListView1"), Qt::Key_Control);
    EXPECT_FLOAT_EQ(form->zoom(), 1);
    QTest::mouseClick(control<QPushButton>(*form, "PushButton2"), Qt::LeftButton);
    control<QTreeWidget>(*form, "ListView1")->setFocus();
    ASSERT_FLOAT_EQ(form->zoom(), 0.75f);
    QTest::keyClick(control<QTreeWidget>(*form, "ListView1"), Qt::Key_Up);
    EXPECT_FLOAT_EQ(form->zoom(), 1);
    EXPECT_EQ(description(), QStringLiteral("Page 2 of 3"));
    EXPECT_EQ(form->mousePointer(), PointerDefault);
    EXPECT_TRUE(dialogs.messages.empty());
}

// A click gives the page the focus, shown as a frame, and the keys that move it; Alt with an
// arrow moves it from anywhere, here the list, whose key releases then leave the page alone.
TEST_F(PreviewWiring, KeysMoveTheFocusedPageAndAltArrowsMoveItFromAnywhere) {
    showPages({markedPage(12000, 16000, {}, Qt::white), markedPage(7002, 9002, {}, Qt::white)});
    auto* page = control<PictureBox>(*form, "Picture1");
    QWidget* list = control<QTreeWidget>(*form, "ListView1");
    EXPECT_EQ(shownAt({0, 100}), QColor(Qt::white));
    QTest::mouseClick(page, Qt::LeftButton, {}, {50, 50});
    ASSERT_TRUE(page->hasFocus());
    EXPECT_EQ(shownAt({0, 100}), page->palette().color(QPalette::Highlight));
    const struct {
        QWidget* to;
        Qt::Key key;
        int shownPage, h, v; // scroll values: 10 twips a step; a line is 30, a screenful 700
    } keys[] = {
        {page, Qt::Key_Down, 1, 0, 30},      {page, Qt::Key_PageDown, 1, 0, 730},
        {page, Qt::Key_PageDown, 1, 0, 870}, {page, Qt::Key_PageDown, 2, 0, 0},
        {page, Qt::Key_PageUp, 1, 0, 0},     {page, Qt::Key_End, 1, 0, 870},
        {page, Qt::Key_Right, 1, 30, 870},   {page, Qt::Key_Home, 1, 30, 0},
        {list, Qt::Key_Down, 1, 30, 30}, // with Alt
    };
    for (const auto& k : keys) {
        SCOPED_TRACE(k.key);
        k.to->setFocus(Qt::TabFocusReason);
        QTest::keyClick(k.to, k.key, k.to == list ? Qt::AltModifier : Qt::NoModifier);
        EXPECT_EQ(page->accessibleDescription(), QStringLiteral("Page %1 of 2").arg(k.shownPage));
        EXPECT_EQ(std::pair(page->Left(), page->Top()), std::pair(-10 * k.h, -10 * k.v));
    }
}

TEST_F(PreviewWiring, AssistiveToolsHearNamesAndTheButtonsStayPut) {
    showPages({markedPage(7002, 9002, {0, 0}, Qt::black)});
    const auto name = [](QWidget* widget) {
        return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
    };
    struct Case {
        QPushButton* button;
        const char* caption;
        const char* name;
        QRect twips;
    };
    const Case cases[] = {
        {control<QPushButton>(*form, "PushButton1"), "Zoom In", "Zoom In", {240, 300, 4440, 405}},
        {control<QPushButton>(*form, "PushButton2"),
         "Zoom Out",
         "Zoom Out",
         {4800, 300, 4560, 405}},
        {control<QPushButton>(*form, "PushButton6"),
         "Save Results To Word File",
         "Save Results To Word File",
         {4920, 9770, 4800, 405}},
        {control<QPushButton>(*form, "PushButton8"), "< Back", "Back", {120, 9770, 4680, 405}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption);
        EXPECT_EQ(c.button->text(), QString::fromLatin1(c.caption));
        EXPECT_EQ(name(c.button), QString::fromLatin1(c.name));
        EXPECT_EQ(c.button->geometry(),
                  twipsRect(c.twips.x(), c.twips.y(), c.twips.width(), c.twips.height()));
    }
    EXPECT_EQ(name(control<QTreeWidget>(*form, "ListView1")), QStringLiteral("Pages"));
    EXPECT_FALSE(name(control<PictureBox>(*form, "Picture1")).isEmpty());

    // Tab order unchanged: the controls that take the focus come round in this order.
    const std::vector<QWidget*> expected = {
        control<QPushButton>(*form, "PushButton1"), control<QPushButton>(*form, "PushButton2"),
        control<QPushButton>(*form, "PushButton6"), control<QPushButton>(*form, "PushButton8"),
        control<QTreeWidget>(*form, "ListView1")};
    std::vector<QWidget*> seen{expected.front()};
    for (QWidget* w = expected.front()->nextInFocusChain(); w != expected.front();
         w = w->nextInFocusChain())
        if (std::find(expected.begin(), expected.end(), w) != expected.end())
            seen.push_back(w);
    EXPECT_EQ(seen, expected);
}

} // namespace
