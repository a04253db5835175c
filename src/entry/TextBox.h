#pragma once
// A single-line text box that selects its whole text when the user moves into it (Tab,
// Shift+Tab, a mouse click, a keyboard shortcut), and keeps its caret and selection when the
// focus merely comes back to it (the window activated again, a popup or message box closed).
// It takes at most maxValueLength characters, and says so the first time typing or pasting
// meets the limit.

#include <QLineEdit>

class TextBox : public QLineEdit {
    Q_OBJECT
public:
    explicit TextBox(QWidget* parent = nullptr);

    // The causes of focus that select the whole text.
    static bool selectsAllOnFocus(Qt::FocusReason reason);
    // Selects the whole text with the caret at its start, so that a value longer than the
    // box shows its beginning.
    void selectAllFromStart();

signals:
    // The box was entered for one of the causes above; its whole text is to be selected.
    void gotFocus();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void sayWhyInputStopped();

    bool selectOnRelease = false;
};
