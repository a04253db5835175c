// Printing from the preview, through the real print path into Qt's PDF output: Ctrl+P, the
// print dialog answered as a user would, the engine drawing onto the QPrinter. The PDFs are
// read back with pdftotext -bbox and compared word for word with vantorel-bill --pdf of the
// same record.
#include "FindControl.h"
#include "Form2.h"
#include "PictureBox.h"
#include "ScopedTemp.h"
#include "ScriptedDialogs.h"
#include "TestFiles.h"
#include "WindowEvents.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

constexpr double kTolerance = 0.5; // points

struct Word {
    QString text;
    QRectF box; // points, from the page's top left corner
};
struct PdfPage {
    QSizeF size;
    std::vector<Word> words;
};

std::vector<PdfPage> readWords(const QString& pdf) {
    const QString html = pdf + QStringLiteral(".html");
    if (QProcess::execute(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, html}) != 0)
        return {};
    QFile file(html);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    static const QRegularExpression page(
        QStringLiteral(R"re(<page width="([0-9.]+)" height="([0-9.]+)">)re"));
    static const QRegularExpression word(QStringLiteral(
        R"re(<word xMin="([0-9.]+)" yMin="([0-9.]+)" xMax="([0-9.]+)" yMax="([0-9.]+)">(.*)</word>)re"));
    std::vector<PdfPage> pages;
    while (!file.atEnd()) {
        const QString row = QString::fromUtf8(file.readLine());
        if (const auto m = page.match(row); m.hasMatch())
            pages.push_back({QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()), {}});
        if (const auto m = word.match(row); m.hasMatch() && !pages.empty())
            pages.back().words.push_back(
                {m.captured(5),
                 QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                        QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()))});
    }
    return pages;
}

// The seller's name repeated until the opening paragraph runs over about `pages` pages.
QString sellerFor(int pages) {
    return QStringLiteral("Tobin Harl ").repeated(std::max(0, pages - 1) * 8 * 51) +
           QStringLiteral("Tobin Harl");
}

// vantorel-bill's document, and its PDF when `pdf` is given, of a sale with that seller.
bool makeBill(const QString& folder, const QString& name, const QString& seller, bool pdf) {
    QFile record(folder + QStringLiteral("/%1.json").arg(name));
    if (!record.open(QIODevice::WriteOnly))
        return false;
    record.write("{\"Amount Of Motor Vehicle\": \"$2900.00\", \"Name Of Buyer\": \"Orwen Palk\", "
                 "\"Make\": \"Ford\", \"Model\": \"Thunderbird\", \"Year\": \"1969\", "
                 "\"Name Of Seller\": \"" +
                 seller.toUtf8() + "\"}");
    record.close();
    QStringList arguments{record.fileName(), QStringLiteral("--doc"),
                          folder + QStringLiteral("/%1.doc").arg(name)};
    if (pdf)
        arguments << QStringLiteral("--pdf") << folder + QStringLiteral("/%1.pdf").arg(name);
    return QProcess::execute(QStringLiteral(VANTOREL_BILL_PATH), arguments) == 0;
}

class PreviewPrinting : public ::testing::Test {
protected:
    // Made once: vantorel-bill's three-page bill with its PDF, and a 200-page bill.
    static void SetUpTestSuite() {
        bills = new QTemporaryDir;
        made = bills->isValid() &&
               makeBill(bills->path(), QStringLiteral("three"), sellerFor(3), true) &&
               makeBill(bills->path(), QStringLiteral("long"), sellerFor(200), false);
    }
    static void TearDownTestSuite() {
        delete bills;
        bills = nullptr;
    }

    void SetUp() override {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            GTEST_SKIP() << "pdftotext (poppler-utils) missing";
        ASSERT_TRUE(made) << "vantorel-bill could not make the bills";
        form = std::make_unique<Form2>(Form2::Services{[] {}, [] {}});
        form->Form_Load();
        showDocument(QStringLiteral("three"));
    }

