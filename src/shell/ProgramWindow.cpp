#include "ProgramWindow.h"

#include "Appearance.h"
#include "CursorFile.h"
#include "Paths.h"
#include "PointerRules.h"
#include "WindowParts.h"
#include "WindowScroller.h"

#include <QScreen>
#include <QScrollArea>

ProgramWindow::ProgramWindow(const char* objectName, int widthTwips, int heightTwips,
                             QWidget* parent)
    : QWidget(parent) {
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
