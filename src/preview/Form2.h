#pragma once
// The preview window: the page list, the page in a viewport with scroll bars and drag-pan,
// zoom in quarter steps, saving the document and going back.

#include "FileHold.h"
#include "ProgramWindow.h"

#include <QKeyCombination>
#include <QPicture>
#include <QSet>
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

class PictureBox;
class QAction;
class QGroupBox;
class QMenu;
class QPushButton;
class QScrollBar;
class QTreeWidget;
class QWheelEvent;
class SettingsStore;

class Form2 : public ProgramWindow {
    Q_OBJECT
public:
    struct Services {
        std::function<void()> showEntryWindow; // "< Back"
        std::function<void()> endProgram;      // closing the window
        // The name the save dialog offers, with the extension given; unset or empty: none.
        std::function<QString(const QString& extension)> suggestedFileName = {};
        // The folder the last save went into, and keeping a new one, across runs; unset:
        // nothing is kept, and the save dialog opens in the home folder.
        std::function<QString()> readSaveFolder = {};
        std::function<void(const QString& folder)> writeSaveFolder = {};
    };
    // The save dialog's folder kept in `store`, in a section of its own, where the reads of
    // the sale's values never see it; the other services must be given.
    static Services storeServices(SettingsStore& store);

    explicit Form2(Services services, QWidget* parent = nullptr);

    // The load sequence, run once by whoever creates the window, before it is first shown.
    void Form_Load();

    // What the document script's hand-over writes, each step on its own (its error report
    // names the line that failed): a page's list entry and its picture, the number of pictures
    // beyond the first, the first page into the page box, the temporary document.
    void addPage(int number); // "Page " and the number, added to the list
    void setPagePicture(int number, const QPicture& picture);
    // The text that page `number`'s picture shows, for assistive tools (see
    // PictureBox::setReadingText).
    void setPageText(int number, const QString& text);
    void setTotalImages(qint32 total) { mTotalImages = total; }
    void showFirstPage();
    void setWordFile(const QString& path) { mWordFile = path; }
    // Keeps the temporary document held (see files::FileHold) until the window removes it.
    void holdWordFile(files::FileHold hold) { wordFileHold = std::move(hold); }
    // All of the above at once, for pages drawn already: lists and keeps `pictures`, puts the
    // first in the page box, and makes `wordFile` the document that saving copies and
    // leaving removes. Like the hand-over's steps it leaves the activation alone: the page is
    // made ready at the next activation once Form_Load or "< Back" has asked for that.
    void showPages(std::vector<QPicture> pictures, const QString& wordFile);

    const QString& wordFile() const { return mWordFile; }
    const std::vector<QPicture>& pagePictures() const { return Image1; }
    int pageCount() const;
    qint32 totalImages() const { return mTotalImages; }
    // Whether the next activation prepares the page shown (after a hand-over or "< Back").
    bool preparesOnActivation() const { return mFirstActivate; }
    float zoom() const { return mZoom; }
    qint32 zoomWidth() const { return mZoomWidth; }
    qint32 origWidth() const { return mOrigWidth; }
    qint32 origHeight() const { return mOrigHeight; }
    qint16 hStep() const { return mHStep; }
    float dragX() const { return mDragX; }
    float dragY() const { return mDragY; }

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private slots:
    void PushButton1_Click();
    void PushButton2_Click();
    void PushButton6_Click();
    void PushButton8_Click();
    void HScroll1_Change(int value);
    void VScroll1_Change(int value);
    void Picture1_MouseDown(Qt::MouseButtons buttons, double x, double y);
    void Picture1_MouseMove(Qt::MouseButtons buttons, double x, double y);
    void Picture1_MouseUp(Qt::MouseButtons buttons, double x, double y);
    // Page Up and Page Down: the page before or after the one shown, as if chosen in the list.
    void choosePageBy(int offset);

