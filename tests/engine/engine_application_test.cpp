// The application and document objects: which document is active, what Close and Quit do,
// and the failures every member can give.
#include "Engine.h"
#include "EngineDocument.h"
#include "ModelPrinting.h"

#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

using Action = std::function<void()>;

// The description of the failure an action gives, or "no failure".
QString failure(const Action& action) {
    try {
        action();
    } catch (const word::Error& e) {
        return e.description();
    }
    return QStringLiteral("no failure");
}

wordengine::EngineDocument& engine(const std::shared_ptr<word::Document>& document) {
    return dynamic_cast<wordengine::EngineDocument&>(*document);
}

QString bodyText(const std::shared_ptr<word::Document>& document) {
    QStringList texts;
    for (const auto& block : engine(document).model().body)
        if (const auto* p = std::get_if<wordengine::Paragraph>(&block))
            texts << p->text();
    return texts.join(u'/');
}

const QString disconnected = "The object invoked has disconnected from its clients.";
const QString closed = "This command is not available because the document is closed.";
const QString noDocument = "This command is not available because no document is open.";

class EngineApplicationTest : public ::testing::Test {
protected:
    QTemporaryDir folder;
    wordengine::EngineApplicationFactory factory{folder.path()};
    std::shared_ptr<word::Application> app = factory.CreateNew();

    QString file(const QString& name) const { return folder.filePath(name); }
};

} // namespace

TEST_F(EngineApplicationTest, NameUnitsAndActiveDocument) {
    EXPECT_EQ(app->Name(), "Microsoft Word");
    for (const auto& [inches, points] : {std::pair{1.0, 72.0}, {1.25, 90.0}, {0.3, 21.6}, {0, 0}})
        EXPECT_DOUBLE_EQ(app->InchesToPoints(inches), points);
    EXPECT_EQ(failure([&] { app->ActiveDocument(); }), noDocument);
    EXPECT_EQ(failure([&] { app->Selection(); }), noDocument);

    auto first = app->Documents().Add();
    EXPECT_EQ(app->ActiveDocument(), first);
    auto second = app->Documents().Add();
    EXPECT_EQ(app->ActiveDocument(), second);
    EXPECT_EQ(&app->Selection(), &second->ActiveWindow().Selection());

    second->Close(word::wd::DoNotSaveChanges);
    EXPECT_EQ(app->ActiveDocument(), first) << "the one before becomes active again";
    first->SaveAs(file("a.docx"));
    first->Close();
    auto reopened = app->Documents().Open(file("a.docx"));
    EXPECT_EQ(app->ActiveDocument(), reopened);
    EXPECT_EQ(app->Documents().Open(file("a.docx")), reopened) << "an open file is reached again";
}

TEST_F(EngineApplicationTest, CloseKeepsOrDiscardsChanges) {
    auto document = app->Documents().Add();
    document->ActiveWindow().Selection().TypeText("kept");
    document->SaveAs(file("d.docx"));
    const QString path = file("d.docx");

    struct Case {
        const char* what;
        std::function<void(word::Document&)> close;
        QString textAfter;
    };
    const Case cases[] = {
        {"Close(0) discards", [](word::Document& d) { d.Close(word::wd::DoNotSaveChanges); },
         "kept"},
        {"Close() without alerts does not save",
         [&](word::Document& d) {
             app->SetDisplayAlerts(false);
             d.Close();
         },
         "kept"},
        {"Close() never prompts, alerts or not", [](word::Document& d) { d.Close(); }, "kept"},
        {"Close(-1) saves", [](word::Document& d) { d.Close(-1); }, "kept more"},
    };
    for (const Case& c : cases) {
        auto open = app->Documents().Open(path);
        open->ActiveWindow().Selection().EndKey(word::wd::Story, word::wd::Move);
        open->ActiveWindow().Selection().TypeText(" more");
        c.close(*open);
        auto check = app->Documents().Open(path);
        EXPECT_EQ(bodyText(check), c.textAfter) << c.what;
        check->Close(word::wd::DoNotSaveChanges);
    }
}

