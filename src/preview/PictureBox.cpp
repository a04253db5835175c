#include "PictureBox.h"

#include "PictureBoxAccessible.h"

#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleHints>

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {
    static const bool described = (QAccessible::installFactory(PictureBoxAccessible::create), true);
    Q_UNUSED(described);
    setAutoFillBackground(false);
}

void PictureBox::setReadingText(const QString& text) {
    hasReading = true;
    if (text == reading)
        return;
    QAccessibleTextUpdateEvent changed(this, 0, reading, text);
    reading = text;
    QAccessible::updateAccessibility(&changed);
}

void PictureBox::place() {
    setGeometry(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width),
                twipsToPixels(height));
    if (hasFocus())
        update(); // the focus frame follows the part in sight
}

void PictureBox::Move(int leftTwips, int topTwips) {
    left = leftTwips;
    top = topTwips;
    place();
}

void PictureBox::Resize(int widthTwips, int heightTwips) {
    width = widthTwips;
    height = heightTwips;
    place();
}

void PictureBox::fitPicture() {
    const QRect box = shown.boundingRect();
    Resize(box.isValid() ? box.right() + 1 : 0, box.isValid() ? box.bottom() + 1 : 0);
}

void PictureBox::setPicture(const QPicture& picture) {
    shown = picture;
    shownRules = PictureRules(picture);
    drawing.reset();
    if (fitsPicture)
        fitPicture();
    update();
}

void PictureBox::setAutoSize(bool on) {
    fitsPicture = on;
    if (on && !shown.isNull())
        fitPicture();
}

void PictureBox::clearPicture() {
    shown = QPicture();
    shownRules = PictureRules();
    drawing.reset();
    update();
}

void PictureBox::paintPicture(const QPicture& source, int w, int h, int sourceWidth,
                              int sourceHeight) {
    drawing = Drawing{source, PictureRules(source), w, h, sourceWidth, sourceHeight};
    update();
}

void PictureBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(1 / 15.0, 1 / 15.0);
    if (drawing && drawing->sourceWidth > 0 && drawing->sourceHeight > 0) {
        painter.scale(double(drawing->width) / drawing->sourceWidth,
                      double(drawing->height) / drawing->sourceHeight);
        painter.setClipRect(QRectF(0, 0, drawing->sourceWidth, drawing->sourceHeight));
        drawing->sourceRules.play(painter, drawing->source);
    } else if (!drawing) {
        shownRules.play(painter, shown);
    }
    if (hasFocus())
        paintFocusFrame(painter);
}

// Around the part of the box in sight, which for a page larger than its viewport is not the
// box's own edge.
void PictureBox::paintFocusFrame(QPainter& painter) {
    painter.resetTransform();
    painter.setClipping(false);
    QRect inSight = rect();
    if (const QWidget* holder = parentWidget())
        inSight &= QRect(-pos(), holder->size());
    painter.setPen(QPen(palette().color(QPalette::Highlight), focusFrameWidth));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(inSight).adjusted(1, 1, -1, -1));
}

void PictureBox::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void PictureBox::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        rightHeld = true;
        rightDragged = menuOnRelease = false;
        rightPressedAt = event->globalPosition().toPoint();
    }
    emit mousePressed(event->buttons(), event->position().x() * 15, event->position().y() * 15);
}

void PictureBox::mouseMoveEvent(QMouseEvent* event) {
    if (rightHeld && (event->globalPosition().toPoint() - rightPressedAt).manhattanLength() >=
                         QGuiApplication::styleHints()->startDragDistance())
        rightDragged = true;
    emit mouseMoved(event->buttons(), event->position().x() * 15, event->position().y() * 15);
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
    emit mouseReleased(event->button(), event->position().x() * 15, event->position().y() * 15);
    if (event->button() != Qt::RightButton)
        return;
    rightHeld = false;
    if (menuOnRelease && !rightDragged) {
        menuOnRelease = false;
        emit menuRequested(event->globalPosition().toPoint());
    }
}

// Desktops differ in when they ask for the menu: at the right button's press (most of
// Linux) or at its release. Either way it comes after the button is up, and not after a drag.
// The menu key's request goes on to the window, which places the menu over the page.
void PictureBox::contextMenuEvent(QContextMenuEvent* event) {
    if (event->reason() != QContextMenuEvent::Mouse) {
        event->ignore();
        return;
    }
    event->accept();
    if (rightHeld)
        menuOnRelease = true;
    else if (!rightDragged)
        emit menuRequested(event->globalPos());
}
