#pragma once
// Finds a window's control by its object name, as assistive tools and scripts would, rather
// than through the window's members. A missing or differently typed control fails the test
// that asked for it (gtest reports the exception) instead of crashing it.

#include <QAccessible>
#include <QList>
#include <QObject>
#include <QString>
#include <stdexcept>

template <class Control> Control* control(const QObject& window, const QString& name) {
    auto* found = window.findChild<Control*>(name);
    if (!found)
        throw std::logic_error("no control named " + name.toStdString() + " of the type asked for");
    return found;
}

template <class Control> Control* control(const QObject& window, const char* name) {
    return control<Control>(window, QString::fromLatin1(name));
}

// Every node under `root`, in the order assistive tools walk the tree: each child, then what
// lies under it.
inline QList<QAccessibleInterface*> accessibleTree(QAccessibleInterface* root) {
    QList<QAccessibleInterface*> nodes;
    for (int i = 0; i < root->childCount(); ++i) {
        QAccessibleInterface* child = root->child(i);
        nodes << child << accessibleTree(child);
    }
    return nodes;
}
