#include "PictureBoxAccessible.h"

#include "PictureBox.h"

#include <algorithm>

PictureBoxAccessible::PictureBoxAccessible(PictureBox* box) : QAccessibleWidget(box) {}

QAccessibleInterface* PictureBoxAccessible::create(const QString& className, QObject* object) {
    if (className != QLatin1String("PictureBox"))
        return nullptr;
    return new PictureBoxAccessible(static_cast<PictureBox*>(object));
}

const PictureBox& PictureBoxAccessible::box() const {
    return *static_cast<const PictureBox*>(widget());
}

QAccessible::Role PictureBoxAccessible::role() const {
    return box().readable() ? QAccessible::Document : QAccessibleWidget::role();
}

QAccessible::State PictureBoxAccessible::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    if (box().readable()) {
        state.readOnly = true;
        state.multiLine = true;
    }
    return state;
}

void* PictureBoxAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TextInterface && box().readable())
        return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QString PictureBoxAccessible::text(QAccessible::Text which) const {
    return QAccessibleWidget::text(which);
}

QString PictureBoxAccessible::text(int start, int end) const {
    const QString& all = box().readingText();
    if (end < 0 || end > all.size())
        end = int(all.size());
    start = std::clamp(start, 0, end);
    return all.mid(start, end - start);
}

int PictureBoxAccessible::characterCount() const {
    return int(box().readingText().size());
}

// One run of plain text, without attributes of its own.
QString PictureBoxAccessible::attributes(int, int* start, int* end) const {
    *start = 0;
    *end = characterCount();
    return {};
}
