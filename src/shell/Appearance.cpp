#include "Appearance.h"

#include "Dialogs.h"
#include "Paths.h"
#include "SkinFramework.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QWidget>

namespace {

const char pictureBoxProperty[] = "vantorelPictureBox";

bool isPlainControl(const QWidget* w) {
    return qobject_cast<const QGroupBox*>(w) || qobject_cast<const QLabel*>(w) ||
           qobject_cast<const QCheckBox*>(w) || qobject_cast<const QRadioButton*>(w);
}

bool isPictureBox(const QWidget* w) {
    return w->property(pictureBoxProperty).toBool();
}

void colourControls(QWidget& window, bool includePictureBoxes) {
    const QColor face = buttonFaceColor();
    setBackColor(window, face);
    for (QWidget* child : window.findChildren<QWidget*>()) {
        if (isPictureBox(child) ? includePictureBoxes : isPlainControl(child))
            setBackColor(*child, face);
    }
}

} // namespace

QString skinFilePath() {
    return inProgramFolder(QStringLiteral("x/o.cjs"));
}

QColor buttonFaceColor() {
    return QApplication::palette().color(QPalette::Button);
}

void setBackColor(QWidget& widget, const QColor& color) {
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, color);
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

QIcon programIcon() {
    return QIcon(inProgramFolder(QStringLiteral("vantorel.png")));
}

void markAsPictureBox(QWidget& widget) {
    widget.setProperty(pictureBoxProperty, true);
}

void ApplySkin(QWidget& window, SkinFramework& skin) {
    const QString path = skinFilePath();
    const QFileInfo info(path);
    if (!info.isFile() || info.isHidden())
        return;
    colourControls(window, true);
    skin.LoadSkin(path, QString());
    skin.SetApplyOptions(skin.ApplyOptions() | 1);
    skin.SetAutoApplyNewWindows(true);
    skin.SetAutoApplyNewThreads(true);
    skin.ApplyWindow(&window);
}

void SetFormBackColor(QWidget& window) {
    colourControls(window, false);
}

QString appTitleFrom(const QString& productName) {
    QString title = productName;
    do {
        const qsizetype blank = title.lastIndexOf(QLatin1Char(' '));
        if (blank < 0)
            break; // nothing left to drop
        title.truncate(blank);
    } while (title.size() > 40);
    return title;
}

// The title goes to our own boxes only. Qt's application display name is left unset on
// purpose: on X11 Qt appends an em dash and that name to every window title not ending with
// it, so "Application Error" would reach the screen as "Application Error - Vantorel". The
// name the system shows for the program is the application name, which main() sets.
void SetAppTitle() {
    setApplicationTitle(appTitleFrom(QStringLiteral("Vantorel")));
}
