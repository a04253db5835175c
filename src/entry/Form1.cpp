#include "Form1.h"

#include "Appearance.h"
#include "Dialogs.h"
#include "Paths.h"
#include "PointerRules.h"
#include "SaleFields.h"
#include "SettingsStore.h"
#include "TextBox.h"
#include "Trap.h"
#include "WindowParts.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTimer>
#include <utility>

namespace {

constexpr int boxHeight = 375;
// The least room the layout itself leaves between a label and its box.
constexpr int labelGap = 75;

// Fonts that stand in for Arial run a little wider than Arial did where the layout was drawn,
// and a caption would touch its box: such a caption is narrowed just enough to end a gap
// before the box, and stays whole.
void fitBeforeBox(QLabel& label, int roomPixels) {
    QFont font = label.font();
    for (int stretch = 100; stretch > 80; --stretch) {
        font.setStretch(stretch);
        if (QFontMetricsF(font, &label).horizontalAdvance(label.text()) <= roomPixels)
            break;
    }
    if (font.stretch() != 100)
        label.setFont(font);
    label.adjustSize();
}

// The tables that place the controls name the window's private members, so they are filled
// in its build functions.
struct ButtonPlace {
    QPushButton* Form1::*member;
    const char* name;
    const char* caption;
    QRect twips;
};

struct FramePlace {
    QGroupBox* Form1::*member;
    const char* name;
    const char* caption;
    QRect twips;
};

} // namespace

Form1::Services Form1::storeServices() {
    Services s;
    const QString app = QString::fromLatin1(settingsApplication);
    const QString section = QString::fromLatin1(settingsSection);
    s.readSetting = [=](const QString& key) { return ReadSetting(app, section, key); };
    s.writeSetting = [=](const QString& key, const QString& value) {
        WriteSetting(app, section, key, value);
    };
    s.endProgram = [] { QCoreApplication::exit(0); };
    return s;
}

Form1::Form1(Services servicesIn, QWidget* parent)
    : ProgramWindow("Form1", 8040, 7950, parent), services(std::move(servicesIn)) {
    buildButtons();
    buildFrames();
    buildFields();
    setTabOrderByIndex();
}

void Form1::buildButtons() {
    // In tab-index order: 35, 36, 37.
    static const ButtonPlace places[] = {
        {&Form1::PushButton1, "PushButton1", "Start Creating Template", {120, 120, 7800, 405}},
        {&Form1::PushButton2, "PushButton2", "Clear/Reset Data", {120, 630, 3840, 405}},
        {&Form1::PushButton3, "PushButton3", "Load Sample/Example Data", {4080, 630, 3840, 405}},
    };
    for (const ButtonPlace& place : places) {
        QPushButton* button = makeButton(this, place.name, place.caption, place.twips);
        button->setAccessibleName(QString::fromLatin1(place.caption));
        pointerRules().addButton(*button);
        this->*place.member = button;
    }
    connect(PushButton1, &QPushButton::clicked, this, &Form1::PushButton1_Click);
    connect(PushButton2, &QPushButton::clicked, this, &Form1::PushButton2_Click);
    connect(PushButton3, &QPushButton::clicked, this, &Form1::PushButton3_Click);
}

void Form1::buildFrames() {
    static const FramePlace places[] = {
        {&Form1::Frame3, "Frame3", "Amount For Motor Vehicle", {120, 1110, 7800, 960}},
        {&Form1::Frame17, "Frame17", "People", {120, 2130, 7800, 1815}},
        {&Form1::Frame1, "Frame1", "Motor Vehicle Description", {120, 4020, 7800, 2445}},
        {&Form1::Frame2, "Frame2", "Conditions and Representations", {120, 6540, 7800, 1320}},
    };
    for (const FramePlace& place : places) {
        QGroupBox* frame = makeFrame(this, place.name, place.caption, place.twips);
        pointerRules().addBackground(*frame);
        this->*place.member = frame;
    }
}