TEST_F(EngineApplicationTest, EveryMemberFailsAfterQuit) {
    auto document = app->Documents().Add();
    word::Selection& selection = document->ActiveWindow().Selection();
    word::PageSetup& setup = document->PageSetup();
    auto range = document->Range();
    auto table = document->Tables().Add(*selection.Range(), 1, 1, 1, 0);
    app->Quit();

    const std::pair<const char*, Action> members[] = {
        {"Name", [&] { app->Name(); }},
        {"Documents", [&] { app->Documents(); }},
        {"ActiveDocument", [&] { app->ActiveDocument(); }},
        {"InchesToPoints", [&] { app->InchesToPoints(1); }},
        {"DisplayAlerts", [&] { app->SetDisplayAlerts(false); }},
        {"Quit", [&] { app->Quit(); }},
        {"Selection", [&] { app->Selection(); }},
        {"document PageSetup", [&] { document->PageSetup(); }},
        {"document Repaginate", [&] { document->Repaginate(); }},
        {"document SaveAs", [&] { document->SaveAs(file("q.docx")); }},
        {"document Close", [&] { document->Close(); }},
        {"document property", [&] { document->BuiltInDocumentProperties(14); }},
        {"held selection", [&] { selection.TypeText("x"); }},
        {"held font", [&] { selection.Font().SetBold(true); }},
        {"held page setup", [&] { setup.SetGutter(0); }},
        {"held range", [&] { range->CopyAsPicture(); }},
        {"held table", [&] { table->SetStyle("Table Grid"); }},
    };
    for (const auto& [what, member] : members)
        EXPECT_EQ(failure(member), disconnected) << what;
    EXPECT_FALSE(QFile::exists(file("q.docx")));
}

TEST_F(EngineApplicationTest, AClosedDocumentFailsEveryMember) {
    auto document = app->Documents().Add();
    auto other = app->Documents().Add();
    word::Selection& selection = document->ActiveWindow().Selection();
    word::Font& font = selection.Font();
    document->Close(word::wd::DoNotSaveChanges);

    const std::pair<const char*, Action> members[] = {
        {"Close", [&] { document->Close(); }},
        {"Close(0)", [&] { document->Close(0); }},
        {"ActiveWindow", [&] { document->ActiveWindow(); }},
        {"Tables", [&] { document->Tables(); }},
        {"Range", [&] { document->Range(); }},
        {"Repaginate", [&] { document->Repaginate(); }},
        {"SaveAs", [&] { document->SaveAs(file("c.docx")); }},
        {"held selection", [&] { selection.MoveRight(1, 1); }},
        {"held font", [&] { font.Name(); }},
    };
    for (const auto& [what, member] : members)
        EXPECT_EQ(failure(member), closed) << what;
    EXPECT_EQ(app->ActiveDocument(), other) << "the application goes on";
    EXPECT_NO_THROW(other->ActiveWindow().Selection().TypeText("fine"));
}

