// Both windows on screens of three sizes: on one large enough a window is exactly as designed;
// on a smaller one its controls scroll, and every button can be brought into view with the
// wheel or the keyboard and clicked where it shows. The screens come from screens.json; run
// without it, these tests skip.
#include "EntryServices.h"
#include "FindControl.h"
#include "Form1.h"
#include "Form2.h"
#include "QtDialogs.h"
#include "ScriptedDialogs.h"
#include "WindowEvents.h"
#include "WindowParts.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QLineEdit>
#include <QPainter>
#include <QPicture>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <QWindow>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

QScreen* screenNamed(const QString& name) {
    for (QScreen* screen : QGuiApplication::screens())
        if (screen->name() == name)
            return screen;
    return nullptr;
}

QPicture blankPage() {
    QPicture picture;
    {
        QPainter painter(&picture);
        painter.fillRect(QRect(0, 0, 7000, 9000), Qt::white);
    }
    picture.setBoundingRect(QRect(0, 0, 7000, 9000));
    return picture;
}

enum class Kind { Entry, Preview };

bool underWindowManager() {
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

// The window's frame, as the window system has it (the widget's copy may lag behind).
QRect frameOf(const QWidget& window) {
    return window.windowHandle()->frameGeometry();
}

// The window's frame lies within `area` once the window manager, if there is one, has framed
// the window (it answers after the window appears, and the window places itself again then).
bool framedWithin(const QWidget& window, const QRect& area) {
    return QTest::qWaitFor(
        [&] {
            return (!underWindowManager() || !window.windowHandle()->frameMargins().isNull()) &&
                   area.contains(frameOf(window));
        },
        10000);
}

// The entry box nearest the window's foot.
const char lowestEntryBox[] = "txtNoDaysVehicleInspected";

class SmallScreen : public ::testing::Test {
public: // the cases' effects read the counters
    // The window of that kind, ready as the program leaves it before showing it, shown on the
    // named screen and active.
    void show(Kind kind, const char* screenName) {
        QScreen* screen = *screenName ? screenNamed(QString::fromLatin1(screenName))
                                      : QGuiApplication::primaryScreen();
        ASSERT_NE(screen, nullptr);
        if (kind == Kind::Entry) {
            Form1::Services services = blankEntryServices();
            services.generate = [this](const SaleRecordSource&) { ++generated; };
            auto entry = std::make_unique<Form1>(std::move(services));
            entry->Form_Load();
            window = std::move(entry);
        } else {
            auto preview =
                std::make_unique<Form2>(Form2::Services{[this] { ++entryShown; }, [] {}});
            preview->Form_Load();
            std::vector<QPicture> pages(2, blankPage());
            preview->showPages(std::move(pages), QString());
            window = std::move(preview);
        }
        designed = window->size();
        directChildren = namesOfDirectControls();
        // A window's screen follows its place: where it starts decides where it centres.
        window->move(screen->availableGeometry().topLeft());
        window->setScreen(screen);
        window->show();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        activate(*window);
    }

    QStringList namesOfDirectControls() const {
        QStringList names;
        for (QWidget* child : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (!child->isWindow())
                names << child->objectName();
        return names;
    }
    QScrollArea* scrollArea() const {
        return window->findChild<QScrollArea*>(QStringLiteral("WindowScrollArea"));
    }
    // The part of the window's controls the user sees, in window coordinates.
    QRect seen() const {
        QScrollArea* area = scrollArea();
        return area ? QRect(area->viewport()->mapTo(window.get(), QPoint(0, 0)),
                            area->viewport()->size())
                    : window->rect();
    }
    QRect placeOf(const QWidget& control) const {
        return QRect(control.mapTo(window.get(), QPoint(0, 0)), control.size());
    }
    // Notches of the wheel (down when negative) over the window's background. The content
    // takes no wheel; the window system passes it on to the scroll area's viewport, where it
    // is sent here (a test's wheel event does not pass on by itself).
    void wheel(int notches) {
        ASSERT_NE(scrollArea(), nullptr);
        const QPoint at(2, seen().center().y());
        ASSERT_EQ(window->childAt(at)->objectName(), QStringLiteral("WindowContent"));
        QWidget* viewport = scrollArea()->viewport();
        const QPointF local = viewport->mapFrom(window.get(), at);
        QWheelEvent event(local, viewport->mapToGlobal(local), QPoint(), QPoint(0, 120 * notches),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewport, &event);
    }

    ScriptedDialogs dialogs;
    std::unique_ptr<QWidget> window;
    QSize designed;
    QStringList directChildren;
    int generated = 0;
    int entryShown = 0;
};

TEST_F(SmallScreen, WindowIsAsDesignedWhereItFitsAndScrollsWhereNot) {
    struct {
        Kind kind;
        const char* screen;
        bool scrolls;
    } cases[] = {
        {Kind::Entry, "desktop", false}, {Kind::Preview, "desktop", false},
        {Kind::Entry, "small", false},   {Kind::Preview, "small", true},
        {Kind::Entry, "netbook", true},  {Kind::Preview, "netbook", true},
    };
    for (const auto& c : cases) {
        if (!screenNamed(QString::fromLatin1(c.screen)))
            GTEST_SKIP() << "run with screens.json";
        show(c.kind, c.screen);
        const QString name =
            QString::fromLatin1(c.screen) + QLatin1Char(' ') + window->objectName();
        SCOPED_TRACE(name.toStdString());
        const QRect area = screenNamed(QString::fromLatin1(c.screen))->availableGeometry();
        EXPECT_TRUE(area.contains(window->frameGeometry()));
        if (!c.scrolls) {
            EXPECT_EQ(scrollArea(), nullptr);
            EXPECT_EQ(window->size(), designed);
            EXPECT_EQ(namesOfDirectControls(), directChildren);
            continue;
        }
        QScrollArea* area_ = scrollArea();
        ASSERT_NE(area_, nullptr);
        EXPECT_EQ(namesOfDirectControls(), QStringList{QStringLiteral("WindowScrollArea")});
        EXPECT_EQ(area_->widget()->size(), designed);
        // Too tall: as tall as the area allows, frame and all.
        EXPECT_EQ(window->frameGeometry().height(), area.height());
        EXPECT_EQ(area_->viewport()->width(), designed.width()); // no width lost to the bar
        EXPECT_TRUE(area_->verticalScrollBar()->isVisible());
        EXPECT_FALSE(area_->horizontalScrollBar()->isVisible());
        // Every control is still found by name, now on the content.
        for (const QString& control : directChildren)
            EXPECT_EQ(window->findChild<QWidget*>(control)->parentWidget(), area_->widget())
                << control.toStdString();
    }
}

// The entry window's buttons lie at its top, in view; the boxes at its foot are not.
TEST_F(SmallScreen, EveryButtonScrollsIntoViewAndTakesAClickWhereItShows) {
    const auto zoom = [](SmallScreen& t) {
        return int(static_cast<Form2&>(*t.window).zoom() * 100);
    };
    struct {
        Kind kind;
        const char* screen;
        const char* control;
        std::function<int(SmallScreen&)> effect; // what the click changes
        bool startsOutOfSight;
    } cases[] = {
        {Kind::Entry, "netbook", "PushButton1", [](SmallScreen& t) { return t.generated; }, false},
        {Kind::Entry, "netbook", "PushButton3",
         [](SmallScreen& t) { return int(control<QLineEdit>(*t.window, "txtVIN")->text().size()); },
         false},
        {Kind::Entry, "netbook", lowestEntryBox,
         [](SmallScreen& t) {
             return int(QApplication::focusWidget() ==
                        control<QLineEdit>(*t.window, lowestEntryBox));
         },
         true},
        {Kind::Preview, "small", "PushButton1", zoom, true},
        {Kind::Preview, "small", "PushButton2", zoom, true},
        {Kind::Preview, "small", "PushButton6",
         [](SmallScreen& t) { return int(t.dialogs.saveRequests.size()); }, true},
        {Kind::Preview, "small", "PushButton8", [](SmallScreen& t) { return t.entryShown; }, true},
        {Kind::Preview, "netbook", "PushButton8", [](SmallScreen& t) { return t.entryShown; },
         true},
    };
    for (const auto& c : cases) {
        if (!screenNamed(QString::fromLatin1(c.screen)))
            GTEST_SKIP() << "run with screens.json";
        SCOPED_TRACE(std::string(c.screen) + " " + c.control);
        show(c.kind, c.screen);
        dialogs.fileNames = {std::nullopt}; // the save dialog, if it opens, is cancelled
        auto* button = control<QWidget>(*window, c.control);
        EXPECT_EQ(seen().contains(placeOf(*button)), !c.startsOutOfSight);
        ASSERT_NE(scrollArea(), nullptr);
        QScrollBar* bar = scrollArea()->verticalScrollBar();
        for (int notch = 0; notch < 40 && !seen().contains(placeOf(*button)); ++notch) {
            const int before = bar->value();
            wheel(-1);
            ASSERT_GT(bar->value(), before) << "the wheel did not scroll the window";
        }
        ASSERT_TRUE(seen().contains(placeOf(*button)));
        const int before = c.effect(*this);
        // Through the window, as the window system delivers a click at that point.
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, placeOf(*button).center());
        EXPECT_NE(c.effect(*this), before);
    }
}

// From the entry window's foot, scrolled down to it, the tab goes on to the buttons at its top.
TEST_F(SmallScreen, TabbingToAButtonOutOfSightBringsItIntoView) {
    struct {
        Kind kind;
        const char* screen;
        int notchesDown; // scrolled so far first
        const char* from;
        int tabs;
        const char* to;
    } cases[] = {
        {Kind::Entry, "netbook", 10, lowestEntryBox, 1, "PushButton1"},
        {Kind::Preview, "small", 0, "PushButton2", 2, "PushButton8"},
        {Kind::Preview, "netbook", 0, "PushButton2", 2, "PushButton8"},
    };
    for (const auto& c : cases) {
        if (!screenNamed(QString::fromLatin1(c.screen)))
            GTEST_SKIP() << "run with screens.json";
        SCOPED_TRACE(std::string(c.screen) + " " + c.to);
        show(c.kind, c.screen);
        for (int notch = 0; notch < c.notchesDown; ++notch)
            wheel(-1);
        auto* target = control<QWidget>(*window, c.to);
        ASSERT_FALSE(seen().contains(placeOf(*target)));
        control<QWidget>(*window, c.from)->setFocus(Qt::MouseFocusReason);
        for (int i = 0; i < c.tabs; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), target);
        EXPECT_TRUE(seen().contains(placeOf(*target)));
    }
}

