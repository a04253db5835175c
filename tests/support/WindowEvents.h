#pragma once
// The events a user causes on a window, sent as the window system sends them, so that a test
// goes through the window's own wiring: a click on a button found by its object name, the
// window becoming the active one.

#include "FindControl.h"

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
