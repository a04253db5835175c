#include "WindowScroller.h"

#include "WindowParts.h"

#include <QApplication>
#include <QFocusEvent>
#include <QPointer>
#include <QRect>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QWidget>
#include <QWindow>

const char WindowScroller::areaName[] = "WindowScrollArea";
const char WindowScroller::contentName[] = "WindowContent";

namespace {

// Moves the window's own controls, in their stacking order and at their places, onto the
// content. Windows parented to it (menus, dialogs) and plain objects (shortcuts, the pointer
// rules) stay with the window.
void moveControls(QWidget& window, QWidget& content, const QWidget& scrollArea) {
    // Reparenting drops the focus of a control inside the window; the window's next
    // activation gives it back to the same control.
    const QPointer<QWidget> focused = window.focusWidget();
    const QObjectList children = window.children();
    for (QObject* child : children) {
        auto* control = qobject_cast<QWidget*>(child);
        if (!control || control->isWindow() || control == &scrollArea)
            continue;
        const bool hidden = control->isHidden();
        control->setParent(&content);
        control->setVisible(!hidden);
    }
    if (focused && content.isAncestorOf(focused))
        focused->setFocus(Qt::OtherFocusReason);
}

} // namespace

WindowScroller::WindowScroller(QScrollArea& scrollAreaIn)
    : QObject(&scrollAreaIn), scrollArea(scrollAreaIn) {
    qApp->installEventFilter(this);
}

QScrollArea* WindowScroller::scrollIfTooLarge(QWidget& window, const QRect& area) {
    if (window.frameGeometry().width() <= area.width() &&
        window.frameGeometry().height() <= area.height())
        return nullptr;

    const QSize contentSize = window.size();
    auto* scrollArea = new QScrollArea(&window);
    scrollArea->setObjectName(QString::fromLatin1(areaName));
    scrollArea->setFrameShape(QFrame::NoFrame);
    // Tabbing goes from control to control as before; the area itself takes no focus.
    scrollArea->setFocusPolicy(Qt::NoFocus);
    auto* content = new QWidget;
    content->setObjectName(QString::fromLatin1(contentName));
    content->setFixedSize(contentSize);
    content->setMouseTracking(true);
    scrollArea->setWidget(content); // now inside the window, so tab order stays as it was

    moveControls(window, *content, *scrollArea);
    scrollArea->setVisible(true);
    auto* scroller = new WindowScroller(*scrollArea);
    scroller->fitTo(area);
    return scrollArea;
}

// The frame as the window system knows it now (the widget's own copy may lag behind).
QSize WindowScroller::frameSize() const {
    const QWindow* handle = scrollArea.window()->windowHandle();
    if (!handle)
        return {};
    const QMargins margins = handle->frameMargins();
    return {margins.left() + margins.right(), margins.top() + margins.bottom()};
}

void WindowScroller::fitTo(const QRect& area) {
    QWidget& window = *scrollArea.window();
    frameMargins = window.frameGeometry().size() - window.size();
    if (window.windowHandle())
        frameMargins = frameSize();
    const int barExtent = scrollArea.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr,
                                                          scrollArea.verticalScrollBar());
    const ScrolledFit fit =
        fitScrolled(scrollArea.widget()->size(), area.size() - frameMargins, barExtent);
    // The bars are fixed on or off: the window never resizes, and "as needed" could disagree
    // with the arithmetic above by a pixel of rounding.
    scrollArea.setVerticalScrollBarPolicy(fit.verticalBar ? Qt::ScrollBarAlwaysOn
                                                          : Qt::ScrollBarAlwaysOff);
    scrollArea.setHorizontalScrollBarPolicy(fit.horizontalBar ? Qt::ScrollBarAlwaysOn
                                                              : Qt::ScrollBarAlwaysOff);
    window.setFixedSize(fit.client);
    scrollArea.setGeometry(0, 0, fit.client.width(), fit.client.height());
}

// A window manager tells the frame's size only once the window is on the screen, after the
// first show sized the window without it: the window then fits itself again, once for each
// new frame size, so that its title bar and its foot are both on the screen. The user's own
// moves keep the frame's size and are left alone.
void WindowScroller::refitToFrame() {
    QWidget& window = *scrollArea.window();
    if (frameSize() == frameMargins)
        return;
    const QScreen* screen = window.screen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    fitTo(area);
    window.move(placeWithin(window.size() + frameMargins, area));
}

// The focus moving to a control by the keyboard or by the program brings it into view. A
// click needs no scrolling (the control is in view), and scrolling then would pull a page
// being dragged from under the mouse; the window's reactivation keeps the view the user left.
bool WindowScroller::eventFilter(QObject* watched, QEvent* event) {
    QWidget* window = scrollArea.window();
    const QEvent::Type type = event->type();
    if ((watched == window && (type == QEvent::Move || type == QEvent::WindowActivate)) ||
        (watched == window->windowHandle() && type == QEvent::Expose)) {
        refitToFrame();
        return false;
    }
    if (event->type() != QEvent::FocusIn)
        return false;
    switch (static_cast<QFocusEvent*>(event)->reason()) {
    case Qt::MouseFocusReason:
    case Qt::ActiveWindowFocusReason:
    case Qt::PopupFocusReason:
        return false;
    default:
        break;
    }
    auto* control = qobject_cast<QWidget*>(watched);
    if (control && scrollArea.widget()->isAncestorOf(control))
        scrollArea.ensureWidgetVisible(control, 10, 10);
    return false;
}
