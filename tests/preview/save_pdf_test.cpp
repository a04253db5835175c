// "Save as PDF" from the preview: the second type of the save dialog. The PDF is the one
// vantorel-bill --pdf draws; the overwrite question, "Done." and the failure reports are those
// of the Word copy.
#include "AtomicFile.h"
#include "BillOfSaleModel.h"
#include "EngineApplicationFactory.h"
#include "EntryServices.h"
#include "FaultSweep.h"
#include "FindControl.h"
#include "Form1.h"
#include "Form2.h"
#include "Package.h"
#include "PreviewHandOff.h"
#include "Program.h"
#include "SaleFields.h"
#include "ScopedTemp.h"
#include "ScriptedDialogs.h"
#include "SmallDisk.h"
#include "TestFiles.h"
#include "TextBox.h"
#include "WindowEvents.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

const QString wordType = QStringLiteral("Word Files (*.doc)");
const QString pdfType = QStringLiteral("PDF Files (*.pdf)");
const QString reportAt130 =
    QStringLiteral("in Qelvard2021/08/31.Form2.PushButton6_Click at line 130");

QString reportWhere(const QString& report) {
    return report.section(QStringLiteral("\r\n"), 1).section(QLatin1Char('\r'), 0, 0);
}

bool popplerPresent() {
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("pdffonts")).isEmpty();
}

QString output(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(-1);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// A field of pdfinfo's report, e.g. "Title".
QString pdfInfo(const QString& pdf, const QString& field) {
    const QRegularExpression line(QStringLiteral("^%1:\\s*(.*)$").arg(field),
                                  QRegularExpression::MultilineOption);
    return line.match(output(QStringLiteral("pdfinfo"), {pdf})).captured(1).trimmed();
}

// The "emb" column of pdffonts, one entry a font.
QStringList fontsEmbedded(const QString& pdf) {
    QStringList rows = output(QStringLiteral("pdffonts"), {pdf}).split(u'\n', Qt::SkipEmptyParts);
    QStringList embedded;
    for (const QString& row : rows.mid(2)) {
        // name, type (one or two words), encoding, emb, sub, uni, object number, generation
        const QStringList cells = row.simplified().split(u' ');
        if (cells.size() >= 7)
            embedded << cells[cells.size() - 5];
    }
    return embedded;
}

struct Word {
    QString text;
    double box[4]; // xMin, yMin, xMax, yMax in points
};
using Pages = std::vector<std::vector<Word>>;

Pages wordsOf(const QString& pdf) {
    const QString html = pdf + QStringLiteral(".html");
    QProcess::execute(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, html});
    static const QRegularExpression word(QStringLiteral(
        R"re(<word xMin="([-0-9.]+)" yMin="([-0-9.]+)" xMax="([-0-9.]+)" yMax="([-0-9.]+)">(.*)</word>)re"));
    Pages pages;
    for (const QString& row : QString::fromUtf8(contents(html)).split(u'\n')) {
        if (row.contains(QLatin1String("<page ")))
            pages.emplace_back();
        const auto m = word.match(row);
        if (m.hasMatch() && !pages.empty())
            pages.back().push_back({m.captured(5),
                                    {m.captured(1).toDouble(), m.captured(2).toDouble(),
                                     m.captured(3).toDouble(), m.captured(4).toDouble()}});
    }
    return pages;
}

// Same page count, and on every page the same words in the same order at the same places.
void expectSameWords(const QString& ours, const QString& reference) {
    const Pages a = wordsOf(ours), b = wordsOf(reference);
    ASSERT_FALSE(b.empty());
    ASSERT_EQ(a.size(), b.size()) << "pages";
    for (std::size_t page = 0; page < a.size(); ++page) {
        ASSERT_EQ(a[page].size(), b[page].size()) << "words on page " << page + 1;
        for (std::size_t i = 0; i < a[page].size(); ++i) {
            const Word &x = a[page][i], &y = b[page][i];
            ASSERT_EQ(x.text, y.text) << "page " << page + 1 << " word " << i;
            for (int edge = 0; edge < 4; ++edge)
                EXPECT_NEAR(x.box[edge], y.box[edge], 0.5)
                    << "page " << page + 1 << " word " << i << " " << x.text.toStdString();
        }
    }
}

