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
    // Too large for the screen it first shows on: the controls scroll. It stays so when it
    // later moves to a larger screen; its size is fixed either way.
    if (const QScreen* onScreen = screen())
        if (QScrollArea* area =
                WindowScroller::scrollIfTooLarge(*this, onScreen->availableGeometry()))
            rules->addBackground(*area->widget());
    centreOnScreen(*this);
    firstShown();
}