// The focus moved by the program or a shortcut brings its control into view; a click's focus
// goes to a control in view already, and scrolling then would pull a dragged page from under
// the mouse; the window's reactivation keeps the view the user left.
TEST_F(SmallScreen, FocusScrollsOnlyWhenMovedByTheProgramOrTheKeyboard) {
    struct {
        Qt::FocusReason reason;
        bool scrolls;
    } cases[] = {
        {Qt::OtherFocusReason, true},
        {Qt::ShortcutFocusReason, true},
        {Qt::MouseFocusReason, false},
        {Qt::ActiveWindowFocusReason, false},
    };
    if (!screenNamed(QStringLiteral("small")))
        GTEST_SKIP() << "run with screens.json";
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.reason));
        show(Kind::Preview, "small");
        auto* back = control<QWidget>(*window, "PushButton8");
        ASSERT_FALSE(seen().contains(placeOf(*back)));
        back->setFocus(c.reason);
        ASSERT_EQ(QApplication::focusWidget(), back);
        EXPECT_EQ(seen().contains(placeOf(*back)), c.scrolls);
    }
}

// The real dialogs over the preview lie within the screen's available area, buttons and all:
// the print dialog also once "Options >>" has made it taller, and its printer's properties,
// taller than a netbook's screen, scroll with one upright bar. Under a window manager (the
// windows_framed_* tests), on its one screen, once it has framed them.
TEST_F(SmallScreen, DialogsFitTheAvailableAreaButtonsAndAll) {
    const auto screens = underWindowManager() ? std::vector<const char*>{""}
                                              : std::vector<const char*>{"netbook", "small"};
    for (const char* screen : screens) {
        if (*screen && !screenNamed(QString::fromLatin1(screen)))
            GTEST_SKIP() << "run with screens.json";
        show(Kind::Preview, screen);
        const QRect area = window->screen()->availableGeometry();
        std::function<void()> check = [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            ASSERT_NE(dialog, nullptr);
            SCOPED_TRACE(std::string(screen) + " " + dialog->metaObject()->className());
            for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
                if (button->text() == QStringLiteral("&Options >>"))
                    QTest::mouseClick(button, Qt::LeftButton);
                if (button->text().remove(u'&') == QStringLiteral("Properties")) {
                    QTimer::singleShot(0, check); // the dialog it opens, checked alike
                    QTest::mouseClick(button, Qt::LeftButton);
                }
            }
            EXPECT_TRUE(framedWithin(*dialog, area));
            for (QAbstractButton* button : dialog->findChild<QDialogButtonBox*>()->buttons())
                EXPECT_TRUE(area.contains(QRect(button->mapToGlobal(QPoint()), button->size())));
            for (auto* scrolled : dialog->findChildren<QScrollArea*>("DialogScrollArea"))
                EXPECT_FALSE(scrolled->horizontalScrollBar()->isVisible());
            QTest::keyClick(dialog, Qt::Key_Escape);
        };
        QPrinter printer;
        const std::function<void()> opens[] = {
            [&] { QtDialogs().print(printer, 3, window.get()); },
            [&] {
                QtDialogs().saveFileName(
                    {{}, {QStringLiteral("Word (*.doc)")}, {}, QDir::tempPath(), {}});
            },
            [&] {
                QtDialogs().message({QStringLiteral("Done."), {}, Buttons::Ok, Icon::None});
            },
        };
        for (const auto& open : opens) {
            QApplication::setActiveWindow(window.get()); // the dialogs' parent
            QTimer::singleShot(0, check);
            open();
        }
    }
}