bool isPdf(const QString& path) {
    return contents(path).startsWith("%PDF-");
}

// The program's windows on the real engine: the entry window's sale, "Start Creating
// Template", and the preview of it.
TEST(SaveAsPdf, DrawsWhatVantorelBillDrawsWithTitleAuthorAndEmbeddedFonts) {
    if (!popplerPresent())
        GTEST_SKIP() << "pdftotext, pdfinfo or pdffonts missing (poppler-utils)";
    ScopedTemp temp;
    QTemporaryDir registry, out;
    ASSERT_TRUE(temp.isValid() && registry.isValid() && out.isValid());
    ScriptedDialogs dialogs;
    wordengine::EngineApplicationFactory engine(registry.path());
    const Form1::Services services = blankEntryServices();
    Program program(engine, services);
    ASSERT_TRUE(program.start());
    Form1& entry = program.entry();
    entry.show();
    clickButton(entry, "PushButton3"); // the sample
    // Long enough for three pages, with characters outside Latin-1.
    QString seller = QStringLiteral("Zoë Łukasz Ørsted ");
    for (int i = 0; i < 2 * 8 * 51; ++i)
        seller += QStringLiteral("Tobin Harl ");
    control<TextBox>(entry, "txtNameOfSeller")->setText(seller);
    QJsonObject record;
    for (const SaleField& field : saleFields())
        record.insert(field.keyName(), entry.text(field.boxName()));
    clickButton(entry, "PushButton1");
    ASSERT_TRUE(dialogs.messages.empty()) << dialogs.messages[0].text.toStdString();
    Form2& form = program.preview().preview();
    ASSERT_TRUE(form.isVisible());

    // Typed without the extension, the PDF type chosen.
    dialogs.fileNames = {
        ScriptedDialogs::SaveChoice(out.filePath(QStringLiteral("ours")), pdfType)};
    QTest::mouseClick(control<QPushButton>(form, "PushButton6"), Qt::LeftButton);
    EXPECT_EQ(dialogs.texts(), std::vector<QString>{QStringLiteral("Done.")});
    const QString ours = out.filePath(QStringLiteral("ours.pdf"));
    ASSERT_TRUE(isPdf(ours));
    EXPECT_TRUE(QFile::exists(form.wordFile())); // can be saved again

    const QString json = out.filePath(QStringLiteral("sale.json"));
    {
        QFile f(json);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QJsonDocument(record).toJson());
    }
    const QString reference = out.filePath(QStringLiteral("reference.pdf"));
    ASSERT_EQ(
        QProcess::execute(QStringLiteral(VANTOREL_BILL_PATH),
                          {json, QStringLiteral("--doc"), out.filePath(QStringLiteral("r.doc")),
                           QStringLiteral("--pdf"), reference}),
        0);
    expectSameWords(ours, reference);
    EXPECT_EQ(wordsOf(ours).size(), 3u);

    for (const QString& pdf : {ours, reference}) {
        EXPECT_EQ(pdfInfo(pdf, QStringLiteral("Title")),
                  QStringLiteral("Motor Vehicle Bill of Sale"));
        EXPECT_EQ(pdfInfo(pdf, QStringLiteral("Author")), QStringLiteral("Vantorel"));
        EXPECT_EQ(pdfInfo(pdf, QStringLiteral("Creator")), QStringLiteral("Vantorel"));
        const QStringList embedded = fontsEmbedded(pdf);
        EXPECT_FALSE(embedded.isEmpty());
        EXPECT_EQ(embedded.count(QStringLiteral("yes")), embedded.size())
            << embedded.join(u' ').toStdString();
    }
}

