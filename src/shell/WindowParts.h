#pragma once
// What the program's two windows have in common: sizes in twips, the fixed window, the
// fonts, buttons and frames, centring, and the window pointer codes.

#include "MousePointer.h"

#include <QCursor>
#include <QFont>
#include <QRect>
#include <QString>
#include <optional>

class QGroupBox;
class QPushButton;
class QWidget;

// Twips to logical pixels (15 twips a pixel).
inline int twipsToPixels(double twips) {
    return qRound(twips / 15.0);
}
QRect twipsRect(int left, int top, int width, int height);

// Arial, bold, at the given size.
QFont arialBold(double points);

// A window of a fixed client size (no resizing, no maximize), white, Arial 9 pt bold, that
// follows the mouse for its pointer rules.
void setUpFixedWindow(QWidget& window, int widthTwips, int heightTwips);

// A push button: Arial 11.25 pt bold on white, following the mouse.
QPushButton* makeButton(QWidget* parent, const char* name, const char* caption, QRect twips);

// A plain frame with its caption set into the top border, on white.
QGroupBox* makeFrame(QWidget* parent, const char* name, const char* caption, QRect twips);

// Where a window frame of `frame` size goes in `area`: centred when it fits; otherwise the
// top-left corner stays in the area (title bar and the start of every row reachable), and the
// rest runs off the right or bottom.
QPoint placeWithin(QSize frame, const QRect& area);

// How a window whose client area is `content` large shows in `room` (the screen's available
// area less the window frame) once its content scrolls: the client size the window takes and
// which scroll bars, each `barExtent` thick, it needs. A bar for one direction narrows the room
// for the other, so a window only too tall can need a horizontal bar too.
struct ScrolledFit {
    QSize client;
    bool horizontalBar = false;
    bool verticalBar = false;
};
ScrolledFit fitScrolled(QSize content, QSize room, int barExtent);

// Whether the program may place its windows on the screen and make one the active window.
// X11 lets it; Wayland leaves both to the compositor, ignores a position and answers a request
// to activate with a warning.
bool programPlacesWindows();

// Shows a pointer code on the window: the busy pointer, the custom pointer (the hand, or the
// arrow without one), or the ordinary pointer of whatever lies under the mouse.
void showPointer(QWidget& window, MousePointer code, const std::optional<QCursor>& hand);
