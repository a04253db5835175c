#include "Form2.h"

#include "Appearance.h"
#include "Paths.h"
#include "PictureBox.h"
#include "PointerRules.h"
#include "PreviewFiles.h"
#include "Trap.h"
#include "WindowParts.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QTreeWidget>
#include <QWheelEvent>
#include <algorithm>

namespace {

QScrollBar* makeScrollBar(Qt::Orientation orientation, QWidget* parent, const char* name,
                          QRect twips) {
    auto* bar = new QScrollBar(orientation, parent);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setGeometry(twipsRect(twips.x(), twips.y(), twips.width(), twips.height()));
    bar->setRange(0, 32767);
    bar->setSingleStep(1);
    bar->setPageStep(1);
    bar->setValue(0);
    return bar;
}

} // namespace

Form2::Form2(Services servicesIn, QWidget* parent)
    : ProgramWindow("Form2", 9840, 10290, parent), services(std::move(servicesIn)) {
    buildPageArea();
    buildButtons();
    buildShortcuts();
    buildPageMenu();
    nameForAssistiveTools();
}

void Form2::buildPageArea() {
    ListView1 = new QTreeWidget(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setGeometry(twipsRect(120, 120, 9600, 945));
    ListView1->setFont(arialBold(9));
    ListView1->setRootIsDecorated(false);
    ListView1->setColumnCount(0);
    ListView1->setHeaderHidden(false);
    ListView1->installEventFilter(this); // key releases
    pointerRules().addBackground(*ListView1);
    pointerRules().addBackground(*ListView1->viewport());
    connect(ListView1, &QTreeWidget::itemClicked, this, [this] { ListView1_Click(); });

    Picture2 = new PictureBox(this);
    Picture2->setObjectName(QStringLiteral("Picture2"));
    Picture2->Move(120, 1170);
    Picture2->Resize(9330, 7305);
    markAsPictureBox(*Picture2);

    Picture1 = new PictureBox(Picture2);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->Move(0, 0);
    Picture1->Resize(2340, 3435);
    markAsPictureBox(*Picture1);
    // A click or Tab gives the page the keys that move it.
    Picture1->setFocusPolicy(Qt::StrongFocus);
    // The wheel over either box: the page itself, or the viewport beside a small page; the
    // keys of the focused page.
    Picture1->installEventFilter(this);
    Picture2->installEventFilter(this);
    connect(Picture1, &PictureBox::mousePressed, this, &Form2::Picture1_MouseDown);
    connect(Picture1, &PictureBox::mouseMoved, this, &Form2::Picture1_MouseMove);
    connect(Picture1, &PictureBox::mouseReleased, this, &Form2::Picture1_MouseUp);

    VScroll1 = makeScrollBar(Qt::Vertical, this, "VScroll1", {9450, 1170, 255, 7305});
    HScroll1 = makeScrollBar(Qt::Horizontal, this, "HScroll1", {120, 8475, 9330, 255});
    connect(HScroll1, &QScrollBar::valueChanged, this, &Form2::HScroll1_Change);
    connect(VScroll1, &QScrollBar::valueChanged, this, &Form2::VScroll1_Change);
}

void Form2::buildButtons() {
    Frame1 = makeFrame(this, "Frame1", "Zoom:", {120, 8790, 9600, 855});
    pointerRules().addBackground(*Frame1);

    PushButton1 = makeButton(Frame1, "PushButton1", "Zoom In", {240, 300, 4440, 405});
    PushButton2 = makeButton(Frame1, "PushButton2", "Zoom Out", {4800, 300, 4560, 405});
    // Made left to right: assistive tools list controls in the order they were made.
    PushButton8 = makeButton(this, "PushButton8", "< Back", {120, 9770, 4680, 405});
    PushButton6 =
        makeButton(this, "PushButton6", "Save Results To Word File", {4920, 9770, 4800, 405});
    for (QPushButton* button : {PushButton1, PushButton2, PushButton6, PushButton8})
        pointerRules().addButton(*button);
    connect(PushButton1, &QPushButton::clicked, this, &Form2::PushButton1_Click);
    connect(PushButton2, &QPushButton::clicked, this, &Form2::PushButton2_Click);
    connect(PushButton6, &QPushButton::clicked, this, &Form2::PushButton6_Click);
    connect(PushButton8, &QPushButton::clicked, this, &Form2::PushButton8_Click);

    // Tab indexes: HScroll1 0, VScroll1 1, Picture2 2, Picture1 3, zoom buttons 6 and 7,
    // Save 8, Back 9, the list 10. The page closes the round, so that the focus a window
    // gives its first control at activation does not go to the page, where Page Up and
    // Page Down would scroll rather than choose the page.
    QWidget* chain[] = {HScroll1,    VScroll1,    PushButton1, PushButton2,
                        PushButton6, PushButton8, ListView1,   Picture1};
    for (std::size_t i = 0; i + 1 < std::size(chain); ++i)
        setTabOrder(chain[i], chain[i + 1]);
}

// Window-wide keys, so they work wherever the focus is. The zoom keys click the buttons, so
// they do exactly what the buttons do and nothing while a button is disabled.
void Form2::buildShortcuts() {
    auto* zoomIn = new QShortcut(this);
    // Ctrl and "=" is the same key as Ctrl and "+" on most keyboards, without Shift.
    zoomIn->setKeys(
        {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    connect(zoomIn, &QShortcut::activated, PushButton1, &QPushButton::click);
    auto* zoomOut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Minus), this);
    connect(zoomOut, &QShortcut::activated, PushButton2, &QPushButton::click);
    auto* previous = new QShortcut(QKeySequence(Qt::Key_PageUp), this);
    connect(previous, &QShortcut::activated, this, [this] { choosePageBy(-1); });
    auto* next = new QShortcut(QKeySequence(Qt::Key_PageDown), this);
    connect(next, &QShortcut::activated, this, [this] { choosePageBy(1); });
    for (QObject* shortcut : {zoomIn, zoomOut, previous, next})
        shortcutObjects.push_back(shortcut);
    // Alt and an arrow moves the page wherever the focus is, as the arrows do on the page.
    for (const Qt::Key arrow : {Qt::Key_Up, Qt::Key_Down, Qt::Key_Left, Qt::Key_Right}) {
        auto* scroll = new QShortcut(QKeySequence(Qt::ALT | arrow), this);
        connect(scroll, &QShortcut::activated, this, [this, arrow] { scrollPageByKey(arrow); });
        shortcutObjects.push_back(scroll);
    }
}

// Names that screen readers speak. The buttons' captions would do, except "< Back", whose
// arrow would be read out as a sign.
void Form2::nameForAssistiveTools() {
    ListView1->setAccessibleName(QStringLiteral("Pages"));
    Picture2->setAccessibleName(QStringLiteral("Page view"));
    Picture1->setAccessibleName(QStringLiteral("Page"));
    HScroll1->setAccessibleName(QStringLiteral("Scroll page sideways"));
    VScroll1->setAccessibleName(QStringLiteral("Scroll page up and down"));
    PushButton1->setAccessibleName(PushButton1->text());
    PushButton2->setAccessibleName(PushButton2->text());
    PushButton6->setAccessibleName(PushButton6->text());
    PushButton8->setAccessibleName(QStringLiteral("Back"));
    describeShownPage();
}

void Form2::describeShownPage() {
    const int pages = ListView1->topLevelItemCount();
    Picture1->setAccessibleDescription(
        pages < 1 ? QString() : QStringLiteral("Page %1 of %2").arg(shownPage).arg(pages));
    const auto page = std::size_t(shownPage) - 1;
    Picture1->setReadingText(pages >= 1 && page < pageTexts.size() ? pageTexts[page] : QString());
}

void Form2::choosePageBy(int offset) {
    const int k = shownPage + offset;
    QTreeWidgetItem* item = ListView1->topLevelItem(k - 1);
    if (!item)
        return; // already at the first or the last page
    ListView1->setCurrentItem(item);
    ListView1_Click();
}

void Form2::Form_Load() {
    Trap trap(Procedure::Form2_Form_Load);
    trap.line(100, [&] { mFirstActivate = true; });
    trap.line(102, [&] { SetFormBackColor(*this); });
    trap.line(
        104, [&] { setProgramTitle(); }, [&] { setProgramIcon(); });
    const QString cursorPath = handCursorPath();
    if (trap.blockTest(108, [&] { return FileExists(cursorPath); }))
        trap.line(110, [&] { loadHandCursor(cursorPath); });
    trap.line(112, [&] {
        ListView1->setColumnCount(1);
        ListView1->setHeaderLabels({QStringLiteral("Page(s)")});
    });
    trap.line(114, [&] { ListView1->setColumnWidth(0, twipsToPixels(6500)); });
}

void Form2::addPage(int number) {
    new QTreeWidgetItem(ListView1, {QStringLiteral("Page ") + QString::number(number)});
}

// Page pictures are numbered from 1; a later hand-over writes over the pictures an earlier one
// left, and the first picture is always there.
void Form2::setPagePicture(int number, const QPicture& picture) {
    if (Image1.size() >= std::size_t(number))
        Image1[std::size_t(number) - 1] = picture;
    else
        Image1.push_back(picture);
}

void Form2::setPageText(int number, const QString& text) {
    if (pageTexts.size() < std::size_t(number))
        pageTexts.resize(std::size_t(number));
    pageTexts[std::size_t(number) - 1] = text;
}

int Form2::pageCount() const {
    return ListView1->topLevelItemCount();
}

void Form2::showFirstPage() {
    Picture1->setPicture(Image1[0]);
}

void Form2::showPages(std::vector<QPicture> pictures, const QString& wordFile) {
    if (pictures.empty())
        pictures.emplace_back();
    ListView1->clear();
    Image1 = std::move(pictures);
    pageTexts.clear();
    for (std::size_t i = 0; i < Image1.size(); ++i)
        addPage(int(i) + 1);
    mTotalImages = qint32(Image1.size()) - 1;
    showFirstPage();
    mWordFile = wordFile;
}

// Prepares the page shown, the first time the window becomes active after a hand-over.
void Form2::Form_Activate() {
    Trap trap(Procedure::Form2_Form_Activate);
    if (trap.blockTest(100, [&] { return mFirstActivate; })) {
        trap.line(102, [] {});
        trap.line(104, [] {});
        trap.line(106, [&] { Picture1->setAutoSize(true); });
        trap.line(108, [] {});
        trap.line(110, [] {});
        trap.line(112, [] {});
        trap.line(114, [&] { Zoom_Ori.autoRedraw = true; });
        trap.line(116, [&] { Zoom_Ori.visible = false; });
        trap.line(118, [&] { Zoom_Ori.width = Picture1->Width(); });
        trap.line(120, [&] { Zoom_Ori.height = Picture1->Height(); });
        trap.line(122, [&] { Zoom_Ori.picture = Picture1->picture(); });
        trap.line(124, [&] { mZoom = 1; });
        trap.line(126, [&] { mOrigWidth = toOrig(Zoom_Ori.ScaleWidth()); });
        trap.line(128, [&] { mOrigHeight = toOrig(Zoom_Ori.ScaleHeight()); });
        trap.line(130, [&] { mZoomWidth = mOrigWidth; });
        trap.line(132, [&] { mZoomHeight = mOrigHeight; });
        trap.line(134, [&] { RedrawImage(); });
        trap.line(136, [&] { ResetScrollbars(); });
        // A hand-over always shows the first page.
        shownPage = 1;
        describeShownPage();
    }
    trap.line(138, [&] { mFirstActivate = false; });
}

// A page chosen in the list is shown from its top left corner at zoom 1. With no item
// selected there is nothing to show.
void Form2::ListView1_Click() {
    QTreeWidgetItem* item = ListView1->currentItem();
    if (!item)
        return;
    const int k = ListView1->indexOfTopLevelItem(item) + 1;
    if (k < 1 || std::size_t(k) > Image1.size())
        return;
    setMousePointer(PointerBusy);
    try {
        Picture1->setPicture(Image1[k - 1]);
        Zoom_Ori.autoRedraw = true;
        Zoom_Ori.visible = false;
        Zoom_Ori.width = Picture1->Width();
        Zoom_Ori.height = Picture1->Height();
        Zoom_Ori.picture = Image1[k - 1];
        mZoom = 1;
        mOrigWidth = toOrig(Zoom_Ori.ScaleWidth());
        mOrigHeight = toOrig(Zoom_Ori.ScaleHeight());
        mZoomWidth = mOrigWidth;
        mZoomHeight = mOrigHeight;
        RedrawImage();
        ResetScrollbars();
        shownPage = k;
        describeShownPage();
    } catch (...) {
        // Only arithmetic on sizes below the drawing limit happens here; nothing to report.
    }
    setMousePointer(PointerDefault);
}

bool Form2::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate)
        Form_Activate();
    return ProgramWindow::event(e);
}

