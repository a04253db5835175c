#include "TextBox.h"

#include <QFocusEvent>
#include <QMouseEvent>
#include <limits>

TextBox::TextBox(QWidget* parent) : QLineEdit(parent) {
    setMaxLength(std::numeric_limits<int>::max()); // Qt's default stops at 32767
}

// A click that brings the focus puts the caret where it lands and so would undo the
// selection made on focus; select again once the click is done.
void TextBox::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    selectOnRelease = event->reason() == Qt::MouseFocusReason;
    emit gotFocus();
}

void TextBox::mouseReleaseEvent(QMouseEvent* event) {
    QLineEdit::mouseReleaseEvent(event);
    if (selectOnRelease) {
        selectOnRelease = false;
        emit gotFocus();
    }
}
