// The entry window driven through its real widgets.
#include "FindControl.h"
#include "Form1.h"
#include "SaleFields.h"
#include "ScriptedDialogs.h"
#include "SettingsStore.h"
#include "TestSizes.h"
#include "TextBox.h"
#include "Trap.h"
#include "WindowEvents.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QString app = QString::fromLatin1(settingsApplication);
const QString section = QString::fromLatin1(settingsSection);

int px(int twips) {
    return twips / 15;
}

QString reportWhere(const QString& report) {
    return report.section(QStringLiteral("\r\n"), 1).section(QLatin1Char('\r'), 0, 0);
}

// A window over a store in a temporary folder; the engine check and the script are recorded.
class EntryWindow : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    void TearDown() override { Trap::setFaultInjector({}); }

    Form1::Services services() {
        Form1::Services s;
        s.readSetting = [this](const QString& key) {
            readOrder.push_back(key);
            if (failingRead == key)
                throw std::runtime_error("Type mismatch");
            return store.read(app, section, key);
        };
        s.writeSetting = [this](const QString& key, const QString& value) {
            ++writes;
            if (writesFail)
                throw std::runtime_error("Disk full");
            store.write(app, section, key, value);
        };
        s.checkWordInstalled = [this] { ++wordChecks; };
        s.generate = [this](const SaleRecordSource& record) {
            ++generations;
            if (duringGeneration)
                duringGeneration(record);
        };
        s.endProgram = [this] { ++endings; };
        return s;
    }

    Form1& loaded() {
        form = std::make_unique<Form1>(services());
        form->Form_Load();
        return *form;
    }

    // The value in the store file itself, read by a fresh QSettings.
    QString inFile(const QString& key) {
        QSettings file(store.filePath(app), QSettings::IniFormat);
        return file.value(section + u'/' + key, QStringLiteral("<absent>")).toString();
    }

    // Controls by their object names.
    TextBox* box(const QString& name) const { return control<TextBox>(*form, name); }
    QPushButton* button(const char* name) const { return control<QPushButton>(*form, name); }
    QGroupBox* frame(const char* name) const { return control<QGroupBox>(*form, name); }
    void click(const char* name) const { clickButton(*form, name); }

    void showActive() {
        form->show();
        QApplication::setActiveWindow(form.get());
        // Wayland has no activation of its own to wait for (see becomeActive).
        ASSERT_TRUE(programPlacesWindows() ? QTest::qWaitForWindowActive(form.get())
                                           : QTest::qWaitForWindowExposed(form.get()));
    }

    QTemporaryDir dir;
    SettingsStore store{dir.path()};
    ScriptedDialogs dialogs;
    std::unique_ptr<Form1> form;
    QStringList readOrder;
    QString failingRead;
    bool writesFail = false;
    int writes = 0, wordChecks = 0, generations = 0, endings = 0;
    std::function<void(const SaleRecordSource&)> duringGeneration;
};

