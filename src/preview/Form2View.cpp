// The preview's view of the page: drawing at a zoom, scroll bars, dragging.
#include "Arithmetic.h"
#include "Form2.h"
#include "PictureBox.h"
#include "Trap.h"

#include <QApplication>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace {

// The drawing that the page picture keeps is bounded: a width of 8800 twips or a height of
// 12500 is already too large.
constexpr qint32 widthLimit = 8800;
constexpr qint32 heightLimit = 12500;

} // namespace

qint32 Form2::toOrig(int scaleSize) {
    return toInt32(double(scaleSize) - 2);
}

void Form2::RedrawImage() {
    Trap trap(Procedure::Form2_RedrawImage);
    trap.line(100, [&] { mZoomWidth = toInt32(std::floor(double(mZoom) * mOrigWidth)); });
    trap.line(102, [&] { mZoomHeight = toInt32(std::floor(double(mZoom) * mOrigHeight)); });
    if (trap.blockTest(104, [&] { return mZoomWidth < widthLimit && mZoomHeight < heightLimit; })) {
        trap.line(106, [&] { Picture1->clearPicture(); });
        trap.line(108, [&] { Picture1->Resize(mZoomWidth, Picture1->Height()); });
        trap.line(110, [&] { Picture1->Resize(Picture1->Width(), mZoomHeight); });
        trap.line(112, [&] {
            Picture1->paintPicture(Zoom_Ori.picture, mZoomWidth, mZoomHeight, mOrigWidth,
                                   mOrigHeight);
        });
        trap.line(114, [&] { setMousePointer(PointerDefault); });
        trap.line(116, [&] { HScroll1->setValue(0); });
        trap.line(118, [&] { VScroll1->setValue(0); });
        trap.line(120, [&] { HScroll1->setEnabled(Picture2->ScaleWidth() < mZoomWidth); });
        trap.line(122, [&] { VScroll1->setEnabled(Picture2->ScaleHeight() < mZoomHeight); });
        return;
    }
    trap.line(124, [&] { mZoom = 1; });
    trap.line(126, [&] { mOrigWidth = toOrig(Zoom_Ori.ScaleWidth()); });
    trap.line(128, [&] { mOrigHeight = toOrig(Zoom_Ori.ScaleHeight()); });
    trap.line(130, [&] { mZoomWidth = mOrigWidth; });
    trap.line(132, [&] { mZoomHeight = mOrigHeight; });
}

namespace {

// One bar's range and step for a page `difference` twips larger than the viewport.
void resetBar(QScrollBar* bar, double difference, qint16& step) {
    if (difference <= 0) {
        bar->setEnabled(false);
        step = 0;
        return;
    }
    bar->setEnabled(true);
    if (difference <= 100) {
        bar->setMaximum(toInt16(difference));
        step = 1;
    } else {
        bar->setMaximum(toInt16(difference / 10));
        step = 10;
    }
    bar->setValue(0);
}

} // namespace

void Form2::ResetScrollbars() {
    Picture1->Move(0, 0);
    resetBar(HScroll1, double(Picture1->Width()) - Picture2->Width(), mHStep);
    resetBar(VScroll1, double(Picture1->Height()) - Picture2->Height(), mVStep);
}

void Form2::ChangeZoom(qint32 direction) {
    const float z = direction == 0 ? mZoom + 0.25f : mZoom - 0.25f;
    SetZoom(z);
}

void Form2::SetZoom(float zoom) {
    if (zoom >= 0.25f && zoom <= 4.0f) {
        mZoom = zoom;
        RedrawImage();
        ResetScrollbars();
    }
}

void Form2::PushButton1_Click() {
    Trap trap(Procedure::Form2_PushButton1_Click);
    trap.line(100, [&] { ChangeZoom(0); });
}

void Form2::PushButton2_Click() {
    Trap trap(Procedure::Form2_PushButton2_Click);
    trap.line(100, [&] { ChangeZoom(1); });
}

// The scroll bars move the page by whole steps; step x value never leaves 16 bits, since the
// drawing is bounded.
void Form2::HScroll1_Change(int value) {
    Picture1->SetLeft(-(qint32(mHStep) * value));
}

void Form2::VScroll1_Change(int value) {
    Picture1->SetTop(-(qint32(mVStep) * value));
}

namespace {

// One notch of an ordinary wheel (120 eighths of a degree) moves the page by the desktop's
// wheel lines of 20 pixels each.
constexpr int notch = 120;
constexpr int twipsPerLine = 20 * 15;

// Moves `bar` by the wheel's `delta` plus what was left over from before; the bar clamps the
// value and its change handler moves the page, exactly as a click on its arrows would.
void wheelBar(QScrollBar* bar, qint16 step, int delta, int& leftover) {
    if (delta == 0)
        return;
    if (!bar->isEnabled() || step <= 0) {
        leftover = 0;
        return;
    }
    const qint64 twips =
        qint64(delta) * QApplication::wheelScrollLines() * twipsPerLine / notch + leftover;
    const qint64 steps = twips / step;
    leftover = int(twips - steps * step);
    // Wheel up (a positive delta) shows what is above, so the value goes down.
    const qint64 target =
        std::clamp<qint64>(qint64(bar->value()) - steps, bar->minimum(), bar->maximum());
    if (target == bar->minimum() || target == bar->maximum())
        leftover = 0;
    bar->setValue(int(target));
}

// Moves `bar` by `twips` in whole steps; the bar clamps the value and its change handler
// moves the page.
void scrollBarBy(QScrollBar* bar, qint16 step, int twips) {
    if (bar->isEnabled() && step > 0)
        bar->setValue(bar->value() + twips / step);
}

} // namespace