    // The page's menu (a right-click on the page, or the menu key) and its keys:
    // prints the document, drawn afresh from the temporary document, through the print dialog.
    void printDocument();
    // "Save as PDF": the save dialog of "Save Results To Word File", opened with the PDF type
    // chosen.
    void saveAsPdf();
    // Puts the page shown on the desktop's clipboard as a picture.
    void copyPage();

private:
    // Controls, named as the rest of the program refers to them.
    QTreeWidget* ListView1 = nullptr;
    PictureBox* Picture2 = nullptr;
    PictureBox* Picture1 = nullptr;
    QScrollBar* VScroll1 = nullptr;
    QScrollBar* HScroll1 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QPushButton* PushButton1 = nullptr; // Zoom In
    QPushButton* PushButton2 = nullptr; // Zoom Out
    QPushButton* PushButton8 = nullptr; // < Back
    QPushButton* PushButton6 = nullptr; // Save Results To Word File

    QMenu* pageMenu = nullptr;
    QAction* printAction = nullptr; // "Print…", Ctrl+P
    QAction* pdfAction = nullptr;   // "Save as PDF…", Ctrl+Shift+S
    QAction* copyAction = nullptr;  // "Copy Page", Ctrl+C

    // The picture holders: the current page unzoomed, and one picture per page.
    struct PictureHolder {
        QPicture picture;
        int width = 735, height = 375; // twips
        bool autoRedraw = false, visible = true;
        int ScaleWidth() const { return width; }
        int ScaleHeight() const { return height; }
    } Zoom_Ori;
    std::vector<QPicture> Image1{QPicture()};
    std::vector<QString> pageTexts; // beside Image1; a page without one has no text

    QString mWordFile;
    files::FileHold wordFileHold;
    qint32 mTotalImages = 0;
    float mDragX = 0, mDragY = 0;
    qint16 mHStep = 0, mVStep = 0;
    qint32 mOrigWidth = 0, mOrigHeight = 0;
    qint32 mZoomWidth = 0, mZoomHeight = 0;
    float mZoom = 1;
    bool mFirstActivate = false;

    void buildPageArea();
    void buildButtons();
    void buildShortcuts();
    void buildPageMenu();
    // Opens the page menu at a global position; the menu key's request, over the page.
    void showPageMenu(QPoint globalPosition);
    // Whether a key release in the page list chooses the page again: not the release of a key
    // (or of a modifier held for it) whose press one of the window's shortcuts took.
    bool releaseChoosesPage(const QKeyEvent& release);
    void noteShortcutKeys();
    void nameForAssistiveTools();
    // Tells screen readers which page the picture shows, and what it says.
    void describeShownPage();
    // The wheel over the page moves it through the scroll bars, so their rules still hold.
    void wheelOverPage(QWheelEvent* event);
    // A key that moves the page shown, through the scroll bars as the wheel does: the arrows
    // by a line, Page Up and Page Down by a screenful (past the page's end, to the page before
    // or after), Home and End to its top and foot. False for any other key.
    bool scrollPageByKey(int key);
    // Whether the focused page takes a key that is also a window-wide shortcut.
    static bool pageTakesOverShortcut(const QKeyEvent& press);
    void setPercent(QScrollBar* bar, qint16 percent);
    // The size of the page at zoom 1 from a holder's inner size.
    static qint32 toOrig(int scaleSize);
    // The window's own handlers, run by the events that the window receives.
    void Form_Activate();
    void ListView1_Click();
    void Form_QueryUnload();
    void RedrawImage();
    void ResetScrollbars();
    void ChangeZoom(qint32 direction);
    void SetZoom(float zoom);
    void SetHScrollbarByPercent(QScrollBar* bar, qint16 percent);
    void SetVScrollbarByPercent(QScrollBar* bar, qint16 percent);
    // The save of PushButton6 and saveAsPdf: the dialog opens with the Word or the PDF type.
    void saveResult(bool pdfChosen);
    // Where the save dialog opens: the folder kept, while it is still a folder, else home.
    QString saveFolder() const;
    // Keeps the folder of a file just saved, for the next save dialog.
    void keepSaveFolder(const QString& saved);

    Services services;
    int shownPage = 1; // from 1, as in the list
    // Wheel movement in twips not yet turned into whole scroll steps (fine-grained wheels and
    // touchpads send less than a step at a time).
    int wheelLeftoverX = 0, wheelLeftoverY = 0;
    // The shortcut objects of the window, the last key press offered to the page list before
    // a shortcut could take it, and the keys whose presses shortcuts took there.
    std::vector<QObject*> shortcutObjects;
    std::optional<QKeyCombination> offeredToList;
    QSet<int> keysTakenByShortcuts;
    bool printing = false;
};