TEST_F(EntryWindow, LayoutMatchesTheTableInPixels) {
    Form1& w = loaded();
    EXPECT_EQ(w.size(), QSize(536, 530));
    EXPECT_EQ(w.minimumSize(), w.maximumSize()); // not resizable
    EXPECT_FALSE(w.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Vantorel"));

    struct {
        QWidget* widget;
        const char* caption;
        QRect twips;
    } fixed[] = {
        {button("PushButton1"), "Start Creating Template", {120, 120, 7800, 405}},
        {button("PushButton2"), "Clear/Reset Data", {120, 630, 3840, 405}},
        {button("PushButton3"), "Load Sample/Example Data", {4080, 630, 3840, 405}},
        {frame("Frame3"), "Amount For Motor Vehicle", {120, 1110, 7800, 960}},
        {frame("Frame17"), "People", {120, 2130, 7800, 1815}},
        {frame("Frame1"), "Motor Vehicle Description", {120, 4020, 7800, 2445}},
        {frame("Frame2"), "Conditions and Representations", {120, 6540, 7800, 1320}},
    };
    for (const auto& c : fixed) {
        const QRect& t = c.twips;
        EXPECT_EQ(c.widget->geometry(), QRect(px(t.x()), px(t.y()), px(t.width()), px(t.height())))
            << c.caption;
        const QString caption = qobject_cast<QPushButton*>(c.widget)
                                    ? qobject_cast<QPushButton*>(c.widget)->text()
                                    : qobject_cast<QGroupBox*>(c.widget)->title();
        EXPECT_EQ(caption, QString::fromLatin1(c.caption));
        EXPECT_EQ(c.widget->font().family(), QStringLiteral("Arial"));
        EXPECT_TRUE(c.widget->font().bold());
        EXPECT_DOUBLE_EQ(c.widget->font().pointSizeF(),
                         qobject_cast<QPushButton*>(c.widget) ? 11.25 : 9.0);
    }
    // The last frame ends 90 twips above the bottom: nothing clipped.
    EXPECT_EQ(w.height() - frame("Frame2")->geometry().bottom() - 1, px(90));

    for (const SaleField& f : saleFields()) {
        TextBox* box = this->box(f.boxName());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->geometry(),
                  QRect(px(f.place.boxLeft), px(f.place.boxTop), px(f.place.boxWidth), 25))
            << f.box;
        EXPECT_TRUE(box->text().isEmpty());
        EXPECT_GT(box->maxLength(), 1 << 20) << f.box;
        EXPECT_EQ(box->font().pointSizeF(), 9.0);
        EXPECT_TRUE(box->font().bold());
        if (f.place.labelWidth == 0)
            continue;
        QLabel* label = nullptr;
        for (QLabel* l : box->parentWidget()->findChildren<QLabel*>())
            if (l->text() == f.captionText())
                label = l;
        ASSERT_NE(label, nullptr) << f.caption;
        EXPECT_EQ(label->pos(), QPoint(px(f.place.labelLeft), px(f.place.labelTop))) << f.caption;
        EXPECT_EQ(label->focusPolicy(), Qt::NoFocus);
        if (f.place.twoLineLabel) {
            EXPECT_EQ(label->size(), QSize(px(f.place.labelWidth), px(f.place.labelHeight)));
            EXPECT_TRUE(label->wordWrap());
        }
        // The caption is shown whole and ends a visible gap (five pixels) before its box.
        const QString caption = label->text();
        for (const QString& line :
             f.place.twoLineLabel ? caption.split(u' ') : QStringList{caption}) {
            const qreal width = QFontMetricsF(label->font(), label).horizontalAdvance(line);
            EXPECT_LE(label->x() + width + 5, box->x()) << f.caption;
            EXPECT_GE(label->width(), width) << f.caption;
        }
        // The caption sits level with its box.
        EXPECT_LE(std::abs(label->geometry().center().y() - box->geometry().center().y()),
                  f.place.twoLineLabel ? 8 : 3)
            << f.caption;
    }
}

TEST_F(EntryWindow, TabCyclesInTabIndexOrderBothWays) {
    loaded();
    showActive();
    const QStringList order = {QStringLiteral("txtAmountOfMotorVehicle"),
                               QStringLiteral("txtNameOfSeller"),
                               QStringLiteral("txtNameOfBuyer"),
                               QStringLiteral("txtNameOfWitness"),
                               QStringLiteral("txtMake"),
                               QStringLiteral("txtModel"),
                               QStringLiteral("txtYear"),
                               QStringLiteral("txtColor"),
                               QStringLiteral("txtVIN"),
                               QStringLiteral("txtStyle"),
                               QStringLiteral("txtOdometer"),
                               QStringLiteral("txtTitle"),
                               QStringLiteral("txtDownPayment"),
                               QStringLiteral("txtNoDaysTitleTransfer"),
                               QStringLiteral("txtRetainDownPayment"),
                               QStringLiteral("txtNoDaysVehicleInspected"),
                               QStringLiteral("PushButton1"),
                               QStringLiteral("PushButton2"),
                               QStringLiteral("PushButton3")};
    ASSERT_EQ(QApplication::focusWidget()->objectName(), order[0]);
    for (int i = 1; i <= order.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget()->objectName(), order[i % order.size()]) << i;
    }
    for (int i = order.size() - 1; i >= 0; --i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        EXPECT_EQ(QApplication::focusWidget()->objectName(), order[i]) << i;
    }
}

