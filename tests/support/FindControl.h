#pragma once
// Finds a window's control by its object name, as assistive tools and scripts would, rather
// than through the window's members. A missing or differently typed control fails the test
// that asked for it (gtest reports the exception) instead of crashing it.

#include <QObject>
#include <QString>
#include <stdexcept>

template <class Control> Control* control(const QObject& window, const char* name) {
    auto* found = window.findChild<Control*>(QString::fromLatin1(name));
    if (!found)
        throw std::logic_error(std::string("no control named ") + name + " of the type asked for");
    return found;
}
