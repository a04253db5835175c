// The preview window: layout, zoom, scroll bars, drag-pan, page selection.
#include "FindControl.h"
#include "Form2.h"
#include "PictureBox.h"
#include "ScriptedDialogs.h"
#include "Trap.h"
#include "WindowEvents.h"

#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

int px(int twips) {
    return qRound(twips / 15.0);
}

QString reportWhere(const QString& report) {
    return report.section(QStringLiteral("\r\n"), 1).section(QLatin1Char('\r'), 0, 0);
}

// A page picture of the given size in twips.
QPicture pageOf(int width, int height) {
    QPicture picture;
    {
        QPainter painter(&picture);
        painter.fillRect(QRect(0, 0, width, height), Qt::white);
        painter.drawText(QPoint(100, 300), QStringLiteral("page"));
    }
    picture.setBoundingRect(QRect(0, 0, width, height));
    return picture;
}

class Preview : public ::testing::Test {
protected:
    void SetUp() override {
        form =
            std::make_unique<Form2>(Form2::Services{[this] { ++entryShown; }, [this] { ++ended; }});
        form->Form_Load();
    }
    void TearDown() override { Trap::setFaultInjector({}); }

    // As the hand-off leaves it: pages rendered, page 1 in Picture1, then activated.
    void showPages(std::vector<QPicture> pages) {
        form->showPages(std::move(pages), QString());
        activate(*form);
    }
    void click(const char* button) const { clickButton(*form, button); }

    // A mouse event on the page at a point in twips of the page's own, as the window system
    // delivers it to the page under the pointer (or to the page that holds the mouse).
    void onPage(QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held, double x,
                double y) const {
        auto* page = control<PictureBox>(*form, "Picture1");
        const QPointF at(x / 15, y / 15);
        QMouseEvent event(type, at, page->mapToGlobal(at), button, held, Qt::NoModifier);
        QApplication::sendEvent(page, &event);
    }
    void pressOnPage(Qt::MouseButton button, double x, double y) const {
        onPage(QEvent::MouseButtonPress, button, button, x, y);
    }
    void moveOnPage(Qt::MouseButtons held, double x, double y) const {
        onPage(QEvent::MouseMove, Qt::NoButton, held, x, y);
    }
    void releaseOnPage(Qt::MouseButton button, double x, double y) const {
        onPage(QEvent::MouseButtonRelease, button, Qt::NoButton, x, y);
    }

    ScriptedDialogs dialogs;
    std::unique_ptr<Form2> form;
    int entryShown = 0, ended = 0;
};

