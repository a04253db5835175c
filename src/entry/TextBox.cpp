#include "TextBox.h"

#include <QFocusEvent>
#include <QMouseEvent>
#include <limits>

TextBox::TextBox(QWidget* parent) : QLineEdit(parent) {
    setMaxLength(std::numeric_limits<int>::max()); // Qt's default stops at 32767
}

// Only a deliberate move into the box selects: focus that returns with the window or after a
// context menu or message box must leave the text as the user left it, or the next keystroke
// (or Paste) would replace the whole value, and the write-through would store that loss.
bool TextBox::selectsAllOnFocus(Qt::FocusReason reason) {
    switch (reason) {
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
    case Qt::MouseFocusReason:
    case Qt::ShortcutFocusReason:
        return true;
    default:
        return false;
    }
}

// A click that brings the focus puts the caret where it lands and so would undo the
// selection made on focus; select again once the click is done, unless the press was
// dragged into a selection of its own.
void TextBox::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    if (!selectsAllOnFocus(event->reason()))
        return;
    selectOnRelease = event->reason() == Qt::MouseFocusReason;
    emit gotFocus();
}

void TextBox::focusOutEvent(QFocusEvent* event) {
    selectOnRelease = false; // the press that gave the focus went elsewhere (a context menu)
    QLineEdit::focusOutEvent(event);
}

void TextBox::mouseReleaseEvent(QMouseEvent* event) {
    QLineEdit::mouseReleaseEvent(event);
    if (selectOnRelease) {
        selectOnRelease = false;
        if (!hasSelectedText())
            emit gotFocus();
    }
}
