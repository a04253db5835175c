#pragma once
// A window too large for its screen shows its controls inside a scroll area and takes the
// screen's available size, so that every control can still be reached: the user scrolls with
// the wheel or the scroll bars, and the keyboard focus moving to a control out of sight
// scrolls it into view. A window that fits is left exactly as it is.

#include <QObject>
#include <QSize>

class QRect;
class QScrollArea;
class QWidget;

class WindowScroller : public QObject {
public:
    // The scroll area's and its content's object names.
    static const char areaName[];
    static const char contentName[];

    // Moves the window's controls into a frameless scroll area when the window's frame is
    // larger than `area` and sizes the window to fit it; returns the scroll area, or nullptr
    // when the window fits (and nothing changed). Meant for a fixed-size window without a
    // layout, before it first appears.
    static QScrollArea* scrollIfTooLarge(QWidget& window, const QRect& area);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit WindowScroller(QScrollArea& scrollArea);

    // Sizes the window so that its frame fits `area`, with the bars its content then needs.
    void fitTo(const QRect& area);
    void refitToFrame();
    QSize frameSize() const;

    QScrollArea& scrollArea;
    QSize frameMargins; // the frame's size beyond the window's, when the window was last fitted
};
