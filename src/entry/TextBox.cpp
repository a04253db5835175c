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

void TextBox::selectAllFromStart() {
    setSelection(int(text().size()), -int(text().size()));
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
