#pragma once
// The entry window: sixteen boxes for the sale record, three buttons, four frames. Every
// change of a box is written to the settings store at once; filling the boxes from the store
// at start-up is not a change and writes nothing.

#include "Dialogs.h"
#include "ProgramWindow.h"
#include "SaleRecordSource.h"
#include "SkinFramework.h"
#include "WindowParts.h"

#include <QHash>
#include <QList>
#include <functional>

class QGroupBox;
class QLabel;
class QPushButton;
class TextBox;
enum class Group;
struct SaleField;

class Form1 : public ProgramWindow, public SaleRecordSource {
    Q_OBJECT
public:
    // What the window needs from the rest of the program.
    struct Services {
        std::function<QString(const QString& key)> readSetting;
        std::function<void(const QString& key, const QString& value)> writeSetting;
        std::function<void()> checkWordInstalled;              // ends the program itself
        std::function<void(const SaleRecordSource&)> generate; // the document script
        std::function<void()> endProgram;                      // closing the window
    };
    // Services of the real program: the user's store, and an exit for endProgram; the
    // others must be given.
    static Services storeServices();

    explicit Form1(Services services, QWidget* parent = nullptr);

    // The start-up sequence; show the window after it.
    void Form_Load();

    QString text(const QString& box) const override;

    bool generating() const { return mGenerating; }
    // True once the window has been closed: the program is ending, and a generation that is
    // still running (it lets events run while it removes files) must stop without showing
    // anything.
    bool closed() const { return mClosed; }
    // The skin as start-up left it, to read only.
    const SkinFramework& skin() const { return SkinFramework1; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void firstShown() override;

private slots:
    void PushButton1_Click();
    void PushButton2_Click();
    void PushButton3_Click();

private:
    // Controls, named as the rest of the program refers to them. Others find them by their
    // object names, which are the same.
    QPushButton* PushButton1 = nullptr;
    QPushButton* PushButton2 = nullptr;
    QPushButton* PushButton3 = nullptr;
    QGroupBox* Frame3 = nullptr;
    QGroupBox* Frame17 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    SkinFramework SkinFramework1;

    void buildButtons();
    void buildFrames();
    void buildFields();
    // The frame that holds a group's boxes.
    QGroupBox* frameOf(Group group) const;
    void setTabOrderByIndex();

    void restoreField(const SaleField& field, QStringList& shownCut);
    void fieldChanged(const SaleField& field, const QString& value);
    void tell(MessageRequest notice);
    void showPendingNotices();

    Services services;
    QHash<QString, TextBox*> boxes;
    QHash<QString, QLabel*> labels;
    bool mGenerating = false;
    bool mClosed = false;
    bool restoring = false;
    bool storeFailureNoticed = false;
    QList<MessageRequest> pendingNotices;
};
