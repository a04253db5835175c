// Page rendering and the hand-off, with the recording fake and with the real engine.
#include "EngineApplicationFactory.h"
#include "EntryServices.h"
#include "FindControl.h"
#include "Form1.h"
#include "Form2.h"
#include "MotorVehicleBill.h"
#include "PictureBox.h"
#include "PreviewHandOff.h"
#include "Program.h"
#include "RecordingWord.h"
#include "RenderPages.h"
#include "SaleFields.h"
#include "ScopedTemp.h"
#include "ScriptedDialogs.h"
#include "SettingsStore.h"
#include "TextBox.h"
#include "Trap.h"
#include "WindowEvents.h"

#include <QAccessible>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

// The page shown, as a screen reader reads it from the page picture: line by line.
QStringList readPage(const Form2& form) {
    QAccessibleInterface* page =
        QAccessible::queryAccessibleInterface(control<PictureBox>(form, "Picture1"));
    QAccessibleTextInterface* text = page ? page->textInterface() : nullptr;
    return text ? text->text(0, text->characterCount()).split(QLatin1Char('\n'))
                : QStringList{QStringLiteral("<no text>")};
}

class TempFolder : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(temp.isValid()); }

    std::unique_ptr<Form2> newPreview() {
        auto form = std::make_unique<Form2>(Form2::Services{[] {}, [] {}});
        form->Form_Load();
        return form;
    }

    ScopedTemp temp;
    ScriptedDialogs dialogs;
};

TEST_F(TempFolder, RenderingDrivesTheEngineAsTheRendererMust) {
    RecordingWord word;
    word.pages = 3;
    auto form = newPreview();
    std::vector<MousePointer> pointers;
    RenderPages(
        word, QStringLiteral("/t/doc.doc"), [&]() -> Form2& { return *form; },
        [&](MousePointer code) { pointers.push_back(code); });
    const QStringList copyAndRemove = {
        QStringLiteral("Document.Range"),        QStringLiteral("Document.Range.CopyAsPicture"),
        QStringLiteral("Selection.GoTo(1,2,2)"), QStringLiteral("Selection.HomeKey(6,1)"),
        QStringLiteral("Selection.Delete(1,1)"), QStringLiteral("Clipboard.GetData(0)")};
    QStringList expected = {
        QStringLiteral("CreateNew"),      QStringLiteral("Documents.Open(/t/doc.doc)"),
        QStringLiteral("ActiveDocument"), QStringLiteral("Document.Repaginate"),
        QStringLiteral("ActiveDocument"), QStringLiteral("Document.BuiltInDocumentProperties(14)")};
    expected << copyAndRemove << copyAndRemove
             << QStringList{QStringLiteral("Document.Range"),
                            QStringLiteral("Document.Range.CopyAsPicture"),
                            QStringLiteral("Selection.EndKey(6,1)"),
                            QStringLiteral("Clipboard.GetData(0)"),
                            QStringLiteral("ActiveDocument"),
                            QStringLiteral("Document.Close(0)"),
                            QStringLiteral("Quit")};
    EXPECT_EQ(word.log, expected);
    EXPECT_EQ(pointers, (std::vector<MousePointer>{PointerBusy, PointerBusy, PointerBusy}));
    EXPECT_EQ(control<QTreeWidget>(*form, "ListView1")->topLevelItemCount(), 3);
    EXPECT_EQ(control<QTreeWidget>(*form, "ListView1")->topLevelItem(2)->text(0),
              QStringLiteral("Page 3"));
    EXPECT_EQ(form->pagePictures().size(), 3u);
    EXPECT_EQ(form->totalImages(), 2);
    EXPECT_FALSE(QFile::exists(temporaryPicturePath()));
}

TEST_F(TempFolder, AFailureStopsTheRenderingAndLeavesWhatWasDone) {
    RecordingWord word;
    word.pages = 3;
    int copies = 0;
    word.failWhen = [&](const QString& op) {
        return op == QStringLiteral("Document.Range.CopyAsPicture") && ++copies == 2;
    };
    auto form = newPreview();
    form->setTotalImages(7);
    EXPECT_THROW(RenderPages(
                     word, QStringLiteral("x.doc"), [&]() -> Form2& { return *form; }, [](int) {}),
                 word::Error);
    EXPECT_EQ(control<QTreeWidget>(*form, "ListView1")->topLevelItemCount(), 1);
    EXPECT_EQ(form->totalImages(), 7);
    EXPECT_FALSE(QFile::exists(temporaryPicturePath()));
}

