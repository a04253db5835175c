#include "DialogsOnScreen.h"

#include "WindowParts.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEvent>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>

namespace {

// The frame's margins a dialog was last fitted with, as a rectangle (left, top, right, bottom).
const char fittedFrameProperty[] = "vantorelFittedFrame";

QMargins frameOf(const QWidget& dialog) {
    if (const QWindow* handle = dialog.windowHandle()) {
        const QMargins frame = handle->frameMargins();
        if (!frame.isNull())
            return frame;
    }
    // Not framed yet: the frame of the window it belongs to stands in, as when Qt places it.
    if (const QWidget* parent = dialog.parentWidget())
        if (const QWindow* handle = parent->window()->windowHandle())
            return handle->frameMargins();
    return {};
}

// Where `length` goes on an axis of the area from `start`: as it is when it fits; moved back
// in when it runs out; at the area's start when it is longer than the area.
int within(int start, int length, int areaStart, int areaLength) {
    return std::max(areaStart, std::min(start, areaStart + areaLength - length));
}

// A dialog whose least size is larger than the area shows its controls in a scroll area, with
// its row of buttons kept in sight below it. A message box sizes itself whenever it is shown
// and is left as it is.
bool scrollContent(QDialog& dialog) {
    QLayout* layout = dialog.layout();
    if (!layout || qobject_cast<QMessageBox*>(&dialog) ||
        dialog.findChild<QScrollArea*>(QStringLiteral("DialogScrollArea"),
                                       Qt::FindDirectChildrenOnly))
        return false;
    auto* buttons = dialog.findChild<QDialogButtonBox*>(QString(), Qt::FindDirectChildrenOnly);
    if (buttons && layout->indexOf(buttons) < 0)
        buttons = nullptr;
    if (buttons)
        layout->removeWidget(buttons);
    const QMargins margins = layout->contentsMargins();
    auto* content = new QWidget;
    content->setLayout(layout); // takes the layout and its controls from the dialog
    auto* scrolled = new QScrollArea;
    scrolled->setObjectName(QStringLiteral("DialogScrollArea"));
    scrolled->setFrameShape(QFrame::NoFrame);
    scrolled->setWidgetResizable(true);
    scrolled->setWidget(content);
    auto* outer = new QVBoxLayout(&dialog);
    outer->setContentsMargins(0, 0, 0, buttons ? margins.bottom() : 0);
    outer->addWidget(scrolled);
    if (buttons) {
        auto* row = new QHBoxLayout;
        row->setContentsMargins(margins.left(), 0, margins.right(), 0);
        row->addWidget(buttons);
        outer->addLayout(row);
    }
    outer->activate();
    return true;
}

} // namespace

void DialogsOnScreen::keep() {
    static QPointer<DialogsOnScreen> keeper;
    if (keeper || !qApp)
        return;
    keeper = new DialogsOnScreen(qApp);
    qApp->installEventFilter(keeper);
}

// A dialog is fitted when its window is about to appear (after Qt has placed it, before the
// window system shows it), whenever it is resized while shown, and once the window system has
// told its frame's size. Earlier, a move would keep Qt from placing it over its parent.
bool DialogsOnScreen::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::Show && watched->isWindowType()) {
        if (auto* dialog =
                qobject_cast<QDialog*>(QWidget::find(static_cast<QWindow*>(watched)->winId())))
            fit(*dialog, true);
        return false;
    }
    if (type != QEvent::Resize && type != QEvent::Move && type != QEvent::WindowActivate)
        return false;
    auto* dialog = qobject_cast<QDialog*>(watched);
    if (dialog && dialog->isWindow() && dialog->windowHandle() &&
        dialog->windowHandle()->isVisible())
        fit(*dialog, type == QEvent::Resize);
    return false;
}

void DialogsOnScreen::fit(QDialog& dialog, bool always) {
    // Until it is shown a window's screen is the primary one; where it stands tells better.
    const QScreen* screen = QGuiApplication::screenAt(dialog.geometry().center());
    if (!screen)
        screen = dialog.screen();
    if (!screen)
        return;
    const QMargins frame = frameOf(dialog);
    const QRect known(frame.left(), frame.top(), frame.right(), frame.bottom());
    if (!always && dialog.property(fittedFrameProperty).toRect() == known)
        return;
    dialog.setProperty(fittedFrameProperty, known);

    const QRect area = screen->availableGeometry();
    const QSize room =
        area.size() - QSize(frame.left() + frame.right(), frame.top() + frame.bottom());
    QSize wanted = dialog.size();
    // Room for the upright bar beside the controls, so that they need no bar below them.
    if (dialog.minimumSize().boundedTo(room) != dialog.minimumSize() && scrollContent(dialog))
        wanted.rwidth() += dialog.style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const QSize size = wanted.boundedTo(room).expandedTo(dialog.minimumSize());
    const QRect framed = QRect(dialog.geometry().topLeft(), size).marginsAdded(frame);
    // Where the compositor places windows (Wayland), only the size is the dialog's to fit.
    const QPoint shift =
        programPlacesWindows()
            ? QPoint(within(framed.x(), framed.width(), area.x(), area.width()) - framed.x(),
                     within(framed.y(), framed.height(), area.y(), area.height()) - framed.y())
            : QPoint();
    const QRect fitted(dialog.geometry().topLeft() + shift, size);
    if (fitted != dialog.geometry())
        dialog.setGeometry(fitted);
}