TEST_F(EngineApplicationTest, UnknownEnumeratedValuesFailAndChangeNothing) {
    auto document = app->Documents().Add();
    word::Selection& s = document->ActiveWindow().Selection();
    s.TypeText("ab");
    auto table = document->Tables().Add(*s.Range(), 2, 2, 1, 0);
    const wordengine::Document before = engine(document).model();

    const std::pair<const char*, Action> members[] = {
        {"MoveRight by words", [&] { s.MoveRight(2, 1); }},
        {"MoveRight backwards", [&] { s.MoveRight(1, -1); }},
        {"HomeKey by line", [&] { s.HomeKey(5, 1); }},
        {"HomeKey extend 2", [&] { s.HomeKey(6, 2); }},
        {"EndKey by character", [&] { s.EndKey(1, 1); }},
        {"GoTo a line", [&] { s.GoTo(3, 2, 2); }},
        {"GoTo direction 7", [&] { s.GoTo(1, 7, 2); }},
        {"Delete by words", [&] { s.Delete(2, 1); }},
        {"Delete nothing", [&] { s.Delete(1, 0); }},
        {"double underline", [&] { s.Font().SetUnderline(3); }},
        {"font size 0", [&] { s.Font().SetSize(0); }},
        {"font size 2000", [&] { s.Font().SetSize(2000); }},
        {"no font name", [&] { s.Font().SetName(""); }},
        {"distributed alignment", [&] { s.ParagraphFormat().SetAlignment(4); }},
        {"negative alignment", [&] { s.ParagraphFormat().SetAlignment(-1); }},
        {"cell alignment 2", [&] { s.Cells().SetVerticalAlignment(2); }},
        {"orientation 2", [&] { document->PageSetup().SetOrientation(2); }},
        {"section start 5", [&] { document->PageSetup().SetSectionStart(5); }},
        {"gutter position 3", [&] { document->PageSetup().SetGutterPos(3); }},
        {"vertical alignment 4", [&] { document->PageSetup().SetVerticalAlignment(4); }},
        {"negative left margin", [&] { document->PageSetup().SetLeftMargin(-1); }},
        {"margins wider than the page", [&] { document->PageSetup().SetLeftMargin(600); }},
        {"page 30 inches high", [&] { document->PageSetup().SetPageHeight(2160); }},
        {"no rows", [&] { document->Tables().Add(*s.Range(), 0, 2, 1, 0); }},
        {"64 columns", [&] { document->Tables().Add(*s.Range(), 1, 64, 1, 0); }},
        {"table behaviour 2", [&] { document->Tables().Add(*s.Range(), 1, 1, 2, 0); }},
        {"autofit 3", [&] { document->Tables().Add(*s.Range(), 1, 1, 1, 3); }},
        {"nested table", [&] { document->Tables().Add(*s.Range(), 1, 1, 1, 0); }},
        {"row height rule 3", [&] { table->Rows().SetHeightRule(3); }},
        {"negative row height", [&] { table->Rows().SetHeight(-1); }},
        {"unknown table style", [&] { table->SetStyle("Fancy Grid"); }},
        {"property 15", [&] { document->BuiltInDocumentProperties(15); }},
        {"Close(5)", [&] { document->Close(5); }},
        {"text past the most a document may hold",
         [&] { s.TypeText(QString(wordengine::limits::kMaxDocumentCharacters - 1, u'x')); }},
    };
    for (const auto& [what, member] : members) {
        const QString description = failure(member);
        EXPECT_NE(description, "no failure") << what;
        EXPECT_TRUE(description.endsWith(u'.')) << what << ": " << description.toStdString();
    }
    EXPECT_EQ(engine(document).model(), before);
    // Up to the bound, paragraph breaks not counted, the text is taken.
    EXPECT_NO_THROW(
        s.TypeText(QString(wordengine::limits::kMaxDocumentCharacters - 2, u'x') + "\r\n"));
    EXPECT_EQ(failure([&] { s.MoveRight(2, 1); }), "Value out of range.");
    EXPECT_EQ(failure([&] { document->BuiltInDocumentProperties(1); }),
              "The requested member of the collection does not exist.");
}