// The list's key-release twin of a click; the wheel over the page and the keys of the focused
// page; which keys the window's shortcuts took.
bool Form2::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ListView1) {
        const QEvent::Type type = event->type();
        if (type == QEvent::ShortcutOverride) {
            offeredToList = static_cast<QKeyEvent*>(event)->keyCombination();
        } else if (type == QEvent::KeyPress) {
            // The press reached the list: no shortcut took it, and its release is the list's.
            offeredToList.reset();
            const auto* press = static_cast<QKeyEvent*>(event);
            if (!press->isAutoRepeat())
                keysTakenByShortcuts.remove(press->key());
        } else if (type == QEvent::KeyRelease &&
                   releaseChoosesPage(*static_cast<QKeyEvent*>(event))) {
            ListView1_Click();
        }
    }
    if (event->type() == QEvent::Shortcut &&
        std::find(shortcutObjects.begin(), shortcutObjects.end(), watched) != shortcutObjects.end())
        noteShortcutKeys();
    if (watched == Picture1 && event->type() == QEvent::ShortcutOverride &&
        pageTakesOverShortcut(*static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    if (watched == Picture1 && event->type() == QEvent::KeyPress) {
        const auto* press = static_cast<QKeyEvent*>(event);
        if ((press->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier &&
            scrollPageByKey(press->key()))
            return true;
    }
    if (event->type() == QEvent::Wheel && (watched == Picture1 || watched == Picture2)) {
        wheelOverPage(static_cast<QWheelEvent*>(event));
        return true;
    }
    return ProgramWindow::eventFilter(watched, event);
}

// A shortcut is about to act on a key press; when that press was offered to the list, its key
// and the modifiers held for it will be released in the list without having been pressed
// there as keys of their own.
void Form2::noteShortcutKeys() {
    if (!offeredToList)
        return;
    keysTakenByShortcuts.insert(int(offeredToList->key()));
    const Qt::KeyboardModifiers held = offeredToList->keyboardModifiers();
    const std::pair<Qt::KeyboardModifier, Qt::Key> modifiers[] = {
        {Qt::ControlModifier, Qt::Key_Control},
        {Qt::ShiftModifier, Qt::Key_Shift},
        {Qt::AltModifier, Qt::Key_Alt},
        {Qt::MetaModifier, Qt::Key_Meta}};
    for (const auto& [modifier, key] : modifiers)
        if (held & modifier)
            keysTakenByShortcuts.insert(int(key));
    offeredToList.reset();
}

// A shortcut zooms on a key's press; its release, choosing the page afresh at zoom 1, would
// undo the zoom at once. Keys the list itself takes (arrows, Home, End, letters) choose the
// page on their release as they always have.
bool Form2::releaseChoosesPage(const QKeyEvent& release) {
    return !keysTakenByShortcuts.remove(release.key());
}

void Form2::contextMenuEvent(QContextMenuEvent* event) {
    // A right-click elsewhere in the window has no menu; the menu key's request, from
    // whichever control has the focus, opens the page's menu.
    if (event->reason() == QContextMenuEvent::Mouse) {
        event->ignore();
        return;
    }
    event->accept();
    const QRect page = Picture2->rect().intersected(Picture1->geometry());
    showPageMenu(
        Picture2->mapToGlobal((page.isEmpty() ? Picture2->rect() : page).topLeft() + QPoint(8, 8)));
}

void Form2::closeEvent(QCloseEvent* event) {
    Form_QueryUnload();
    event->accept();
    if (services.endProgram)
        services.endProgram();
}

void Form2::Form_QueryUnload() {
    Trap trap(Procedure::Form2_Form_QueryUnload);
    trap.line(100, [&] {
        RemoveFile(mWordFile);
        wordFileHold.release();
    });
    trap.line(102, [] { QCoreApplication::processEvents(); });
    trap.line(104, [] { QCoreApplication::processEvents(); });
}