// A preview whose temporary document is a real bill of sale, saved through its button.
class PdfSave : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        form = std::make_unique<Form2>(Form2::Services{[] {}, [] {}});
        form->Form_Load();
        form->setWordFile(dir.filePath(QStringLiteral("wendlo12345678.doc")));
        wordengine::savePackage(billofsale::buildDocument(billofsale::sampleRecord()), 1,
                                form->wordFile());
        document = contents(form->wordFile());
        form->show();
    }
    void TearDown() override {
        EXPECT_EQ(contents(form->wordFile()), document) << "the temporary document changed";
    }
    void save(std::optional<ScriptedDialogs::SaveChoice> choice, std::deque<Answer> answers = {}) {
        dialogs.messages.clear();
        dialogs.fileNames = {std::move(choice)};
        dialogs.answers = std::move(answers);
        QTest::mouseClick(control<QPushButton>(*form, "PushButton6"), Qt::LeftButton);
    }
    QString put(const QString& name, const QByteArray& bytes) {
        return putFile(dir.filePath(name), bytes);
    }
    QStringList texts() const {
        QStringList out;
        for (const MessageRequest& m : dialogs.messages)
            out << m.text;
        return out;
    }
    // A failed write: the report at the copy's line, then "Done.".
    void expectReportThenDone(const QString& what) {
        const QStringList shown = texts();
        ASSERT_EQ(shown.size(), 2) << what.toStdString() << ": " << shown.join(u'|').toStdString();
        EXPECT_EQ(reportWhere(shown[0]), reportAt130) << what.toStdString();
        EXPECT_EQ(shown[1], QStringLiteral("Done.")) << what.toStdString();
    }
    QStringList filesLeft() const {
        return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
    }

    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    std::unique_ptr<Form2> form;
    QByteArray document;
};