// Under a window manager (the windows_framed_* tests: openbox on Xvfb at the scales laptops
// run at), once it has framed them, both windows keep their title bars and frames on the
// screen: a window that fits is centred, frame and all; one that does not scrolls, as tall as
// the screen allows.
TEST_F(SmallScreen, FramedByAWindowManagerBothWindowsStayOnTheScreen) {
    if (!underWindowManager())
        GTEST_SKIP() << "run under a window manager (windows_framed_*)";
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    for (Kind kind : {Kind::Entry, Kind::Preview}) {
        show(kind, "");
        SCOPED_TRACE(window->objectName().toStdString());
        const auto fits = [&] {
            const QSize framed = designed.grownBy(window->windowHandle()->frameMargins());
            return framed.width() <= area.width() && framed.height() <= area.height();
        };
        const auto offCentre = [&] {
            return (frameOf(*window).center() - area.center()).manhattanLength();
        };
        EXPECT_TRUE(framedWithin(*window, area));
        // The window places itself again once the window manager has told the frame.
        const auto placed = [&] {
            return fits() ? !scrollArea() && offCentre() <= 2
                          : scrollArea() && frameOf(*window).height() == area.height();
        };
        EXPECT_TRUE(QTest::qWaitFor(placed, 10000))
            << "fits " << fits() << ", scrolls " << bool(scrollArea()) << ", off centre "
            << offCentre() << ", frame height " << frameOf(*window).height();
    }
}

} // namespace
