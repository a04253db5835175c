#include "WindowScroller.h"

#include "WindowParts.h"

#include <QApplication>
#include <QFocusEvent>
#include <QPointer>
#include <QRect>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QWidget>

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

// Sizes the window so that its frame fits `area`, with the bars its content then needs.
void fitToArea(QScrollArea& scrollArea, const QRect& area, QMargins frame) {
    QWidget& window = *scrollArea.window();
    const int barExtent = scrollArea.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr,
                                                          scrollArea.verticalScrollBar());
    const ScrolledFit fit =
        fitScrolled(scrollArea.widget()->size(), area.size().shrunkBy(frame), barExtent);
    // The bars are fixed on or off: the window never resizes, and "as needed" could disagree
    // with the arithmetic above by a pixel of rounding.
    scrollArea.setVerticalScrollBarPolicy(fit.verticalBar ? Qt::ScrollBarAlwaysOn
                                                          : Qt::ScrollBarAlwaysOff);
    scrollArea.setHorizontalScrollBarPolicy(fit.horizontalBar ? Qt::ScrollBarAlwaysOn
                                                              : Qt::ScrollBarAlwaysOff);
    window.setFixedSize(fit.client);
    scrollArea.setGeometry(0, 0, fit.client.width(), fit.client.height());
}

} // namespace

WindowScroller::WindowScroller(QScrollArea& scrollAreaIn)
    : QObject(&scrollAreaIn), scrollArea(scrollAreaIn) {
    qApp->installEventFilter(this);
}

QScrollArea* WindowScroller::fitWindow(QWidget& window, const QRect& area, QMargins frame) {
    auto* scrollArea =
        window.findChild<QScrollArea*>(QString::fromLatin1(areaName), Qt::FindDirectChildrenOnly);
    if (scrollArea) {
        fitToArea(*scrollArea, area, frame);
        return scrollArea;
    }
    const QSize framed = window.size().grownBy(frame);
    if (framed.width() <= area.width() && framed.height() <= area.height())
        return nullptr;

    const QSize contentSize = window.size();
    scrollArea = new QScrollArea(&window);
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
    new WindowScroller(*scrollArea);
    fitToArea(*scrollArea, area, frame);
    return scrollArea;
}

// The focus moving to a control by the keyboard or by the program brings it into view. A
// click needs no scrolling (the control is in view), and scrolling then would pull a page
// being dragged from under the mouse; the window's reactivation keeps the view the user left.
bool WindowScroller::eventFilter(QObject* watched, QEvent* event) {
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