// Values longer than their boxes show their starts.
TEST_F(EntryWindow, StartUpRestoresEveryFieldInOrderWithoutChangingTheStore) {
    const auto value = [](const SaleField& f) {
        return QStringLiteral(" %1 ").arg(f.box).repeated(9);
    };
    for (const SaleField& f : saleFields())
        store.write(app, section, f.keyName(), value(f));
    const QByteArray before = [&] {
        QFile file(store.filePath(app));
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }();
    Form1& w = loaded();
    QStringList expectedOrder;
    for (const SaleField& f : saleFields()) {
        expectedOrder << f.keyName();
        EXPECT_EQ(box(f.boxName())->text(), value(f));
        EXPECT_EQ(w.text(f.boxName()), value(f));
    }
    EXPECT_EQ(readOrder, expectedOrder);
    EXPECT_EQ(writes, 0);
    EXPECT_EQ(wordChecks, 1);
    EXPECT_TRUE(dialogs.messages.empty());
    QFile file(store.filePath(app));
    file.open(QIODevice::ReadOnly);
    EXPECT_EQ(file.readAll(), before);
    showActive();
    for (const SaleField& f : saleFields()) {
        box(f.boxName())->grab(); // lays the text out as shown: the caret at the left
        EXPECT_LT(box(f.boxName())->inputMethodQuery(Qt::ImCursorRectangle).toRect().left(), 20)
            << f.box;
    }
}

TEST_F(EntryWindow, AFieldThatCannotBeRestoredIsReportedAtItsLineAndTheRestGoOn) {
    store.write(app, section, QStringLiteral("Make"), QStringLiteral("Ford"));
    store.write(app, section, QStringLiteral("Year"), QStringLiteral("1969"));
    failingRead = QStringLiteral("Model");
    Form1& w = loaded();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(reportWhere(dialogs.messages[0].text),
              QStringLiteral("in Qelvard2021/08/31.Form1.Form_Load at line 136"));
    EXPECT_EQ(w.text(QStringLiteral("txtMake")), QStringLiteral("Ford"));
    EXPECT_EQ(w.text(QStringLiteral("txtYear")), QStringLiteral("1969"));
    EXPECT_EQ(wordChecks, 1);
}

TEST_F(EntryWindow, EveryChangeIsWrittenThroughToTheStoreFile) {
    Form1& w = loaded();
    showActive();
    TextBox* make = box(QStringLiteral("txtMake"));
    make->setFocus();
    QTest::keyClicks(make, QStringLiteral("Ford"));
    EXPECT_EQ(inFile(QStringLiteral("Make")), QStringLiteral("Ford"));
    QTest::keyClick(make, Qt::Key_Backspace);
    EXPECT_EQ(inFile(QStringLiteral("Make")), QStringLiteral("For"));

    if (!clipboardKept())
        GTEST_SKIP() << "no clipboard: a Wayland compositor without a seat";
    TextBox* vin = box(QStringLiteral("txtVIN"));
    QApplication::clipboard()->setText(QStringLiteral("1G1 😀 Кирилл"));
    vin->setFocus();
    vin->paste();
    EXPECT_EQ(inFile(QStringLiteral("VIN")), QStringLiteral("1G1 😀 Кирилл"));
    EXPECT_EQ(inFile(QStringLiteral("Make")), QStringLiteral("For")); // keys stay apart
    vin->selectAll();
    vin->cut();
    EXPECT_EQ(inFile(QStringLiteral("VIN")), QString());

    const QString megabyte(largeValueLength, QLatin1Char('m'));
    box(QStringLiteral("txtTitle"))->setText(megabyte);
    EXPECT_EQ(w.text(QStringLiteral("txtTitle")), megabyte);
    EXPECT_EQ(store.read(app, section, QStringLiteral("Title")), megabyte);
}