    // The bill as the hand-off leaves it: a temporary document of its own and a page shown.
    void showDocument(const QString& name) {
        const QString document = temp.filePath(name + QStringLiteral(".doc"));
        QFile::remove(document);
        ASSERT_TRUE(QFile::copy(bills->filePath(name + QStringLiteral(".doc")), document));
        QPicture page;
        {
            QPainter painter(&page);
            painter.fillRect(QRect(0, 0, 7000, 9000), Qt::white);
        }
        page.setBoundingRect(QRect(0, 0, 7002, 9002));
        form->showPages({page}, document);
        form->show();
        ASSERT_TRUE(becomeActive(*form));
    }

    // Ctrl+P, answered in the print dialog by PDF output to `out` and then `choose`.
    void printTo(const QString& out, const std::function<void(QPrinter&)>& choose = {},
                 bool accept = true) {
        dialogs.printAnswer = [=](QPrinter& printer) {
            printer.setOutputFileName(out);
            printer.setOutputFormat(QPrinter::PdfFormat);
            if (choose)
                choose(printer);
            return accept;
        };
        QTest::keyClick(form.get(), Qt::Key_P, Qt::ControlModifier);
    }

    // The preview still answers: Zoom Out and Zoom In zoom.
    void expectUsable() {
        const float before = form->zoom();
        QTest::mouseClick(control<QPushButton>(*form, "PushButton2"), Qt::LeftButton);
        EXPECT_FLOAT_EQ(form->zoom(), before - 0.25f);
        QTest::mouseClick(control<QPushButton>(*form, "PushButton1"), Qt::LeftButton);
        EXPECT_FLOAT_EQ(form->zoom(), before);
    }

    static QTemporaryDir* bills;
    static bool made;
    ScopedTemp temp;
    ScriptedDialogs dialogs;
    std::unique_ptr<Form2> form;
};

QTemporaryDir* PreviewPrinting::bills = nullptr;
bool PreviewPrinting::made = false;

TEST_F(PreviewPrinting, PrintsTheCommandsPdfWordForWordOnAnyPaperAndRange) {
    const std::vector<PdfPage> reference = readWords(bills->filePath(QStringLiteral("three.pdf")));
    ASSERT_EQ(reference.size(), 3u);
    const QSizeF letter(612, 792), a4(595.276, 841.89);
    struct Case {
        const char* what;
        std::function<void(QPrinter&)> choose;
        std::vector<int> pages; // of the reference, from 0
        QSizeF paper;
    };
    const Case cases[] = {
        {"every page", {}, {0, 1, 2}, letter},
        {"pages 2 to 3",
         [](QPrinter& p) {
             p.setPrintRange(QPrinter::PageRange);
             p.setFromTo(2, 3);
         },
         {1, 2},
         letter},
        {"A4 paper in the printer",
         [](QPrinter& p) { p.setPageSize(QPageSize(QPageSize::A4)); },
         {0, 1, 2},
         a4},
        {"larger paper: not scaled up",
         [](QPrinter& p) {
             p.setPageSize(QPageSize(QPageSize::Legal));
             p.setPrintRange(QPrinter::PageRange);
             p.setFromTo(1, 1);
         },
         {0},
         QSizeF(612, 1008)},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString out = temp.filePath(QStringLiteral("printed-%1.pdf").arg(++n));
        printTo(out, c.choose);
        EXPECT_TRUE(dialogs.messages.empty());
        const std::vector<PdfPage> printed = readWords(out);
        ASSERT_EQ(printed.size(), c.pages.size());
        // A Letter page on A4 paper: scaled down to the paper's width, centred; else as it is.
        const double scale =
            std::min({1.0, c.paper.width() / letter.width(), c.paper.height() / letter.height()});
        const QPointF offset((c.paper.width() - letter.width() * scale) / 2,
                             (c.paper.height() - letter.height() * scale) / 2);
        for (size_t i = 0; i < printed.size(); ++i) {
            SCOPED_TRACE(i);
            const PdfPage& page = printed[i];
            const PdfPage& expected = reference[size_t(c.pages[i])];
            EXPECT_NEAR(page.size.width(), c.paper.width(), kTolerance);
            EXPECT_NEAR(page.size.height(), c.paper.height(), kTolerance);
            ASSERT_EQ(page.words.size(), expected.words.size());
            ASSERT_FALSE(page.words.empty());
            for (size_t w = 0; w < page.words.size(); ++w) {
                const Word& got = page.words[w];
                const Word& want = expected.words[w];
                ASSERT_EQ(got.text, want.text);
                const QRectF box(want.box.topLeft() * scale + offset,
                                 want.box.bottomRight() * scale + offset);
                EXPECT_NEAR(got.box.left(), box.left(), kTolerance) << got.text.toStdString();
                EXPECT_NEAR(got.box.top(), box.top(), kTolerance) << got.text.toStdString();
                EXPECT_NEAR(got.box.right(), box.right(), kTolerance) << got.text.toStdString();
                EXPECT_NEAR(got.box.bottom(), box.bottom(), kTolerance) << got.text.toStdString();
                // Nothing cropped: every word lies on the paper.
                EXPECT_TRUE(QRectF(QPointF(0, 0), page.size).contains(got.box));
            }
        }
    }
    EXPECT_EQ(dialogs.printPageCounts, std::vector<int>(std::size(cases), 3));
}