QGroupBox* Form1::frameOf(Group group) const {
    switch (group) {
    case Group::Amount:
        return Frame3;
    case Group::People:
        return Frame17;
    case Group::VehicleDescription:
        return Frame1;
    case Group::Conditions:
        return Frame2;
    }
    return nullptr;
}

// Assistive tools list a window's controls in the order they were made, so the boxes are made
// in the order of the screen, each after its label.
void Form1::buildFields() {
    for (const SaleField* each : fieldsInTabOrder()) {
        const SaleField& field = *each;
        QGroupBox* frame = frameOf(field.group);
        const FieldPlacement& at = field.place;
        if (at.labelWidth > 0) {
            auto* label = new QLabel(field.captionText(), frame);
            label->setFont(arialBold(9));
            label->move(twipsToPixels(at.labelLeft), twipsToPixels(at.labelTop));
            if (at.twoLineLabel) {
                label->setWordWrap(true);
                label->resize(twipsToPixels(at.labelWidth), twipsToPixels(at.labelHeight));
                label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            } else {
                fitBeforeBox(*label, twipsToPixels(at.boxLeft) - twipsToPixels(at.labelLeft) -
                                         twipsToPixels(labelGap));
            }
            labels.insert(field.boxName(), label);
        }
        auto* box = new TextBox(frame);
        box->setObjectName(field.boxName());
        box->setAccessibleName(field.spokenName());
        if (QLabel* label = labels.value(field.boxName()))
            label->setBuddy(box); // ties the label to its box for assistive tools
        box->setFont(arialBold(9));
        box->setGeometry(twipsRect(at.boxLeft, at.boxTop, at.boxWidth, boxHeight));
        connect(box, &QLineEdit::textChanged, this,
                [this, &field](const QString& value) { fieldChanged(field, value); });
        connect(box, &TextBox::gotFocus, box, &QLineEdit::selectAll);
        boxes.insert(field.boxName(), box);
    }
}

// Tab indexes: the boxes 0 to 16, then the buttons 35 to 37.
void Form1::setTabOrderByIndex() {
    std::vector<QWidget*> chain;
    for (const SaleField* field : fieldsInTabOrder())
        chain.push_back(boxes.value(field->boxName()));
    for (QPushButton* button : {PushButton1, PushButton2, PushButton3})
        chain.push_back(button);
    for (std::size_t i = 0; i + 1 < chain.size(); ++i)
        setTabOrder(chain[i], chain[i + 1]);
}

QString Form1::text(const QString& boxName) const {
    const TextBox* b = boxes.value(boxName);
    return b ? b->text() : QString();
}

void Form1::Form_Load() {
    Trap trap(Procedure::Form1_Form_Load);
    trap.line(100, [&] { ApplySkin(*this, SkinFramework1); });
    trap.line(
        104, [&] { setProgramTitle(); }, [&] { setProgramIcon(); }, [&] { SetAppTitle(); });
    const QString cursorPath = handCursorPath();
    if (trap.blockTest(106, [&] { return FileExists(cursorPath); }))
        trap.line(108, [&] { loadHandCursor(cursorPath); });
    QStringList shownCut;
    for (const SaleField& field : saleFields())
        trap.line(field.restoreLine, [&] { restoreField(field, shownCut); });
    trap.unnumbered([&] {
        if (shownCut.isEmpty())
            return;
        tell({QStringLiteral("Some stored values are longer than their boxes take, so the "
                             "boxes show only their beginnings:\r\n\r\n") +
                  shownCut.join(QStringLiteral("\r\n")) +
                  QStringLiteral("\r\n\r\nThe settings file keeps each whole value until you "
                                 "change its box; from then on it keeps what the box holds."),
              applicationTitle(), Buttons::Ok, Icon::Warning, this});
    });
    trap.line(160, [&] { services.checkWordInstalled(); });
}

