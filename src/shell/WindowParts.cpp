#include "WindowParts.h"

#include "Appearance.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QPushButton>
#include <QWidget>
#include <algorithm>

QRect twipsRect(int left, int top, int width, int height) {
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width),
                 twipsToPixels(height));
}

QFont arialBold(double points) {
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(true);
    return font;
}

void setUpFixedWindow(QWidget& window, int widthTwips, int heightTwips) {
    window.setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint);
    window.setFixedSize(twipsToPixels(widthTwips), twipsToPixels(heightTwips));
    window.setFont(arialBold(9));
    setBackColor(window, Qt::white);
    window.setMouseTracking(true);
}

QPushButton* makeButton(QWidget* parent, const char* name, const char* caption, QRect twips) {
    auto* button = new QPushButton(QString::fromLatin1(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(twipsRect(twips.x(), twips.y(), twips.width(), twips.height()));
    button->setFont(arialBold(11.25));
    QPalette palette = button->palette();
    palette.setColor(QPalette::Button, Qt::white);
    button->setPalette(palette);
    button->setMouseTracking(true);
    return button;
}

QGroupBox* makeFrame(QWidget* parent, const char* name, const char* caption, QRect twips) {
    auto* frame = new QGroupBox(QString::fromLatin1(caption), parent);
    frame->setObjectName(QString::fromLatin1(name));
    frame->setGeometry(twipsRect(twips.x(), twips.y(), twips.width(), twips.height()));
    frame->setStyleSheet(QStringLiteral(
        "QGroupBox { border: 1px solid palette(mid); margin-top: 0.5em; }"
        "QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0 2px; }"));
    // A style sheet changes how fonts pass to children; the frame's own is set outright.
    frame->setFont(arialBold(9));
    setBackColor(*frame, Qt::white);
    frame->setMouseTracking(true);
    return frame;
}

QPoint placeWithin(QSize frame, const QRect& area) {
    const int left = area.x() + (area.width() - frame.width()) / 2;
    const int top = area.y() + (area.height() - frame.height()) / 2;
    return {std::max(left, area.x()), std::max(top, area.y())};
}

ScrolledFit fitScrolled(QSize content, QSize room, int barExtent) {
    ScrolledFit fit;
    // Twice: the second pass sees the room the first pass's bar took.
    for (int pass = 0; pass < 2; ++pass) {
        fit.verticalBar = content.height() > room.height() - (fit.horizontalBar ? barExtent : 0);
        fit.horizontalBar = content.width() > room.width() - (fit.verticalBar ? barExtent : 0);
    }
    fit.client =
        QSize(std::min(content.width() + (fit.verticalBar ? barExtent : 0), room.width()),
              std::min(content.height() + (fit.horizontalBar ? barExtent : 0), room.height()));
    return fit;
}

bool programPlacesWindows() {
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

void showPointer(QWidget& window, MousePointer code, const std::optional<QCursor>& hand) {
    switch (code) {
    case PointerBusy:
        window.setCursor(Qt::WaitCursor);
        break;
    case PointerCustom:
        window.setCursor(hand ? *hand : QCursor(Qt::ArrowCursor));
        break;
    default:
        window.unsetCursor();
        break;
    }
}