TEST_F(EntryWindow, ClearAndSampleGoThroughTheWriteThrough) {
    Form1& w = loaded();
    box(QStringLiteral("txtStyle"))->setText(QStringLiteral("Coupe"));
    click("PushButton3");
    // A box whose text does not change writes nothing: empty sample values of boxes that were
    // empty already leave their keys absent.
    const auto expectedInFile = [](const SaleField& f, const QString& value) {
        return value.isEmpty() && f.keyName() != QStringLiteral("Style") &&
                       f.sampleValue().isEmpty()
                   ? QStringLiteral("<absent>")
                   : value;
    };
    for (const SaleField& f : saleFields()) {
        EXPECT_EQ(w.text(f.boxName()), f.sampleValue()) << f.box;
        EXPECT_EQ(inFile(f.keyName()), expectedInFile(f, f.sampleValue())) << f.key;
    }
    click("PushButton2");
    for (const SaleField& f : saleFields()) {
        EXPECT_EQ(w.text(f.boxName()), QString()) << f.box;
        EXPECT_EQ(inFile(f.keyName()), expectedInFile(f, QString())) << f.key;
    }
    // Clearing empty boxes changes nothing and writes nothing.
    const int before = writes;
    click("PushButton2");
    EXPECT_EQ(writes, before);
}