// Both cancelled: nothing written, "Done." each time.
TEST_F(PdfSave, TheDialogOffersWordThenPdfAndSaveAsPdfOpensWithPdf) {
    ASSERT_TRUE(becomeActive(*form));
    clickButton(*form, "PushButton6"); // cancelled
    // The page menu's "Save as PDF…", by its key; cancelled.
    QTest::keyClick(form.get(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_EQ(dialogs.saveRequests.size(), 2u);
    for (const SaveFileRequest& request : dialogs.saveRequests)
        EXPECT_EQ(request.filters, (QStringList{wordType, pdfType}));
    EXPECT_EQ(dialogs.saveRequests[0].title, QStringLiteral("Save Results To Word File"));
    EXPECT_EQ(dialogs.saveRequests[1].title, QStringLiteral("Save as PDF"));
    EXPECT_EQ(dialogs.saveRequests[0].selectedFilter, wordType);
    EXPECT_EQ(dialogs.saveRequests[1].selectedFilter, pdfType);
    EXPECT_EQ(texts(), (QStringList{QStringLiteral("Done."), QStringLiteral("Done.")}));
    EXPECT_EQ(filesLeft(), QStringList{QStringLiteral("wendlo12345678.doc")});
}

struct NameCase {
    const char* name;
    const char* typed;    // the name the dialog returns
    bool pdfType;         // the type chosen
    const char* existing; // a file already there under the saved name; nullptr: none
    std::optional<Answer> answer;
    const char* saved; // the name written to, or left
    bool asksFirst;
    bool writesPdf; // a PDF at `saved` afterwards (else: what was there, or the copy)
};

// Test output names the case rather than dumping its bytes.
void PrintTo(const NameCase& c, std::ostream* os) {
    *os << c.name;
}

class PdfNames : public PdfSave, public ::testing::WithParamInterface<NameCase> {};

TEST_P(PdfNames, TheTypeChosenDecidesWhatIsWrittenAndWhere) {
    const NameCase& c = GetParam();
    if (c.existing)
        put(QString::fromLatin1(c.saved), c.existing);
    const QString saved = dir.filePath(QString::fromLatin1(c.saved));
    std::deque<Answer> answers;
    if (c.answer)
        answers.push_back(*c.answer);
    save(ScriptedDialogs::SaveChoice(dir.filePath(QString::fromLatin1(c.typed)),
                                     c.pdfType ? pdfType : wordType),
         answers);
    QStringList expected;
    if (c.asksFirst)
        expected << QStringLiteral("Are you sure you wish to overwrite %1 ?").arg(saved);
    expected << QStringLiteral("Done.");
    EXPECT_EQ(texts(), expected);
    if (c.writesPdf) {
        EXPECT_TRUE(isPdf(saved));
    } else {
        EXPECT_EQ(contents(saved), c.existing ? QByteArray(c.existing) : document);
    }
    // Nothing else appeared: no half file, no second name.
    EXPECT_EQ(filesLeft().size(), 2);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PdfNames,
    ::testing::Values(
        NameCase{"NoExtensionGetsPdf", "deal", true, nullptr, {}, "deal.pdf", false, true},
        NameCase{"PdfExtensionIsKept", "deal.pdf", true, nullptr, {}, "deal.pdf", false, true},
        NameCase{
            "UpperCaseExtensionIsKept", "deal.PDF", true, nullptr, {}, "deal.PDF", false, true},
        // A PDF never takes a Word file's name.
        NameCase{"WordExtensionWithPdfTypeGetsPdfAdded",
                 "deal.doc",
                 true,
                 nullptr,
                 {},
                 "deal.doc.pdf",
                 false,
                 true},
        NameCase{"ExistingAnswerNoKeepsIt", "deal.pdf", true, "older", Answer::No, "deal.pdf", true,
                 false},
        NameCase{"ExistingAnswerYesReplacesIt", "deal.pdf", true, "older", Answer::Yes, "deal.pdf",
                 true, true},
        NameCase{"ExistingAfterTheExtensionIsAddedIsAskedAbout", "deal", true, "older", Answer::Yes,
                 "deal.pdf", true, true},
        // The Word type copies the document, whatever the name says.
        NameCase{"WordTypeCopiesTheDocumentUnderTheNameGiven",
                 "deal.pdf",
                 false,
                 nullptr,
                 {},
                 "deal.pdf",
                 false,
                 false}),
    [](const auto& p) { return std::string(p.param.name); });

// The temporary document under the PDF's name, by its own path or by another name for the same
// file: refused with a message, then "Done." as after a cancel.
TEST_F(PdfSave, TheTemporaryDocumentItselfIsRefused) {
    const QString asPdf = dir.filePath(QStringLiteral("wendlo12345678.pdf"));
    ASSERT_TRUE(QFile::copy(form->wordFile(), asPdf));
    const QString hard = dir.filePath(QStringLiteral("hard.pdf"));
    const QString soft = dir.filePath(QStringLiteral("soft.pdf"));
    ASSERT_EQ(::link(QFile::encodeName(asPdf).constData(), QFile::encodeName(hard).constData()), 0);
    ASSERT_TRUE(QFile::link(asPdf, soft));
    form->setWordFile(asPdf); // a temporary document whose name ends in .pdf
    for (const QString& target : {asPdf, dir.filePath(QStringLiteral("wendlo12345678")), hard, soft,
                                  dir.filePath(QStringLiteral("./sub/../wendlo12345678.pdf"))}) {
        save(ScriptedDialogs::SaveChoice(target, pdfType), {Answer::Yes});
        const QStringList shown = texts();
        ASSERT_EQ(shown.size(), 2) << target.toStdString();
        EXPECT_TRUE(shown[0].startsWith(QStringLiteral("The PDF cannot be saved as ")))
            << shown[0].toStdString();
        EXPECT_TRUE(shown[0].contains(QStringLiteral("document being previewed")));
        EXPECT_EQ(dialogs.messages[0].icon, Icon::Warning);
        EXPECT_EQ(shown[1], QStringLiteral("Done."));
        EXPECT_EQ(contents(asPdf), document);
    }
    EXPECT_TRUE(QFileInfo(soft).isSymLink());
}

TEST_F(PdfSave, AFolderOrAFolderThatCannotBeWrittenIsReportedLikeAFailedCopy) {
    const QString folder = dir.filePath(QStringLiteral("afolder.pdf"));
    ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("/inside")));
    for (const QString& target : {folder, QStringLiteral("/proc/self/bill.pdf"),
                                  dir.filePath(QStringLiteral("none/bill.pdf"))}) {
        save(ScriptedDialogs::SaveChoice(target, pdfType), {Answer::Yes});
        if (QFileInfo(target).isDir()) {
            // The question comes first: the name is taken.
            ASSERT_FALSE(dialogs.messages.empty());
            dialogs.messages.erase(dialogs.messages.begin());
        }
        expectReportThenDone(target);
    }
    EXPECT_TRUE(QFileInfo(folder + QStringLiteral("/inside")).isDir());
}

