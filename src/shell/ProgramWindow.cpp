#include "ProgramWindow.h"

#include "Appearance.h"
#include "CursorFile.h"
#include "Paths.h"
#include "PointerRules.h"
#include "WindowParts.h"
#include "WindowScroller.h"

#include <QAccessibleWidget>
#include <QScreen>
#include <QScrollArea>
#include <QWindow>

namespace {

// The frame the window manager last gave one of the program's windows: the best guess at the
// frame of a window it has not framed yet.
QMargins lastFrame;

QMargins frameOf(const QWidget& window) {
    const QWindow* handle = window.windowHandle();
    return handle ? handle->frameMargins() : QMargins();
}

} // namespace

namespace {

// Assistive tools take a plain top-level widget for a part of a window (AT-SPI's "filler"),
// which screen readers need not announce: the program's windows say that they are windows.
QAccessibleInterface* windowAccessible(const QString& className, QObject* object) {
    if (className != QLatin1String("ProgramWindow") || !object->isWidgetType())
        return nullptr;
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
}

} // namespace

ProgramWindow::ProgramWindow(const char* objectName, int widthTwips, int heightTwips,
                             QWidget* parent)
    : QWidget(parent) {
    static const bool announced = (QAccessible::installFactory(windowAccessible), true);
    Q_UNUSED(announced);
    setObjectName(QString::fromLatin1(objectName));
    setUpFixedWindow(*this, widthTwips, heightTwips);
    rules = new PointerRules(
        *this, [this] { return pointer; }, [this](MousePointer code) { setMousePointer(code); });
}

void ProgramWindow::setMousePointer(MousePointer code) {
    pointer = code;
    showPointer(*this, code, handCursor);
}

QString ProgramWindow::handCursorPath() {
    return inProgramFolder(QStringLiteral("HAND-M.CUR"));
}

void ProgramWindow::loadHandCursor(const QString& path) {
    handCursor = loadCursorFile(path);
}

void ProgramWindow::setProgramTitle() {
    setWindowTitle(QStringLiteral("Vantorel"));
}

void ProgramWindow::setProgramIcon() {
    setWindowIcon(programIcon());
}

void ProgramWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (shownOnce)
        return;
    shownOnce = true;
    if (QWindow* handle = windowHandle())
        handle->installEventFilter(this); // for its exposure, which may tell the frame
    const QMargins frame = frameOf(*this);
    fitToScreen(frame.isNull() ? lastFrame : frame);
    firstShown();
}

// Too large for the screen it first shows on: the controls scroll. It stays so when it later
// moves to a larger screen; its size is fixed either way. The position is the client area's,
// worked out from the frame given: a position that includes the frame would be taken from
// Qt's own idea of the frame, which lags behind the window manager's.
void ProgramWindow::fitToScreen(QMargins frame) {
    fittedFrame = frame;
    const QScreen* onScreen = screen();
    if (!onScreen)
        return;
    const QRect area = onScreen->availableGeometry();
    QScrollArea* scrollArea = WindowScroller::fitWindow(*this, area, frame);
    if (scrollArea && scrollArea != scrolled)
        rules->addBackground(*scrollArea->widget());
    scrolled = scrollArea;
    if (programPlacesWindows())
        setGeometry(QRect(
            placeWithin(size().grownBy(frame), area) + QPoint(frame.left(), frame.top()), size()));
}

// A window manager tells the frame only once the window is on the screen, after the first
// show placed it without (or with another window's): the window then fits and centres itself
// again, once for each new frame, so that its title bar and its foot are both on the screen.
// The user's own moves keep the frame and are left alone.
void ProgramWindow::fitToReportedFrame() {
    const QMargins frame = frameOf(*this);
    if (!shownOnce || frame.isNull() || frame == fittedFrame)
        return;
    lastFrame = frame;
    fitToScreen(frame);
}

bool ProgramWindow::event(QEvent* event) {
    if (event->type() == QEvent::Move || event->type() == QEvent::WindowActivate)
        fitToReportedFrame();
    return QWidget::event(event);
}

bool ProgramWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == windowHandle() && event->type() == QEvent::Expose)
        fitToReportedFrame();
    return QWidget::eventFilter(watched, event);
}
