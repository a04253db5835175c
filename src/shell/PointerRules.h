#pragma once
// A window's pointer rules: while the mouse moves over one of its buttons the window shows its
// custom pointer, over the window itself or one of its frames the default pointer, and while
// the pointer is busy nothing changes it.

#include "MousePointer.h"

#include <QObject>
#include <functional>

class QWidget;

class PointerRules : public QObject {
public:
    // `pointer` reads the window's pointer code, `setPointer` sets it.
    PointerRules(QWidget& window, std::function<MousePointer()> pointer,
                 std::function<void(MousePointer)> setPointer);

    void addButton(QWidget& button);
    void addBackground(QWidget& background);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void watch(QWidget& widget);

    QWidget& window;
    std::function<MousePointer()> pointer;
    std::function<void(MousePointer)> setPointer;
    QList<const QObject*> buttons;
    QList<const QObject*> backgrounds;
};