TEST_F(TempFolder, APlantedLinkAtThePictureFileIsReplacedNotFollowed) {
    const QString victim = temp.filePath(QStringLiteral("victim.txt"));
    QFile v(victim);
    ASSERT_TRUE(v.open(QIODevice::WriteOnly));
    v.write("precious");
    v.close();
    ASSERT_TRUE(QFile::link(victim, temporaryPicturePath()));
    RecordingWord word;
    auto form = newPreview();
    RenderPages(
        word, QStringLiteral("x.doc"), [&]() -> Form2& { return *form; }, [](int) {});
    QFile check(victim);
    ASSERT_TRUE(check.open(QIODevice::ReadOnly));
    EXPECT_EQ(check.readAll(), QByteArray("precious"));
    EXPECT_FALSE(QFileInfo::exists(temporaryPicturePath()));
}

// The picture file is private whatever was left under its name before, and a temporary
// folder whose name holds pattern characters is used as a name: its other files stay.
TEST_F(TempFolder, ThePictureFileIsPrivateAndItsNeighboursStay) {
    const QString folder = temp.filePath(QStringLiteral("t*m?p[ab]"));
    ASSERT_TRUE(QDir().mkdir(folder));
    qputenv("TEMP", QFile::encodeName(folder));
    const QStringList neighbours = {QStringLiteral("tempA.bmp"), QStringLiteral("temp.bmpx"),
                                    QStringLiteral("t.bmp")};
    for (const QString& name : neighbours + QStringList{QStringLiteral("temp.bmp")}) {
        QFile f(folder + u'/' + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    ASSERT_TRUE(QFile::setPermissions(folder + QStringLiteral("/temp.bmp"),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                          QFile::ReadOther));
    RecordingWord word;
    word.pages = 2;
    auto form = newPreview();
    std::vector<unsigned> modes;
    RenderPages(
        word, QStringLiteral("x.doc"),
        [&]() -> Form2& {
            struct stat status;
            if (::stat(QFile::encodeName(temporaryPicturePath()).constData(), &status) == 0)
                modes.push_back(status.st_mode & 07777);
            return *form;
        },
        [](int) {});
    EXPECT_EQ(modes, (std::vector<unsigned>{0600, 0600}));
    QStringList left = QDir(folder).entryList(QDir::Files);
    left.sort();
    QStringList expected = neighbours;
    expected.sort();
    EXPECT_EQ(left, expected);
}

// Documents of a given number of pages, made and saved through the engine.
QString documentOfPages(word::ApplicationFactory& engine, int pages, const QString& path) {
    auto app = engine.CreateNew();
    auto doc = app->Documents().Add();
    word::Selection& selection = doc->ActiveWindow().Selection();
    int count = 0;
    while (count < pages) {
        for (int i = 0; i < 10; ++i)
            selection.TypeText(
                QStringLiteral("A line of the bill of sale, long enough to read.\r\n"));
        doc->Repaginate();
        count = doc->BuiltInDocumentProperties(14).toInt();
    }
    doc->SaveAs(path);
    doc->Close();
    app->Quit();
    return path;
}

class RealEngine : public TempFolder, public ::testing::WithParamInterface<int> {
protected:
    QTemporaryDir registry;
    wordengine::EngineApplicationFactory engine{registry.path()};
};

TEST_P(RealEngine, EveryPageBecomesAPictureAndTheFileIsUntouched) {
    const int pages = GetParam();
    const QString path = documentOfPages(engine, pages, temp.filePath(QStringLiteral("doc.doc")));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    auto form = newPreview();
    RenderPages(
        engine, path, [&]() -> Form2& { return *form; }, [](int) {});
    EXPECT_EQ(control<QTreeWidget>(*form, "ListView1")->topLevelItemCount(), pages);
    EXPECT_EQ(control<QTreeWidget>(*form, "ListView1")->topLevelItem(pages - 1)->text(0),
              QStringLiteral("Page %1").arg(pages));
    EXPECT_EQ(int(form->pagePictures().size()), pages);
    EXPECT_EQ(form->totalImages(), pages - 1);
    for (const QPicture& picture : form->pagePictures())
        EXPECT_FALSE(picture.boundingRect().isEmpty());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
    EXPECT_FALSE(QFile::exists(temporaryPicturePath()));
}

INSTANTIATE_TEST_SUITE_P(Pages, RealEngine, ::testing::Values(1, 3, 20));

TEST_F(TempFolder, ADamagedDocumentIsReportedAtLine440AndThePreviewStillOpens) {
    QTemporaryDir registry;
    wordengine::EngineApplicationFactory engine(registry.path());
    const Form1::Services services = blankEntryServices();
    Form1 entry(services);
    PreviewHandOff handOff(engine, entry, [] {});
    const QString path = temp.filePath(QStringLiteral("wendlo11111111.doc"));
    QFile garbage(path);
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write("PK\x03\x04 truncated");
    garbage.close();
    Trap trap(Procedure::MotorVehicleBill_GenerateMotorVehicle);
    handOff.handOff()(trap, path);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(
        dialogs.messages[0].text.contains(QStringLiteral("GenerateMotorVehicle at line 440")));
    EXPECT_TRUE(handOff.previewLoaded());
    EXPECT_TRUE(handOff.preview().isVisible());
    EXPECT_EQ(handOff.preview().wordFile(), path);
    EXPECT_FALSE(entry.isVisible());
    EXPECT_FALSE(QFile::exists(temporaryPicturePath()));
}

// From the entry window's button to the preview, back, and a second generation.
TEST_F(TempFolder, EndToEndFromTheEntryWindowToThePreviewAndBack) {
    QTemporaryDir registry;
    wordengine::EngineApplicationFactory engine(registry.path());
    const Form1::Services services = blankEntryServices();
    SettingsStore store(temp.filePath(QStringLiteral("config")));
    Program program(engine, services, Form2::storeServices(store));
    ASSERT_TRUE(program.start());
    Form1& entry = program.entry();
    PreviewHandOff& handOff = program.preview();
    entry.show();
    clickButton(entry, "PushButton3"); // the sample
    clickButton(entry, "PushButton1");
    ASSERT_TRUE(dialogs.messages.empty()) << dialogs.messages[0].text.toStdString();
    Form2& form = handOff.preview();
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(entry.isVisible());
    EXPECT_EQ(control<QTreeWidget>(form, "ListView1")->topLevelItemCount(), 1);
    EXPECT_TRUE(QFile::exists(form.wordFile()));
    activate(form);
    EXPECT_GT(control<PictureBox>(form, "Picture1")->Width(), 5000);
    // A screen reader hears a window, and can read the bill before it is saved: its lines
    // from the top, the vehicle's table cell by cell, row by row.
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&form);
    EXPECT_EQ(window->role(), QAccessible::Window);
    // The window's own buttons, in the order a screen reader lists them (on a screen too small
    // for the window they sit in its scroll area).
    QStringList buttons;
    for (QAccessibleInterface* node : accessibleTree(window)) {
        const QString name = node->text(QAccessible::Name);
        if (node->role() == QAccessible::Button && !name.startsWith(QLatin1String("Zoom")))
            buttons << name;
    }
    EXPECT_EQ(buttons.join(QLatin1Char('|')).toStdString(), "Back|Save Results To Word File");
    EXPECT_EQ(readPage(form).mid(0, 12).join(QLatin1Char('\n')).toStdString(),
              R"(Motor Vehicle Bill of Sale
BE IT KNOWN, that for payment in the sum of $  $2900.00  , the full receipt of which is
acknowledged, the undersigned   Tobin Harl  (Seller) hereby sells and transfers to
Orwen Palk  (Buyer), the following described motor vehicle (Vehicle):
Make: Ford
Model or series:  Thunderbird
Year: 1969
Color: Blue
VIN #: 1G1FP22PXS2100001
Style:
Odometer reading: 55,000
Title #:)");
    const QString first = form.wordFile();

    // Save: equal to the temporary document byte for byte.
    const QString saved = temp.filePath(QStringLiteral("saved.doc"));
    dialogs.fileNames = {saved};
    clickButton(form, "PushButton6");
    EXPECT_EQ(dialogs.saveRequests.back().fileName,
              QStringLiteral("Bill of Sale - Orwen Palk - 1969 Ford Thunderbird.doc"));
    QFile a(first), b(saved);
    ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    EXPECT_EQ(a.readAll(), b.readAll());

    clickButton(form, "PushButton8");
    EXPECT_TRUE(entry.isVisible());
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(entry.text(QStringLiteral("txtMake")), QStringLiteral("Ford"));
    EXPECT_FALSE(QFile::exists(first));

    control<TextBox>(entry, "txtNameOfBuyer")->setText(QString(20000, QLatin1Char('x')));
    clickButton(entry, "PushButton1");
    EXPECT_GT(control<QTreeWidget>(form, "ListView1")->topLevelItemCount(), 1);
    EXPECT_EQ(int(form.pagePictures().size()),
              control<QTreeWidget>(form, "ListView1")->topLevelItemCount());
    EXPECT_NE(form.wordFile(), first);
    EXPECT_TRUE(form.preparesOnActivation());
    // The text read is that of the page chosen: page 2 holds the long name alone.
    activate(form);
    auto* list = control<QTreeWidget>(form, "ListView1");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->topLevelItem(1)).center());
    const QStringList second = readPage(form);
    EXPECT_GT(second.size(), 20);
    for (const QString& line : second)
        EXPECT_EQ(line, QString(line.size(), QLatin1Char('x')));
}

} // namespace
