#pragma once
// A window too large for its screen shows its controls inside a scroll area and takes the
// screen's available size, so that every control can still be reached: the user scrolls with
// the wheel or the scroll bars, and the keyboard focus moving to a control out of sight
// scrolls it into view. A window that fits is left exactly as it is.

#include <QMargins>
#include <QObject>

class QRect;
class QScrollArea;
class QWidget;

class WindowScroller : public QObject {
public:
    // The scroll area's and its content's object names.
    static const char areaName[];
    static const char contentName[];

    // Makes the window, framed by `frame`, fit `area`. A window too large moves its controls
    // into a frameless scroll area, the first time, and takes the size that fits; one that
    // scrolls already is fitted again. Returns the scroll area, or nullptr when the window
    // fits and never scrolled (then nothing changed). Meant for a fixed-size window without
    // a layout.
    static QScrollArea* fitWindow(QWidget& window, const QRect& area, QMargins frame);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit WindowScroller(QScrollArea& scrollArea);

    QScrollArea& scrollArea;
};