// Each number Word gives these members becomes the model's value of that name, and reads
// back as the same number: the interface is the only place the two meet.
TEST_F(EngineApplicationTest, WordsNumbersBecomeTheModelsNamedValues) {
    using namespace wordengine;
    auto document = app->Documents().Add();
    word::Selection& s = document->ActiveWindow().Selection();
    const std::pair<int, ParagraphAlignment> alignments[] = {
        {word::wd::AlignParagraphLeft, ParagraphAlignment::Left},
        {word::wd::AlignParagraphCenter, ParagraphAlignment::Center},
        {word::wd::AlignParagraphRight, ParagraphAlignment::Right},
        {word::wd::AlignParagraphJustify, ParagraphAlignment::Justify}};
    for (const auto& [number, value] : alignments) {
        s.ParagraphFormat().SetAlignment(number);
        EXPECT_EQ(std::get<Paragraph>(engine(document).model().body.at(0)).alignment, value);
        EXPECT_EQ(s.ParagraphFormat().Alignment(), number);
    }

    const std::pair<int, Underline> underlines[] = {{word::wd::UnderlineSingle, Underline::Single},
                                                    {word::wd::UnderlineNone, Underline::None}};
    for (const auto& [number, value] : underlines) {
        s.Font().SetUnderline(number);
        EXPECT_EQ(s.Font().Underline(), number);
        s.TypeText("x");
        const Paragraph& typed = std::get<Paragraph>(engine(document).model().body.at(0));
        ASSERT_FALSE(typed.runs.empty());
        EXPECT_EQ(typed.runs.back().format.underline, value);
    }

    s.TypeParagraph();
    auto table = document->Tables().Add(*s.Range(), 1, 1, word::wd::Word9TableBehavior,
                                        word::wd::AutoFitFixed);
    const auto tableOf = [&] { return std::get<Table>(engine(document).model().body.at(1)); };
    const std::pair<int, CellVerticalAlignment> cellAlignments[] = {
        {word::wd::CellAlignVerticalCenter, CellVerticalAlignment::Center},
        {word::wd::CellAlignVerticalBottom, CellVerticalAlignment::Bottom},
        {word::wd::CellAlignVerticalTop, CellVerticalAlignment::Top}};
    for (const auto& [number, value] : cellAlignments) {
        s.Cells().SetVerticalAlignment(number);
        EXPECT_EQ(tableOf().rows.at(0).cells.at(0).verticalAlignment, value) << number;
    }
    const std::pair<int, RowHeightRule> rules[] = {
        {word::wd::RowHeightExactly, RowHeightRule::Exactly},
        {word::wd::RowHeightAtLeast, RowHeightRule::AtLeast},
        {word::wd::RowHeightAuto, RowHeightRule::Auto}};
    for (const auto& [number, value] : rules) {
        table->Rows().SetHeightRule(number);
        EXPECT_EQ(tableOf().format.heightRule, value) << number;
    }

    // Word numbers the gutter's places left, top, right.
    word::PageSetup& page = document->PageSetup();
    const auto setup = [&] { return engine(document).model().pageSetup; };
    page.SetGutterPos(word::wd::GutterPosTop);
    EXPECT_EQ(setup().gutterPos, GutterPosition::Top);
    page.SetGutterPos(2);
    EXPECT_EQ(setup().gutterPos, GutterPosition::Right);
    page.SetOrientation(word::wd::OrientLandscape);
    EXPECT_EQ(setup().orientation, PageOrientation::Landscape);
    page.SetSectionStart(0);
    EXPECT_EQ(setup().sectionStart, SectionStart::Continuous);
    page.SetVerticalAlignment(3);
    EXPECT_EQ(setup().verticalAlignment, PageVerticalAlignment::Bottom);
}

TEST_F(EngineApplicationTest, FilesThatCannotBeOpenedOrWritten) {
    const QString missing = file("nowhere/missing.doc");
    EXPECT_EQ(failure([&] { app->Documents().Open(missing); }),
              "The file could not be found: " + missing);
    EXPECT_NE(failure([&] { app->Documents().Open(folder.path()); }), "no failure") << "a folder";

    QFile junk(file("junk.doc"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("this is not a package");
    junk.close();
    EXPECT_NE(failure([&] { app->Documents().Open(junk.fileName()); }), "no failure");
    EXPECT_EQ(failure([&] { app->ActiveDocument(); }), noDocument) << "nothing was opened";

    auto document = app->Documents().Add();
    // A folder inside a regular file can never be written to, whoever runs the test.
    EXPECT_NE(failure([&] { document->SaveAs(junk.fileName() + "/out.doc"); }), "no failure");
    EXPECT_NO_THROW(document->SaveAs(file("out.doc")));
    EXPECT_TRUE(QFile::exists(file("out.doc")));
}