TEST_F(EntryWindow, EveryKindOfFocusSelectsTheWholeText) {
    loaded();
    for (const SaleField& f : saleFields())
        box(f.boxName())->setText(QStringLiteral("Ford"));
    showActive();
    TextBox* first = box(QStringLiteral("txtAmountOfMotorVehicle"));
    EXPECT_EQ(first->selectedText(), QStringLiteral("Ford")); // first show

    QTest::keyClick(first, Qt::Key_Tab);
    TextBox* seller = box(QStringLiteral("txtNameOfSeller"));
    ASSERT_TRUE(seller->hasFocus());
    EXPECT_EQ(seller->selectedText(), QStringLiteral("Ford"));
    QTest::keyClicks(seller, QStringLiteral("G"));
    EXPECT_EQ(seller->text(), QStringLiteral("G"));
    EXPECT_EQ(inFile(QStringLiteral("Name Of Seller")), QStringLiteral("G"));

    QTest::keyClick(seller, Qt::Key_Backtab);
    EXPECT_EQ(first->selectedText(), QStringLiteral("Ford"));

    TextBox* make = box(QStringLiteral("txtMake"));
    QTest::mouseClick(make, Qt::LeftButton, {}, QPoint(10, 10));
    ASSERT_TRUE(make->hasFocus());
    EXPECT_EQ(make->selectedText(), QStringLiteral("Ford"));

    TextBox* empty = box(QStringLiteral("txtYear"));
    empty->clear();
    QTest::mouseClick(empty, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(empty->selectionLength(), 0);
}

TEST_F(EntryWindow, PointerFollowsTheMouseUnlessBusy) {
    Form1& w = loaded();
    auto move = [](QWidget* target) {
        QMouseEvent e(QEvent::MouseMove, QPointF(3, 3), target->mapToGlobal(QPointF(3, 3)),
                      Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(target, &e);
    };
    for (QWidget* button : {static_cast<QWidget*>(button("PushButton1")),
                            static_cast<QWidget*>(button("PushButton2")),
                            static_cast<QWidget*>(button("PushButton3"))}) {
        move(frame("Frame1"));
        EXPECT_EQ(w.mousePointer(), PointerDefault);
        move(button);
        EXPECT_EQ(w.mousePointer(), PointerCustom);
        // Without a hand cursor file the custom pointer is the arrow.
        EXPECT_EQ(w.cursor().shape(), Qt::ArrowCursor);
    }
    for (QWidget* background :
         {static_cast<QWidget*>(&w), static_cast<QWidget*>(frame("Frame3")),
          static_cast<QWidget*>(frame("Frame17")), static_cast<QWidget*>(frame("Frame2"))}) {
        move(button("PushButton1"));
        move(background);
        EXPECT_EQ(w.mousePointer(), PointerDefault);
    }
    // During a generation the busy pointer stays wherever the mouse goes.
    std::vector<int> seen;
    duringGeneration = [&](const SaleRecordSource&) {
        for (QWidget* target :
             {static_cast<QWidget*>(button("PushButton2")), static_cast<QWidget*>(frame("Frame1")),
              static_cast<QWidget*>(&w)}) {
            move(target);
            seen.push_back(w.mousePointer());
            EXPECT_EQ(w.cursor().shape(), Qt::WaitCursor);
        }
    };
    click("PushButton1");
    EXPECT_EQ(seen, (std::vector<int>{PointerBusy, PointerBusy, PointerBusy}));
    EXPECT_EQ(w.mousePointer(), PointerDefault);
}

TEST_F(EntryWindow, ASecondClickDuringAGenerationDoesNothing) {
    Form1& w = loaded();
    QSignalSpy clicks(button("PushButton1"), &QPushButton::clicked);
    duringGeneration = [&](const SaleRecordSource& record) {
        EXPECT_TRUE(w.generating());
        EXPECT_EQ(&record, static_cast<const SaleRecordSource*>(&w));
        click("PushButton1"); // as when pending events run inside the script
    };
    click("PushButton1");
    EXPECT_EQ(clicks.count(), 2); // the second click reached the button
    EXPECT_EQ(generations, 1);
    EXPECT_FALSE(w.generating());
    EXPECT_TRUE(dialogs.messages.empty());
}

struct HandlerFault {
    const char* name;
    Procedure procedure;
    int line;
};

// Test output names the case rather than dumping its bytes.
void PrintTo(const HandlerFault& c, std::ostream* os) {
    *os << c.name;
}

class HandlerFaults : public EntryWindow, public ::testing::WithParamInterface<HandlerFault> {};

TEST_P(HandlerFaults, AreReportedWithTheirIdAndLineAndTheHandlerGoesOn) {
    const HandlerFault& c = GetParam();
    Form1& w = loaded();
    click("PushButton3"); // sample values in place
    Trap::setFaultInjector([&](const QString& id, int line) {
        if (id == procedureId(c.procedure) && line == c.line)
            throw std::runtime_error("Injected");
    });
    switch (c.procedure) {
    case Procedure::Form1_PushButton1_Click:
        click("PushButton1");
        EXPECT_EQ(generations, c.line == 106 ? 0 : 1);
        EXPECT_EQ(w.mousePointer(), c.line == 108 ? PointerBusy : PointerDefault);
        EXPECT_EQ(w.generating(), c.line == 110);
        break;
    case Procedure::Form1_PushButton2_Click:
        click("PushButton2");
        for (const SaleField& f : saleFields())
            EXPECT_EQ(w.text(f.boxName()).isEmpty(),
                      f.fillLine != c.line || f.sampleValue().isEmpty())
                << f.box;
        break;
    default:
        click("PushButton2");
        click("PushButton3");
        for (const SaleField& f : saleFields())
            EXPECT_EQ(w.text(f.boxName()), f.fillLine == c.line ? QString() : f.sampleValue())
                << f.box;
        break;
    }
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("Application Error"));
    EXPECT_EQ(reportWhere(dialogs.messages[0].text),
              procedureId(c.procedure) + QStringLiteral("at line %1").arg(c.line));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HandlerFaults,
    ::testing::Values(HandlerFault{"Start104", Procedure::Form1_PushButton1_Click, 104},
                      HandlerFault{"Start106", Procedure::Form1_PushButton1_Click, 106},
                      HandlerFault{"Start108", Procedure::Form1_PushButton1_Click, 108},
                      HandlerFault{"Start110", Procedure::Form1_PushButton1_Click, 110},
                      HandlerFault{"Clear110", Procedure::Form1_PushButton2_Click, 110},
                      HandlerFault{"Sample100", Procedure::Form1_PushButton3_Click, 100},
                      HandlerFault{"Sample130", Procedure::Form1_PushButton3_Click, 130}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(EntryWindow, AStoreThatCannotBeWrittenIsToldOnceAndTypingGoesOn) {
    loaded();
    showActive();
    writesFail = true;
    TextBox* buyer = box(QStringLiteral("txtNameOfBuyer"));
    buyer->setFocus();
    QTest::keyClicks(buyer, QStringLiteral("Orwen"));
    click("PushButton3");
    EXPECT_EQ(buyer->text(), QStringLiteral("Orwen Palk"));
    EXPECT_TRUE(dialogs.messages.empty()); // no modal box at all
    ASSERT_EQ(dialogs.notices.size(), 1u);
    EXPECT_TRUE(dialogs.notices[0].text.contains(QStringLiteral("Disk full")));
    EXPECT_EQ(dialogs.notices[0].icon, Icon::Warning);
    EXPECT_GT(writes, 5); // every change still tried
}

// Values too long for their boxes: shown cut, kept whole until the user changes a box, told
// once. The notice waits for the window and then stands above it (a box shown before the
// window appears ends up hidden behind it).
TEST_F(EntryWindow, AValueLongerThanItsBoxIsShownCutToldOnceAndKeptWholeInTheStore) {
    const auto messageBoxes = [] {
        std::vector<QMessageBox*> found;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible())
                found.push_back(box);
        return found;
    };
    store.write(app, section, QStringLiteral("Make"), QStringLiteral("Ford Thunderbird"));
    store.write(app, section, QStringLiteral("Model"), QStringLiteral("Bird😀!"));
    form = std::make_unique<Form1>(services());
    // The real limit's path at sizes a test can type.
    box(QStringLiteral("txtMake"))->setMaxLength(4);
    box(QStringLiteral("txtModel"))->setMaxLength(5);
    setDialogs(nullptr); // the real boxes
    form->Form_Load();
    EXPECT_EQ(form->text(QStringLiteral("txtMake")), QStringLiteral("Ford"));
    EXPECT_EQ(form->text(QStringLiteral("txtModel")), QStringLiteral("Bird")); // no half 😀
    EXPECT_EQ(writes, 0);
    EXPECT_TRUE(messageBoxes().empty());
    showActive();
    QCoreApplication::processEvents();
    const std::vector<QMessageBox*> shown = messageBoxes();
    setDialogs(&dialogs);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0]->parentWidget(), form.get());
    EXPECT_TRUE(shown[0]->text().contains(
        QStringLiteral("Make: 16 characters, of which the box shows the first 4.")));
    EXPECT_TRUE(shown[0]->text().contains(QStringLiteral("Model/Series: 7 characters")));
    EXPECT_EQ(shown[0]->windowTitle(), QStringLiteral("Vantorel"));
    delete shown[0];

    TextBox* make = box(QStringLiteral("txtMake"));
    make->setFocus();
    make->end(false);
    QTest::keyClick(make, Qt::Key_Backspace); // the user's change: the box's text is stored
    EXPECT_EQ(inFile(QStringLiteral("Make")), QStringLiteral("For"));
    EXPECT_EQ(inFile(QStringLiteral("Model")), QStringLiteral("Bird😀!"));
}

TEST_F(EntryWindow, ShownItIsCentredInTheScreensAvailableArea) {
    if (!programPlacesWindows())
        GTEST_SKIP() << "Wayland places windows itself";
    Form1& w = loaded();
    showActive();
    const QRect area = w.screen()->availableGeometry();
    const QRect frame = w.frameGeometry();
    EXPECT_TRUE(area.contains(frame)) << area.height() << " " << frame.height();
    EXPECT_LE((frame.center() - area.center()).manhattanLength(), 2);
}

TEST_F(EntryWindow, ClosingEndsTheProgram) {
    Form1& w = loaded();
    w.show();
    w.close();
    EXPECT_EQ(endings, 1);
}

} // namespace
