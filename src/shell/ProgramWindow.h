#pragma once
// What the program's two windows share: a fixed-size white window of a given size in twips,
// the pointer code with its rules (busy, the hand over buttons, the default elsewhere), the
// hand cursor from the program folder, the program's title and icon, and centring on the
// screen the first time the window is shown, frame and all, once the window manager has told
// the frame; a window larger than that screen shows its controls in a scroll area (see
// WindowScroller). Each window keeps its own load handler, whose error report numbers the
// lines that call these.

#include "MousePointer.h"

#include <QCursor>
#include <QMargins>
#include <QString>
#include <QWidget>
#include <optional>

class PointerRules;
class QScrollArea;

class ProgramWindow : public QWidget {
    Q_OBJECT
public:
    MousePointer mousePointer() const { return pointer; }
    void setMousePointer(MousePointer code);
    bool hasCustomPointer() const { return handCursor.has_value(); }

protected:
    ProgramWindow(const char* objectName, int widthTwips, int heightTwips, QWidget* parent);

    PointerRules& pointerRules() { return *rules; }

    // The hand cursor's file, in the program folder.
    static QString handCursorPath();
    // Loads the hand cursor shown over buttons; a failure passes to the caller.
    void loadHandCursor(const QString& path);
    void setProgramTitle();
    void setProgramIcon();

    // Runs once, after the window's first show has centred it.
    virtual void firstShown() {}
    bool shownBefore() const { return shownOnce; }
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fitToScreen(QMargins frame);
    void fitToReportedFrame();

    PointerRules* rules = nullptr;
    QScrollArea* scrolled = nullptr;
    QMargins fittedFrame; // the frame the window was last fitted and placed with
    std::optional<QCursor> handCursor;
    MousePointer pointer = PointerDefault;
    bool shownOnce = false;
};
