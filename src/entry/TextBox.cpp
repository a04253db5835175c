#include "TextBox.h"

#include <QFocusEvent>
#include <QMouseEvent>
#include <limits>

TextBox::TextBox(QWidget* parent) : QLineEdit(parent) {
    setMaxLength(std::numeric_limits<int>::max()); // Qt's default stops at 32767
}

void TextBox::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    emit gotFocus();
}

// The press that brings the focus would put the caret where it lands and so undo the
// selection made on focus; select again once the click is done.
void TextBox::mousePressEvent(QMouseEvent* event) {
    const bool hadFocus = hasFocus();
    QLineEdit::mousePressEvent(event);
    if (!hadFocus && hasFocus()) {
        selectOnRelease = true;
        emit gotFocus();
    }
}

void TextBox::mouseReleaseEvent(QMouseEvent* event) {
    QLineEdit::mouseReleaseEvent(event);
    if (selectOnRelease) {
        selectOnRelease = false;
        emit gotFocus();
    }
}