TEST_F(PreviewPrinting, CancelledInTheDialogPrintsNothing) {
    const QString out = temp.filePath(QStringLiteral("never.pdf"));
    printTo(out, {}, false);
    EXPECT_EQ(dialogs.printPageCounts.size(), 1u);
    EXPECT_FALSE(QFile::exists(out));
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(dialogs.progressRequests.empty());
    expectUsable();
}

// Whatever fails, one message says so; the temporary document, a file at the target and the
// preview are as they were.
TEST_F(PreviewPrinting, AFailureGivesOneMessageAndLosesNothing) {
    const QByteArray document = contents(form->wordFile());
    ASSERT_FALSE(document.isEmpty());
    struct Case {
        const char* what;
        QString out;
        std::function<void(QPrinter&)> choose;
    };
    const Case cases[] = {
        {"a folder that does not exist", temp.filePath(QStringLiteral("missing/out.pdf")), {}},
        {"a folder as the target", temp.path(), {}},
        {"the temporary document as the target", form->wordFile(), {}},
        // Where no printer is set up, Qt offers only PDF output, which needs a file.
        {"no printer", QString(), {}},
        {"the temporary folder is gone", temp.filePath(QStringLiteral("out.pdf")),
         [&](QPrinter&) { qputenv("TEMP", QFile::encodeName(temp.filePath("gone"))); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dialogs.messages.clear();
        printTo(c.out, c.choose);
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_TRUE(dialogs.messages[0].text.startsWith(
            QStringLiteral("The document could not be printed: ")))
            << dialogs.messages[0].text.toStdString();
        EXPECT_EQ(dialogs.messages[0].icon, Icon::Warning);
        EXPECT_EQ(contents(form->wordFile()), document);
        qputenv("TEMP", QFile::encodeName(temp.path()));
        expectUsable();
    }
    // Nothing was left behind in the temporary folder.
    EXPECT_EQ(QDir(temp.path()).entryList(QDir::Files),
              QStringList{QFileInfo(form->wordFile()).fileName()});
}

// A 200-page print stopped at page 100 from its progress: the run ends there, the file it
// would have replaced stays as it was, and the preview prints again afterwards.
TEST_F(PreviewPrinting, A200PagePrintStoppedHalfWayEndsAndReplacesNothing) {
    showDocument(QStringLiteral("long"));
    const QString out = temp.filePath(QStringLiteral("old.pdf"));
    {
        QFile old(out);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("the old file");
    }
    dialogs.stopAt = 100;
    printTo(out);
    ASSERT_EQ(dialogs.printPageCounts.size(), 1u);
    EXPECT_GE(dialogs.printPageCounts[0], 200);
    ASSERT_EQ(dialogs.progressRequests.size(), 1u);
    EXPECT_EQ(dialogs.progressRequests[0].total, dialogs.printPageCounts[0]);
    ASSERT_FALSE(dialogs.progressSteps.empty());
    EXPECT_EQ(dialogs.progressSteps.back(), 100);
    EXPECT_EQ(dialogs.progressSteps.size(), 101u);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(contents(out), QByteArray("the old file"));
    expectUsable();

    // Not stuck half way: the next print runs to its end.
    dialogs.stopAt.reset();
    printTo(out, [](QPrinter& p) {
        p.setPrintRange(QPrinter::PageRange);
        p.setFromTo(199, 200);
    });
    EXPECT_EQ(dialogs.printPageCounts.size(), 2u);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(readWords(out).size(), 2u);
}

} // namespace
