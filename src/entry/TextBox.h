#pragma once
// A single-line text box that selects its whole text whenever it receives the focus, and
// keeps that selection when the focus came with a mouse click. It takes at most
// maxValueLength characters, and says so the first time typing or pasting meets the limit.

#include <QLineEdit>

class TextBox : public QLineEdit {
    Q_OBJECT
public:
    explicit TextBox(QWidget* parent = nullptr);

signals:
    void gotFocus();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void sayWhyInputStopped();

    bool selectOnRelease = false;
};
