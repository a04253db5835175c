// Fidelity against LibreOffice: the engine's PDF of a document and LibreOffice's PDF of the
// saved file have the same pages, the same words on every line and the same baselines.
// Needs soffice and pdftotext (poppler-utils) on the path.
#include "BillOfSaleModel.h"
#include "Layout.h"
#include "Package.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <algorithm>
#include <gtest/gtest.h>

using namespace wordengine;

namespace {

constexpr double kBaselineTolerance = 1.5; // points

struct Line {
    double baseline = 0;
    QStringList words; // left to right
};
using Page = std::vector<Line>;

// The font's ascent and descent as pdftotext sizes word boxes with them: the first font
// descriptor's, or poppler's defaults (0.95 and -0.35) when a writer leaves them at 0.
std::pair<double, double> boxMetrics(const QByteArray& pdf) {
    static const QRegularExpression ascent(QStringLiteral("/Ascent\\s+(-?[0-9.]+)"));
    static const QRegularExpression descent(QStringLiteral("/Descent\\s+(-?[0-9.]+)"));
    const QString text = QString::fromLatin1(pdf);
    const double a = ascent.match(text).captured(1).toDouble() / 1000;
    const double d = descent.match(text).captured(1).toDouble() / 1000;
    if (a == 0 && d == 0)
        return {0.95, -0.35};
    return {a, d};
}

// The lines of every page: words grouped by baseline (cells side by side in a table row
// share one), sorted top to bottom and left to right.
std::vector<Page> readLines(const QString& pdfPath) {
    QFile file(pdfPath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const auto [ascent, descent] = boxMetrics(file.readAll());
    const QString htmlPath = pdfPath + QStringLiteral(".html");
    QProcess::execute(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdfPath, htmlPath});
    QFile html(htmlPath);
    if (!html.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    static const QRegularExpression word(QStringLiteral(
        R"re(<word xMin="([0-9.]+)" yMin="([0-9.]+)" xMax="[0-9.]+" yMax="([0-9.]+)">(.*)</word>)re"));
    struct Word {
        double x, baseline;
        QString text;
    };
    std::vector<std::vector<Word>> words;
    while (!html.atEnd()) {
        const QString row = QString::fromUtf8(html.readLine());
        if (row.contains(QLatin1String("<page ")))
            words.emplace_back();
        const auto m = word.match(row);
        if (m.hasMatch() && !words.empty()) {
            const double top = m.captured(2).toDouble();
            const double bottom = m.captured(3).toDouble();
            // yMin = baseline - ascent * size, yMax = baseline - descent * size.
            const double size = (bottom - top) / (ascent - descent);
            words.back().push_back(
                {m.captured(1).toDouble(), bottom + descent * size, m.captured(4)});
        }
    }
    std::vector<Page> pages;
    for (auto& pageWords : words) {
        std::sort(pageWords.begin(), pageWords.end(),
                  [](const Word& a, const Word& b) { return a.baseline < b.baseline; });
        Page page;
        std::vector<std::vector<Word>> groups;
        for (const Word& w : pageWords) {
            if (groups.empty() || w.baseline - groups.back().back().baseline > 1.0)
                groups.emplace_back();
            groups.back().push_back(w);
        }
        for (auto& group : groups) {
            std::sort(group.begin(), group.end(),
                      [](const Word& a, const Word& b) { return a.x < b.x; });
            Line line{group.front().baseline, {}};
            for (const Word& w : group)
                line.words << w.text;
            page.push_back(line);
        }
        pages.push_back(page);
    }
    return pages;
}

bool toolsPresent() {
    return !QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

TEST(LayoutInterop, MatchesLibreOfficeWordForWord) {
    if (!toolsPresent())
        GTEST_SKIP() << "soffice or pdftotext missing";
    billofsale::SaleRecord empty;
    // A seller's name just long enough to push the last row of the signature table onto a
    // page of its own.
    billofsale::SaleRecord rowOver = billofsale::longRecord(2);
    rowOver.seller += QStringLiteral(" Tobin Harl").repeated(22);
    // Vehicle cells of several hundred characters, some without a space: rows many lines
    // tall, words broken inside a cell.
    billofsale::SaleRecord wideCells = billofsale::sampleRecord();
    wideCells.make = QStringLiteral("Ford Motor Company of Dearborn ").repeated(12);
    wideCells.model = QStringLiteral("Thunderbird").repeated(30);
    wideCells.year = QStringLiteral("1969 ").repeated(70);
    wideCells.color = QStringLiteral("Blue-").repeated(80);
    wideCells.vin = QStringLiteral("1G1FP22PXS2100001").repeated(20);
    wideCells.style = QStringLiteral("Two door hardtop coupe, ").repeated(15);
    wideCells.odometer = QStringLiteral("55,000").repeated(60);
    wideCells.title = QStringLiteral("T12345 ").repeated(50);
    const struct {
        const char* name;
        billofsale::SaleRecord record;
    } cases[] = {
        {"sample", billofsale::sampleRecord()},
        {"empty", empty},
        {"three pages", billofsale::longRecord(3)},
        {"row over a page break", rowOver},
        {"vehicle cells of hundreds of characters", wideCells},
    };
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QStringList saved;
    for (const auto& c : cases) {
        const Document doc = billofsale::buildDocument(c.record);
        const QString base = dir.filePath(QString::fromLatin1(c.name).replace(' ', '_'));
        savePackage(doc, paginate(doc).pageCount(), base + QStringLiteral(".doc"));
        ASSERT_TRUE(writePdf(doc, base + QStringLiteral(".ours.pdf")));
        saved << base + QStringLiteral(".doc");
    }
    // One LibreOffice run for all files, with a profile of its own so that it neither meets
    // a running instance nor leaves anything behind.
    const QString profile = QUrl::fromLocalFile(dir.filePath(QStringLiteral("profile"))).toString();
    QProcess office;
    office.start(QStringLiteral("soffice"),
                 QStringList{QStringLiteral("-env:UserInstallation=") + profile,
                             QStringLiteral("--headless"), QStringLiteral("--convert-to"),
                             QStringLiteral("pdf"), QStringLiteral("--outdir"), dir.path()} +
                     saved);
    ASSERT_TRUE(office.waitForFinished(-1));

    int lines = 0, matching = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString base = dir.filePath(QString::fromLatin1(c.name).replace(' ', '_'));
        const std::vector<Page> ours = readLines(base + QStringLiteral(".ours.pdf"));
        const std::vector<Page> theirs = readLines(base + QStringLiteral(".pdf"));
        ASSERT_FALSE(theirs.empty()) << "LibreOffice wrote no PDF";
        ASSERT_EQ(ours.size(), theirs.size()) << "page count";
        for (size_t p = 0; p < ours.size(); ++p) {
            SCOPED_TRACE("page " + std::to_string(p + 1));
            EXPECT_EQ(ours[p].size(), theirs[p].size()) << "lines on the page";
            for (size_t i = 0; i < std::min(ours[p].size(), theirs[p].size()); ++i) {
                const Line& a = ours[p][i];
                const Line& b = theirs[p][i];
                ++lines;
                const bool same =
                    a.words == b.words && std::abs(a.baseline - b.baseline) <= kBaselineTolerance;
                matching += same;
                EXPECT_TRUE(same) << "line " << i + 1 << ": ours at " << a.baseline << " \""
                                  << a.words.join(' ').toStdString() << "\", LibreOffice at "
                                  << b.baseline << " \"" << b.words.join(' ').toStdString() << "\"";
            }
        }
    }
    EXPECT_GT(lines, 200); // the four documents hold about 290 lines
    RecordProperty("lines", lines);
    RecordProperty("matching", matching);
    std::printf("lines matching LibreOffice: %d of %d\n", matching, lines);
}

} // namespace

// Searching and copying from the PDF give the values as typed: pdftotext's text, and its word
// boxes for left-to-right scripts. A typed line separator is left out, as LibreOffice does.
TEST(LayoutInterop, PdfTextGivesBackWhatWasTyped) {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext missing";
    const struct {
        const char* script;
        const char* typed;
        const char* readBack; // nullptr: as typed
        bool rightToLeft;
    } cases[] = {
        {"Greek", "Ελένη Παπαδοπούλου", nullptr, false},
        {"Cyrillic", "Дмитрий Иванов", nullptr, false},
        {"Arabic", "محمد بن راشد", nullptr, true},
        {"Hebrew", "דוד לוי", nullptr, true},
        {"Devanagari", "अर्जुन शर्मा", nullptr, false},
        {"Thai", "สมชาย ใจดี", nullptr, false},
        {"Chinese", "王小明", nullptr, false},
        {"Japanese", "山田 太郎", nullptr, false},
        {"Korean", "김민준", nullptr, false},
        {"emoji", "Orwen 🚗 Palk 👍", nullptr, false},
        {"ligatures", "Griffin Office", nullptr, false},
        {"zero-width space", "zero\u200bwidth", nullptr, false},
        {"line separator", "line\u2028separator", "lineseparator", false},
    };
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script);
        billofsale::SaleRecord record = billofsale::sampleRecord();
        record.witness = QString::fromUtf8(c.typed);
        const QString pdf = dir.filePath(QStringLiteral("typed.pdf"));
        ASSERT_TRUE(writePdf(billofsale::buildDocument(record), pdf));
        const auto pdftotext = [&](const QStringList& options) {
            QProcess run;
            run.start(QStringLiteral("pdftotext"), options + QStringList{pdf, QStringLiteral("-")});
            run.waitForFinished(-1);
            // Right-to-left text comes framed in direction marks.
            return QString::fromUtf8(run.readAllStandardOutput())
                .remove(QChar(0x202b))
                .remove(QChar(0x202c));
        };
        const QString expected = QString::fromUtf8(c.readBack ? c.readBack : c.typed);
        EXPECT_TRUE(pdftotext({}).contains(expected)) << pdftotext({}).toStdString();
        if (c.rightToLeft)
            continue;
        const QString boxes = pdftotext({QStringLiteral("-bbox")});
        for (const QString& word : expected.split(QLatin1Char(' ')))
            EXPECT_TRUE(boxes.contains(QLatin1Char('>') + word + QStringLiteral("</word>")))
                << word.toStdString();
    }
}
