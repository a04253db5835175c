#pragma once
// The windows' appearance: the optional skin, the system colour of plain controls and the
// application title.

#include <QColor>
#include <QIcon>
#include <QString>

class QWidget;
class SkinFramework;

// The skin file, in the program folder.
QString skinFilePath();

// When the skin file is a normal file: gives the window and its frames, labels, check and
// option buttons and picture boxes the button-face colour, then loads the skin and applies it
// to the window. Nothing happens without the file. A failure passes to the caller; the
// colours already set stay.
void ApplySkin(QWidget& window, SkinFramework& skin);

// Gives the window and its frames, labels, check and option buttons the button-face colour.
// Picture boxes keep their own.
void SetFormBackColor(QWidget& window);

// The system's button-face colour.
QColor buttonFaceColor();

// Sets a widget's background colour.
void setBackColor(QWidget& widget, const QColor& color);

// The title made from a product name: the name less its last word, again and again while
// it is longer than 40 characters. A name without a blank is kept whole.
QString appTitleFrom(const QString& productName);

// Makes appTitleFrom("Vantorel") the application title.
void SetAppTitle();

// The program's icon, the same on every window: the picture beside the executable (none when
// it is missing).
QIcon programIcon();

// Marks a widget as a picture box, for the colour walks above.
void markAsPictureBox(QWidget& widget);