// A FIFO or a device at the chosen name, also behind a link, is refused for either type, after
// the question, and stays what it was.
TEST_F(PdfSave, AFifoOrADeviceIsRefusedAndLeftAsItWas) {
    QStringList nodes{dir.filePath(QStringLiteral("fifo.pdf"))};
    ASSERT_EQ(::mkfifo(QFile::encodeName(nodes[0]).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(nodes[0], dir.filePath(QStringLiteral("link.pdf"))));
    nodes << dir.filePath(QStringLiteral("link.pdf"));
    // As root: a device of /dev/null's numbers.
    const QString device = dir.filePath(QStringLiteral("null.pdf"));
    if (::mknod(QFile::encodeName(device).constData(), S_IFCHR | 0600, makedev(1, 3)) == 0)
        nodes << device;
    for (const QString& type : {wordType, pdfType})
        for (const QString& target : nodes) {
            save(ScriptedDialogs::SaveChoice(target, type), {Answer::Yes});
            ASSERT_FALSE(dialogs.messages.empty());
            dialogs.messages.erase(dialogs.messages.begin()); // the question
            expectReportThenDone(target);
            EXPECT_TRUE(texts().first().contains(QStringLiteral("not a plain file")));
            EXPECT_FALSE(QFileInfo(target).isFile()) << target.toStdString();
        }
    EXPECT_TRUE(QFileInfo(nodes[1]).isSymLink());
}

// A PDF that fails part-way leaves the file the user agreed to replace as it was and no file
// of its own behind: injected at each step of the write, and a real full disk.
TEST_F(PdfSave, AFailedWriteKeepsTheOldFile) {
    const QString target = put(QStringLiteral("bill.pdf"), "older");
    for (const files::Step step : {files::Step::Create, files::Step::Write, files::Step::Sync,
                                   files::Step::Close, files::Step::Publish}) {
        files::AtomicFile::setFaultHook(
            [step](files::Step now, const QString&) { return now == step ? ENOSPC : 0; });
        save(ScriptedDialogs::SaveChoice(target, pdfType), {Answer::Yes});
        files::AtomicFile::setFaultHook({});
        ASSERT_FALSE(dialogs.messages.empty());
        dialogs.messages.erase(dialogs.messages.begin()); // the question
        expectReportThenDone(QStringLiteral("step %1").arg(int(step)));
        EXPECT_EQ(contents(target), QByteArray("older")) << int(step);
        EXPECT_EQ(filesLeft().size(), 2);
    }

    SmallDisk disk(64 * 1024);
    if (!disk.available())
        GTEST_SKIP() << "mounting a small disk was refused";
    const QString onDisk = disk.filePath(QStringLiteral("bill.pdf"));
    {
        QFile f(onDisk);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("older");
    }
    disk.fill();
    save(ScriptedDialogs::SaveChoice(onDisk, pdfType), {Answer::Yes});
    ASSERT_FALSE(dialogs.messages.empty());
    dialogs.messages.erase(dialogs.messages.begin());
    expectReportThenDone(onDisk);
    EXPECT_EQ(contents(onDisk), QByteArray("older"));
    EXPECT_EQ(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden).size(), 2); // + filler
}

// Each numbered line of the PDF save failed alone: reported at that line, and the save goes
// on to "Done.".
TEST_F(PdfSave, EachLineFailsAloneAndTheSaveGoesOn) {
    FaultSweep sweep(QStringLiteral("in Qelvard2021/08/31.Form2.PushButton6_Click "));
    int saves = 0;
    const auto once = [&] {
        save(ScriptedDialogs::SaveChoice(dir.filePath(QStringLiteral("s%1.pdf").arg(++saves)),
                                         pdfType));
    };
    const std::vector<int> lines = FaultSweep::distinct(sweep.linesPassed(once));
    EXPECT_EQ(lines, (std::vector<int>{106, 108, 110, 112, 114, 116, 118, 126, 128, 130, 132}));
    EXPECT_TRUE(isPdf(dir.filePath(QStringLiteral("s1.pdf"))));
    for (int line : lines) {
        sweep.linesPassedFailingAt(line, once);
        const QStringList shown = texts();
        ASSERT_GE(shown.size(), 1) << line;
        EXPECT_EQ(
            reportWhere(shown[0]),
            QStringLiteral("in Qelvard2021/08/31.Form2.PushButton6_Click at line %1").arg(line));
        if (line != 132) {
            EXPECT_EQ(shown.last(), QStringLiteral("Done.")) << line;
        }
    }
}