void Form2::wheelOverPage(QWheelEvent* event) {
    int dx = event->angleDelta().x();
    int dy = event->angleDelta().y();
    // Shift turns an upright wheel sideways where the desktop has not done so already.
    if ((event->modifiers() & Qt::ShiftModifier) && dx == 0)
        std::swap(dx, dy);
    wheelBar(HScroll1, mHStep, dx, wheelLeftoverX);
    wheelBar(VScroll1, mVStep, dy, wheelLeftoverY);
    event->accept();
}

bool Form2::scrollPageByKey(int key) {
    // A screenful keeps a line of what was shown before in sight.
    const int screenful = Picture2->ScaleHeight() - twipsPerLine;
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
        scrollBarBy(VScroll1, mVStep, key == Qt::Key_Up ? -twipsPerLine : twipsPerLine);
        return true;
    case Qt::Key_Left:
    case Qt::Key_Right:
        scrollBarBy(HScroll1, mHStep, key == Qt::Key_Left ? -twipsPerLine : twipsPerLine);
        return true;
    case Qt::Key_Home:
    case Qt::Key_End:
        if (VScroll1->isEnabled())
            VScroll1->setValue(key == Qt::Key_Home ? VScroll1->minimum() : VScroll1->maximum());
        return true;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
        const bool down = key == Qt::Key_PageDown;
        if (!VScroll1->isEnabled() ||
            VScroll1->value() == (down ? VScroll1->maximum() : VScroll1->minimum()))
            choosePageBy(down ? 1 : -1);
        else
            scrollBarBy(VScroll1, mVStep, down ? screenful : -screenful);
        return true;
    }
    default:
        return false;
    }
}

bool Form2::pageTakesOverShortcut(const QKeyEvent& press) {
    return (press.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier &&
           (press.key() == Qt::Key_PageUp || press.key() == Qt::Key_PageDown);
}

void Form2::Picture1_MouseDown(Qt::MouseButtons, double x, double y) {
    Trap trap(Procedure::Form2_Picture1_MouseDown);
    trap.line(100, [&] { mDragX = float(x); });
    trap.line(102, [&] { mDragY = float(y); });
}

void Form2::Picture1_MouseMove(Qt::MouseButtons buttons, double x, double y) {
    Trap trap(Procedure::Form2_Picture1_MouseMove);
    if (trap.inlineTest(100, [&] { return buttons == Qt::NoButton; }))
        return;
    double l = 0, t = 0;
    trap.line(102, [] {});
    // On an axis where the page is smaller than the viewport it has nowhere to go: the clamps
    // below would send it to the viewport's far edge and back on every drag.
    const bool fitsAcross = Picture1->Width() < Picture2->ScaleWidth();
    const bool fitsDown = Picture1->Height() < Picture2->ScaleHeight();
    trap.line(104, [&] { l = Picture1->Left() - double(mDragX) + x; });
    if (fitsAcross) {
        l = Picture1->Left();
    } else if (trap.blockTest(106, [&] { return l > 0; })) {
        trap.line(108, [&] { l = 0; });
    } else if (trap.blockTest(
                   110, [&] { return double(Picture2->ScaleWidth()) - Picture1->Width() > l; })) {
        trap.line(112, [&] { l = double(Picture2->ScaleWidth()) - Picture1->Width(); });
    }
    trap.line(114, [&] { t = Picture1->Top() - double(mDragY) + y; });
    if (fitsDown) {
        t = Picture1->Top();
    } else if (trap.blockTest(116, [&] { return t > 0; })) {
        trap.line(118, [&] { t = 0; });
    } else if (trap.blockTest(
                   120, [&] { return double(Picture2->ScaleHeight()) - Picture1->Height() > t; })) {
        trap.line(122, [&] { t = double(Picture2->ScaleHeight()) - Picture1->Height(); });
    }
    trap.line(124, [&] { Picture1->Move(int(std::lround(l)), int(std::lround(t))); });
}

void Form2::Picture1_MouseUp(Qt::MouseButtons, double, double) {
    Trap trap(Procedure::Form2_Picture1_MouseUp);
    qint32 h = 0, v = 0;
    trap.line(100, [&] {
        h = toInt32(
            divide(std::abs(Picture1->Left()), double(Picture1->Width()) - Picture2->Width()) *
            100);
    });
    trap.line(102, [&] {
        v = toInt32(
            divide(std::abs(Picture1->Top()), double(Picture1->Height()) - Picture2->Height()) *
            100);
    });
    trap.line(104, [&] { SetHScrollbarByPercent(HScroll1, toInt16(h)); });
    trap.line(106, [&] { SetVScrollbarByPercent(VScroll1, toInt16(v)); });
}

void Form2::setPercent(QScrollBar* bar, qint16 percent) {
    if (percent < 0)
        return;
    const double p = double(percent) / 100 * bar->maximum();
    if (p <= bar->maximum())
        bar->setValue(toInt16(p));
}

void Form2::SetHScrollbarByPercent(QScrollBar* bar, qint16 percent) {
    setPercent(bar, percent);
}

void Form2::SetVScrollbarByPercent(QScrollBar* bar, qint16 percent) {
    setPercent(bar, percent);
}