// Filling a box is no change by the user, so the store is not written: a value the box cannot
// hold whole (written by hand, or before boxes had a limit) stays whole in the store until the
// user changes that box.
void Form1::restoreField(const SaleField& field, QStringList& shownCut) {
    const QString stored = services.readSetting(field.keyName());
    TextBox* box = boxes.value(field.boxName());
    qsizetype shown = std::min<qsizetype>(stored.size(), box->maxLength());
    if (shown < stored.size() && shown > 0 && stored[shown - 1].isHighSurrogate())
        --shown; // half a character would show as a box of its own
    const QScopedValueRollback quiet(restoring, true);
    box->setText(stored.left(shown));
    box->setCursorPosition(0); // a value longer than the box shows its start, not its end
    if (shown < stored.size()) {
        shownCut << QStringLiteral("%1: %2 characters, of which the box shows the first %3.")
                        .arg(field.spokenName(), QLocale().toString(stored.size()),
                             QLocale().toString(shown));
    }
}

void Form1::PushButton1_Click() {
    Trap trap(Procedure::Form1_PushButton1_Click);
    if (trap.inlineTest(100, [&] { return mGenerating; }))
        return;
    trap.line(102, [&] { mGenerating = true; });
    trap.line(104, [&] { setMousePointer(PointerBusy); });
    trap.line(106, [&] { services.generate(*this); });
    trap.line(108, [&] { setMousePointer(PointerDefault); });
    trap.line(110, [&] { mGenerating = false; });
}

void Form1::PushButton2_Click() {
    Trap trap(Procedure::Form1_PushButton2_Click);
    for (const SaleField* field : fieldsInFillOrder())
        trap.line(field->fillLine, [&] { boxes.value(field->boxName())->setText(QString()); });
}

void Form1::PushButton3_Click() {
    Trap trap(Procedure::Form1_PushButton3_Click);
    for (const SaleField* field : fieldsInFillOrder()) {
        trap.line(field->fillLine,
                  [&] { boxes.value(field->boxName())->setText(field->sampleValue()); });
    }
}

// Write-through. A write that fails leaves the box as typed; the user is told once per run,
// without a box that stops the typing, and later changes still try to write.
void Form1::fieldChanged(const SaleField& field, const QString& value) {
    if (restoring)
        return;
    try {
        services.writeSetting(field.keyName(), value);
    } catch (...) {
        if (storeFailureNoticed)
            return;
        storeFailureNoticed = true;
        const QString why = failureDescription(std::current_exception());
        tell({QStringLiteral("What you type cannot be saved, so it will not be there when "
                             "Vantorel starts again.\r\n\r\n") +
                  why +
                  QStringLiteral("\r\n\r\nYour values stay in the boxes and can still go into "
                                 "a bill of sale."),
              applicationTitle(), Buttons::Ok, Icon::Warning, this});
    }
}

// Before the window is on the screen a notice shown now would sit behind it once it appears,
// and is shown only once: it waits for the window.
void Form1::tell(MessageRequest notice) {
    pendingNotices.append(std::move(notice));
    if (shownBefore())
        showPendingNotices();
}

void Form1::showPendingNotices() {
    for (const MessageRequest& request : std::exchange(pendingNotices, {})) {
        try {
            dialogs().notice(request);
        } catch (...) {
            // Telling is a courtesy; the typing must go on regardless.
        }
    }
}

void Form1::firstShown() {
    // After the window has reached the screen, so that the notices land above it.
    QTimer::singleShot(0, this, &Form1::showPendingNotices);
    TextBox* first = boxes.value(QStringLiteral("txtAmountOfMotorVehicle"));
    first->setFocus(Qt::OtherFocusReason);
    first->selectAllFromStart();
}

// Closing the entry window ends the program at once, whatever other windows are up.
void Form1::closeEvent(QCloseEvent* event) {
    event->accept();
    mClosed = true;
    if (services.endProgram)
        services.endProgram();
}
