#pragma once
// The events a user causes on a window, sent as the window system sends them, so that a test
// goes through the window's own wiring: a click on a button found by its object name, the
// window becoming the active one.

#include "FindControl.h"
#include "WindowParts.h"

#include <QApplication>
#include <QEvent>
#include <QPushButton>
#include <QTest>

// A left click in the middle of the button named `name`.
inline void clickButton(const QObject& window, const char* name) {
    QTest::mouseClick(control<QPushButton>(window, name), Qt::LeftButton);
}

// The window becomes the active one: brought to the front, or back under the keyboard when a
// message box over it closes.
inline void activate(QWidget& window) {
    QEvent event(QEvent::WindowActivate);
    QApplication::sendEvent(&window, &event);
}

// The window becomes the active one as the window system makes it so when it is brought to the
// front or appears: asked for where a program may ask; on Wayland, which leaves activation to
// the compositor (and one without a seat, as in the test command, never activates a window),
// given to Qt as the compositor's activation would be. True once the window is the one that
// takes the keyboard (QWindow::isActive() also holds for the parent of an active dialog).
inline bool becomeActive(QWidget& window) {
    if (programPlacesWindows())
        window.activateWindow();
    else
        QApplication::setActiveWindow(&window);
    return QTest::qWaitFor([&] { return QApplication::activeWindow() == &window; });
}

// On Wayland the clipboard belongs to a seat, which the test command's headless Weston does
// not have (and Qt tells no one whether there is one): a test of the clipboard skips there.
inline bool clipboardKept() {
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}