TEST_F(Preview, LayoutMatchesTheTableInPixels) {
    Form2& w = *form;
    EXPECT_EQ(w.size(), QSize(656, 686));
    EXPECT_EQ(w.minimumSize(), w.maximumSize());
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Vantorel"));
    struct {
        QWidget* widget;
        QRect twips;
    } cases[] = {
        {control<QTreeWidget>(w, "ListView1"), {120, 120, 9600, 945}},
        {control<PictureBox>(w, "Picture2"), {120, 1170, 9330, 7305}},
        {control<PictureBox>(w, "Picture1"), {0, 0, 2340, 3435}},
        {control<QScrollBar>(w, "VScroll1"), {9450, 1170, 255, 7305}},
        {control<QScrollBar>(w, "HScroll1"), {120, 8475, 9330, 255}},
        {control<QGroupBox>(w, "Frame1"), {120, 8790, 9600, 855}},
        {control<QPushButton>(w, "PushButton1"), {240, 300, 4440, 405}},
        {control<QPushButton>(w, "PushButton2"), {4800, 300, 4560, 405}},
        {control<QPushButton>(w, "PushButton8"), {120, 9770, 4680, 405}},
        {control<QPushButton>(w, "PushButton6"), {4920, 9770, 4800, 405}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.widget->geometry(), QRect(px(c.twips.x()), px(c.twips.y()), px(c.twips.width()),
                                              px(c.twips.height())))
            << c.widget->objectName().toStdString();
    EXPECT_EQ(control<QPushButton>(w, "PushButton8")->text(), QStringLiteral("< Back"));
    EXPECT_EQ(control<QPushButton>(w, "PushButton6")->text(),
              QStringLiteral("Save Results To Word File"));
    EXPECT_EQ(control<QGroupBox>(w, "Frame1")->title(), QStringLiteral("Zoom:"));
    EXPECT_EQ(control<QTreeWidget>(w, "ListView1")->headerItem()->text(0),
              QStringLiteral("Page(s)"));
    EXPECT_EQ(control<QTreeWidget>(w, "ListView1")->columnWidth(0), px(6500));
    for (QScrollBar* bar :
         {control<QScrollBar>(w, "HScroll1"), control<QScrollBar>(w, "VScroll1")}) {
        EXPECT_EQ(bar->minimum(), 0);
        EXPECT_EQ(bar->maximum(), 32767);
        EXPECT_EQ(bar->singleStep(), 1);
        EXPECT_EQ(bar->pageStep(), 1);
    }
    EXPECT_DOUBLE_EQ(control<QPushButton>(w, "PushButton1")->font().pointSizeF(), 11.25);
    EXPECT_TRUE(w.preparesOnActivation());
    EXPECT_EQ(w.pagePictures().size(), 1u);
}

// A later hand-over's pages replace the earlier ones: the list, the pictures and the count of
// pictures beyond the first describe only the new document, and the page keys stay within it.
TEST_F(Preview, PagesShownAgainReplaceTheEarlierOnes) {
    showPages({pageOf(7000, 9000), pageOf(7000, 9000), pageOf(7000, 9000)});
    const QString second = QStringLiteral("/nowhere/second.doc");
    form->showPages({pageOf(5000, 6000)}, second);
    auto* list = control<QTreeWidget>(*form, "ListView1");
    ASSERT_EQ(list->topLevelItemCount(), 1);
    EXPECT_EQ(list->topLevelItem(0)->text(0), QStringLiteral("Page 1"));
    EXPECT_EQ(form->pagePictures().size(), 1u);
    EXPECT_EQ(form->totalImages(), 0);
    EXPECT_EQ(form->wordFile(), second);
    EXPECT_EQ(control<PictureBox>(*form, "Picture1")->picture().boundingRect().size(),
              QSize(5000, 6000));
    form->show();
    activate(*form);
    QTest::keyClick(list, Qt::Key_PageDown);
    EXPECT_EQ(control<PictureBox>(*form, "Picture1")->accessibleDescription(),
              QStringLiteral("Page 1 of 1"));
}

TEST_F(Preview, ActivationPreparesThePageOnceAfterEachHandOff) {
    showPages({pageOf(7000, 9000)});
    EXPECT_FALSE(form->preparesOnActivation());
    EXPECT_FLOAT_EQ(form->zoom(), 1);
    EXPECT_EQ(form->origWidth(), 6998);
    EXPECT_EQ(form->origHeight(), 8998);
    EXPECT_EQ(control<PictureBox>(*form, "Picture1")->Width(), 6998);
    EXPECT_EQ(control<PictureBox>(*form, "Picture1")->Height(), 8998);
    click("PushButton1");
    const int zoomedWidth = control<PictureBox>(*form, "Picture1")->Width();
    activate(*form); // again, as after a message box: nothing changes
    EXPECT_FLOAT_EQ(form->zoom(), 1.25);
    EXPECT_EQ(control<PictureBox>(*form, "Picture1")->Width(), zoomedWidth);
}

TEST_F(Preview, ZoomGoesInQuarterStepsAndStopsAtItsLimits) {
    showPages({pageOf(1002, 1002)}); // 1000 twips at zoom 1
    std::vector<int> widths;
    for (int i = 0; i < 14; ++i) {
        click("PushButton1");
        widths.push_back(form->zoomWidth());
    }
    EXPECT_FLOAT_EQ(form->zoom(), 4);
    EXPECT_EQ(widths.front(), 1250);
    EXPECT_EQ(widths[11], 4000);
    EXPECT_EQ(widths.back(), 4000); // a further Zoom In did nothing
    for (int i = 0; i < 20; ++i)
        click("PushButton2");
    EXPECT_FLOAT_EQ(form->zoom(), 0.25);
    EXPECT_EQ(control<PictureBox>(*form, "Picture1")->Width(), 250);
    EXPECT_TRUE(dialogs.messages.empty());
}

struct LimitCase {
    const char* name;
    int width, height; // of the page picture
    bool drawnAtOneAndAQuarter;
};

// Test output names the case rather than dumping its bytes.
void PrintTo(const LimitCase& c, std::ostream* os) {
    *os << c.name;
}

class ZoomLimit : public Preview, public ::testing::WithParamInterface<LimitCase> {};

TEST_P(ZoomLimit, ADrawingThatWouldReachTheLimitIsNotMade) {
    const LimitCase& c = GetParam();
    showPages({pageOf(c.width, c.height)});
    click("PushButton1");
    if (c.drawnAtOneAndAQuarter) {
        EXPECT_FLOAT_EQ(form->zoom(), 1.25);
        EXPECT_EQ(control<PictureBox>(*form, "Picture1")->Width(), form->zoomWidth());
    } else {
        EXPECT_FLOAT_EQ(form->zoom(), 1); // back to 1: next In draws 1.25, next Out 0.75
        EXPECT_EQ(control<PictureBox>(*form, "Picture1")->Width(),
                  c.width - 2); // the page keeps its drawn size
        EXPECT_EQ(control<PictureBox>(*form, "Picture1")->Left(), 0);
        click("PushButton2");
        EXPECT_FLOAT_EQ(form->zoom(), 0.75);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ZoomLimit,
    ::testing::Values(LimitCase{"Width8798", 7041, 1000, true},  // floor(1.25 * 7039) = 8798
                      LimitCase{"Width8800", 7042, 1000, false}, // 1.25 * 7040 = 8800
                      LimitCase{"Height12498", 1000, 10001, true},
                      LimitCase{"Height12500", 1000, 10002, false}),
    [](const auto& p) { return std::string(p.param.name); });

struct ScrollCase {
    const char* name;
    int extraWidth; // the drawn page minus the viewport
    bool enabled;
    int max;
    int step;
};

// Test output names the case rather than dumping its bytes.
void PrintTo(const ScrollCase& c, std::ostream* os) {
    *os << c.name;
}

class ScrollBars : public Preview, public ::testing::WithParamInterface<ScrollCase> {};

TEST_P(ScrollBars, RangeAndStepFollowTheDifference) {
    const ScrollCase& c = GetParam();
    showPages({pageOf(9330 + c.extraWidth, 1000)}); // too wide to draw: kept at its size
    EXPECT_EQ(control<QScrollBar>(*form, "HScroll1")->isEnabled(), c.enabled);
    EXPECT_EQ(form->hStep(), c.step);
    if (c.enabled) {
        EXPECT_EQ(control<QScrollBar>(*form, "HScroll1")->maximum(), c.max);
        control<QScrollBar>(*form, "HScroll1")->setValue(7);
        EXPECT_EQ(control<PictureBox>(*form, "Picture1")->Left(), -7 * c.step);
    }
    EXPECT_FALSE(control<QScrollBar>(*form, "VScroll1")->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(Cases, ScrollBars,
                         ::testing::Values(ScrollCase{"Narrower", -500, false, 0, 0},
                                           ScrollCase{"Equal", 0, false, 0, 0},
                                           ScrollCase{"By100", 100, true, 100, 1},
                                           ScrollCase{"By101", 101, true, 10, 10},
                                           ScrollCase{"By1005", 1005, true, 100, 10},
                                           ScrollCase{"By1015", 1015, true, 102, 10}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(Preview, DraggingIsClampedBothWaysAndSettlesOnAScrollPosition) {
    showPages({pageOf(3002, 12002)}); // narrower than the viewport, taller
    pressOnPage(Qt::RightButton, 1000, 1000);
    moveOnPage(Qt::RightButton, 400, 1000); // sideways: a narrower page stays where it is
    EXPECT_EQ(control<PictureBox>(*form, "Picture1")->Left(), 0);
    moveOnPage(Qt::RightButton, 9000, 1000);
    EXPECT_EQ(control<PictureBox>(*form, "Picture1")->Left(), 0);
    moveOnPage(Qt::NoButton, 0, 0); // no button: nothing moves
    EXPECT_EQ(control<PictureBox>(*form, "Picture1")->Left(), 0);

    // Upwards, past the bottom: the page's bottom edge stops at the viewport's.
    moveOnPage(Qt::LeftButton, 1000, -30000);
    EXPECT_EQ(control<PictureBox>(*form, "Picture1")->Top(), 7305 - 12000);
    // Half way back, then the release: the page settles on the nearest scroll position.
    moveOnPage(Qt::LeftButton, 1000, 3345);
    EXPECT_EQ(control<PictureBox>(*form, "Picture1")->Top(), -2350);
    releaseOnPage(Qt::LeftButton, 0, 0);
    // v = round(2350 / 4695 * 100) = 50; Max = round(469.5) = 470 (to even); Value = 235.
    EXPECT_EQ(control<QScrollBar>(*form, "VScroll1")->maximum(), 470);
    EXPECT_EQ(control<QScrollBar>(*form, "VScroll1")->value(), 235);
    EXPECT_EQ(control<PictureBox>(*form, "Picture1")->Top(), -2350);
    EXPECT_EQ(control<PictureBox>(*form, "Picture1")->Left(), 0);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(Preview, AReleaseWithThePageExactlyAsWideAsTheViewportDividesByZero) {
    showPages({pageOf(9330, 5002)}); // too wide to draw: kept at its size
    releaseOnPage(Qt::LeftButton, 0, 0);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.startsWith(QStringLiteral("Division by zero\r\n")));
    EXPECT_EQ(reportWhere(dialogs.messages[0].text),
              QStringLiteral("in Qelvard2021/08/31.Form2.Picture1_MouseUp at line 100"));
}

TEST_F(Preview, MouseHandlerFaultsNameTheirLowerCaseIds) {
    showPages({pageOf(3002, 3002)});
    Trap::setFaultInjector([](const QString&, int line) {
        if (line == 102)
            throw std::runtime_error("Injected");
    });
    pressOnPage(Qt::LeftButton, 1, 1);
    moveOnPage(Qt::LeftButton, 1, 1);
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(reportWhere(dialogs.messages[0].text),
              QStringLiteral("in Qelvard2021/08/31.Form2.picture1_MouseDown at line 102"));
    EXPECT_EQ(reportWhere(dialogs.messages[1].text),
              QStringLiteral("in Qelvard2021/08/31.Form2.picture1_MouseMove at line 102"));
}

TEST_F(Preview, ChoosingAPageShowsItAtZoomOneFromItsTopLeftCorner) {
    showPages({pageOf(12000, 16000), pageOf(5002, 6002), pageOf(1000, 1000)});
    form->show(); // the list lays out its rows
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    click("PushButton2");
    control<QScrollBar>(*form, "HScroll1")->setValue(5);
    ASSERT_LT(control<PictureBox>(*form, "Picture1")->Left(), 0);
    auto* list = control<QTreeWidget>(*form, "ListView1");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->topLevelItem(1)).center());
    ASSERT_EQ(list->currentItem(), list->topLevelItem(1));
    EXPECT_FLOAT_EQ(form->zoom(), 1);
    EXPECT_EQ(control<PictureBox>(*form, "Picture1")->Left(), 0);
    EXPECT_EQ(control<PictureBox>(*form, "Picture1")->Top(), 0);
    EXPECT_EQ(control<PictureBox>(*form, "Picture1")->Width(), 5000);
    EXPECT_EQ(form->mousePointer(), PointerDefault);
    // With nothing selected nothing happens: a key released in the list chooses no page.
    list->setCurrentItem(nullptr);
    QTest::keyClick(list, Qt::Key_Shift);
    EXPECT_EQ(control<PictureBox>(*form, "Picture1")->Width(), 5000);
    EXPECT_EQ(control<PictureBox>(*form, "Picture1")->accessibleDescription(),
              QStringLiteral("Page 2 of 3"));
    // The same release with a page selected does choose it.
    list->setCurrentItem(list->topLevelItem(2));
    QTest::keyClick(list, Qt::Key_Shift);
    EXPECT_EQ(control<PictureBox>(*form, "Picture1")->Width(), 998);
}

// Shown, the preview stays within the screen's available area, centred. The suite also runs on
// a 1024 by 600 offscreen screen (preview_small_screen), where the window is taller than the
// screen and so scrolls its controls.
TEST_F(Preview, ShownItStaysWithinTheScreensAvailableArea) {
    if (!programPlacesWindows())
        GTEST_SKIP() << "Wayland places windows itself";
    const QRect area = form->screen()->availableGeometry();
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    // A window taller than the area takes the area's height and scrolls its controls.
    const QRect frame = form->frameGeometry();
    EXPECT_TRUE(area.contains(frame));
    EXPECT_LE(std::abs(frame.center().x() - area.center().x()), 1);
    EXPECT_LE(std::abs(frame.center().y() - area.center().y()), 1);
}

TEST_F(Preview, PointerFollowsTheMouseOverButtonsAndBackground) {
    auto move = [](QWidget* target) {
        QMouseEvent e(QEvent::MouseMove, QPointF(3, 3), target->mapToGlobal(QPointF(3, 3)),
                      Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(target, &e);
    };
    for (QWidget* button : {static_cast<QWidget*>(control<QPushButton>(*form, "PushButton1")),
                            static_cast<QWidget*>(control<QPushButton>(*form, "PushButton2")),
                            static_cast<QWidget*>(control<QPushButton>(*form, "PushButton6")),
                            static_cast<QWidget*>(control<QPushButton>(*form, "PushButton8"))}) {
        move(control<QGroupBox>(*form, "Frame1"));
        EXPECT_EQ(form->mousePointer(), PointerDefault);
        move(button);
        EXPECT_EQ(form->mousePointer(), PointerCustom);
        move(control<QTreeWidget>(*form, "ListView1")->viewport());
        EXPECT_EQ(form->mousePointer(), PointerDefault);
    }
    form->setMousePointer(PointerBusy);
    move(control<QPushButton>(*form, "PushButton6"));
    EXPECT_EQ(form->mousePointer(), PointerBusy);
}

} // namespace
