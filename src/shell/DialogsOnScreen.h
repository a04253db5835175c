#pragma once
// Keeps every dialog within the available area of its screen, the dialogs that the program's
// own dialogs open included (the print dialog's properties, a file dialog's questions): its
// frame is placed inside the area, and a dialog larger than the area is made smaller; one that
// cannot be made so small shows its controls in a scroll area, its buttons below in sight. A
// dialog that grows while it is shown, as the print dialog does when its options open, is kept
// inside too. Moves the user makes are left alone.

#include <QObject>

class QDialog;

class DialogsOnScreen : public QObject {
public:
    // Starts keeping dialogs on their screens, once for the application; later calls, and
    // calls before the application object exists, do nothing.
    static void keep();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit DialogsOnScreen(QObject* parent) : QObject(parent) {}
    // Fits the dialog to its screen's available area; `always` false: only when the window
    // system has told a frame size other than the one it was last fitted with.
    static void fit(QDialog& dialog, bool always);
};
