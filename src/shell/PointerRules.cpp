#include "PointerRules.h"

#include "WindowParts.h"

#include <QEvent>
#include <QWidget>

PointerRules::PointerRules(QWidget& windowIn, std::function<MousePointer()> read,
                           std::function<void(MousePointer)> write)
    : QObject(&windowIn), window(windowIn), pointer(std::move(read)), setPointer(std::move(write)) {
    addBackground(window);
}

void PointerRules::watch(QWidget& widget) {
    widget.setMouseTracking(true);
    widget.installEventFilter(this);
}

void PointerRules::addButton(QWidget& button) {
    buttons.append(&button);
    watch(button);
}

void PointerRules::addBackground(QWidget& background) {
    backgrounds.append(&background);
    watch(background);
}

// A move that a button or frame does not take would travel on to the window and count as a
// move over the background, so it ends where it was meant.
bool PointerRules::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::MouseMove)
        return false;
    const bool overButton = buttons.contains(watched);
    if (!overButton && !backgrounds.contains(watched))
        return false;
    if (pointer() != PointerBusy)
        setPointer(overButton ? PointerCustom : PointerDefault);
    if (watched == &window)
        return false;
    watched->event(event); // the control's own handling (a button's drag-off, say)
    event->accept();
    return true;
}