// What the user names and saves follows the umask, as other programs' files do: the preview's
// Word and PDF saves, a print to a file, and vantorel-bill's files and the folders it makes.
TEST_F(PdfSave, WhatTheUserSavesFollowsTheUmask) {
    ASSERT_TRUE(becomeActive(*form));
    const QString record = put(QStringLiteral("sale.json"), R"({"Make": "Ford"})");
    const QString records = put(QStringLiteral("sales.jsonl"), R"({"file": "palk"})");
    const QStringList folders{"pages", "batch"};
    const QStringList files{"word.doc",       "saved.pdf",      "printed.pdf",
                            "bill.doc",       "bill.pdf",       "pages/page-1.png",
                            "batch/palk.doc", "batch/palk.pdf", "batch/palk-page-1.png"};
    for (const mode_t mask : {mode_t(022), mode_t(077)}) {
        const QString in = dir.filePath(QString::number(mask, 8)) + u'/';
        ASSERT_TRUE(QDir().mkdir(in));
        const mode_t before = ::umask(mask);
        save(ScriptedDialogs::SaveChoice(in + "word.doc"));
        save(ScriptedDialogs::SaveChoice(in + "saved.pdf", pdfType));
        dialogs.printAnswer = [&](QPrinter& printer) {
            printer.setOutputFileName(in + "printed.pdf");
            return true;
        };
        QTest::keyClick(form.get(), Qt::Key_P, Qt::ControlModifier);
        EXPECT_EQ(QProcess::execute(VANTOREL_BILL_PATH, {record, "--doc", in + "bill.doc", "--pdf",
                                                         in + "bill.pdf", "--png", in + "pages"}),
                  0);
        EXPECT_EQ(QProcess::execute(VANTOREL_BILL_PATH,
                                    {"--batch", records, "--out", in + "batch", "--pdf", "--png"}),
                  0);
        ::umask(before);
        for (const QString& name : folders + files) {
            struct stat status;
            ASSERT_EQ(::stat(QFile::encodeName(in + name).constData(), &status), 0)
                << name.toStdString();
            EXPECT_EQ(status.st_mode & 0777, (folders.contains(name) ? 0777 : 0666) & ~mask)
                << name.toStdString() << " under umask 0" << std::oct << mask;
        }
    }
}

// Permissions do not bind the superuser: these run as an ordinary user (ctest label
// "unprivileged") and skip under root.
class PdfUnwritable : public PdfSave {
protected:
    void SetUp() override {
        if (::geteuid() == 0)
            GTEST_SKIP() << "root writes any file";
        PdfSave::SetUp();
    }
    void TearDown() override {
        if (::geteuid() != 0)
            PdfSave::TearDown();
    }
};

// One rule for both types: a file the user may not write is refused after the question, even
// when "Yes" agreed to replace it, and left as it was.
TEST_F(PdfUnwritable, AReadOnlyFileOrFolderIsReportedAndLeftAsItWas) {
    const QString readOnly = put(QStringLiteral("theirs.pdf"), "theirs");
    ASSERT_TRUE(QFile::setPermissions(readOnly, QFile::ReadOwner));
    const QString folder = dir.filePath(QStringLiteral("locked"));
    ASSERT_TRUE(QDir().mkdir(folder));
    ASSERT_TRUE(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    for (const QString& type : {pdfType, wordType})
        for (const QString& target : {readOnly, folder + QStringLiteral("/bill.pdf")}) {
            save(ScriptedDialogs::SaveChoice(target, type), {Answer::Yes});
            if (QFileInfo::exists(target)) {
                ASSERT_FALSE(dialogs.messages.empty());
                dialogs.messages.erase(dialogs.messages.begin()); // the question
            }
            expectReportThenDone(target);
        }
    EXPECT_EQ(contents(readOnly), QByteArray("theirs"));
    EXPECT_TRUE(QDir(folder).isEmpty());
    EXPECT_EQ(filesLeft().size(), 2);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

} // namespace
