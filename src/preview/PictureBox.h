#pragma once
// A picture box measured in twips: shows a recorded page picture (one unit a twip), either
// as it is or as a drawing scaled from another picture. Vector pictures stay sharp at any
// scale and on high-density screens, their rules on whole device pixels (see PictureRules). With
// the keyboard focus it shows a frame around the part of it in sight.

#include "PictureRules.h"
#include "WindowParts.h"

#include <QPicture>
#include <QWidget>
#include <optional>

class QPainter;

class PictureBox : public QWidget {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);

    int Left() const { return left; }
    int Top() const { return top; }
    int Width() const { return width; }
    int Height() const { return height; }
    // No border: the inner size is the outer size.
    int ScaleWidth() const { return width; }
    int ScaleHeight() const { return height; }
    void Move(int leftTwips, int topTwips);
    void Resize(int widthTwips, int heightTwips);
    void SetLeft(int twips) { Move(twips, top); }
    void SetTop(int twips) { Move(left, twips); }

    // The picture; with auto-size on, the box takes the picture's size.
    const QPicture& picture() const { return shown; }
    void setPicture(const QPicture& picture);
    void clearPicture();
    void setAutoSize(bool on);
    bool autoSize() const { return fitsPicture; }

    // What the picture shows, in words, for assistive tools: its lines of text in reading
    // order, one to a line. A box given one (even an empty one) is read as a document.
    void setReadingText(const QString& text);
    const QString& readingText() const { return reading; }
    bool readable() const { return hasReading; }

    // Draws `source`'s rectangle (0, 0, sourceWidth, sourceHeight) into (0, 0, width, height).
    void paintPicture(const QPicture& source, int width, int height, int sourceWidth,
                      int sourceHeight);

signals:
    // Positions in twips, in the box's own coordinates.
    void mousePressed(Qt::MouseButtons buttons, double x, double y);
    void mouseMoved(Qt::MouseButtons buttons, double x, double y);
    void mouseReleased(Qt::MouseButtons buttons, double x, double y);
    // A right-click that asks for the box's menu, at a global position. A drag with the
    // right button pans the page instead, so the menu waits for the button's release and
    // comes only when the pointer stayed where it was pressed.
    void menuRequested(QPoint globalPosition);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    static constexpr int focusFrameWidth = 2; // pixels
    void place();
    void paintFocusFrame(QPainter& painter);

    void fitPicture();

    QString reading;
    bool hasReading = false;
    int left = 0, top = 0, width = 0, height = 0;
    bool fitsPicture = false;
    QPicture shown;
    PictureRules shownRules;
    struct Drawing {
        QPicture source;
        PictureRules sourceRules;
        int width, height, sourceWidth, sourceHeight;
    };
    std::optional<Drawing> drawing;
    // The right button: held, where it went down, whether it moved far enough to be a drag,
    // and whether the window system asked for the menu while it was down.
    bool rightHeld = false, rightDragged = false, menuOnRelease = false;
    QPoint rightPressedAt;
};
