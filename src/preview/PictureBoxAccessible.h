#pragma once
// What assistive tools learn of a picture box. A box that was given a reading text (the page
// of the preview) is a read-only document whose text is that reading text, so that a screen
// reader can read the page line by line; any other box is a plain part of its window.

#include <QAccessibleWidget>

class PictureBox;

class PictureBoxAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit PictureBoxAccessible(PictureBox* box);
    // The accessibility factory for PictureBox; installed by the first box made.
    static QAccessibleInterface* create(const QString& className, QObject* object);

    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;
    QString text(QAccessible::Text which) const override;

    // The text is read, not edited: no selection, and the caret stays at the top of the page,
    // where reading starts. Where a character lies on the page is not known here.
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int start, int end) const override;
    int characterCount() const override;
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* start, int* end) const override;

private:
    const PictureBox& box() const;
};
