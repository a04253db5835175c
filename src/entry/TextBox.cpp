#include "TextBox.h"

#include "Dialogs.h"
#include "SaleFields.h"

#include <QFocusEvent>
#include <QLocale>
#include <QMouseEvent>

TextBox::TextBox(QWidget* parent) : QLineEdit(parent) {
    setMaxLength(maxValueLength); // Qt's default would stop at 32767 without a word
    connect(this, &QLineEdit::inputRejected, this, &TextBox::sayWhyInputStopped);
}

// Typing or pasting past the limit is cut off; the user is told why, once per run, so that
// nothing seems to vanish.
void TextBox::sayWhyInputStopped() {
    static bool told = false;
    if (told || text().size() < maxLength())
        return;
    told = true;
    dialogs().notice({QStringLiteral("A value can hold at most %1 characters; what went past "
                                     "that was not taken.")
                          .arg(QLocale().toString(maxLength())),
                      QString(), Buttons::Ok, Icon::Warning});
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
