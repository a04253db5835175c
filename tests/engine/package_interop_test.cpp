// Interoperability: a document like the bill of sale, saved under a .doc name, read back by
// readers that share no code with the engine: python-docx, pandoc and LibreOffice. Runs only
// where the test registration asks for it (label "interop"), as it drives other programs.
#include "Package.h"
#include "package_test_support.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <utility>

using namespace wordengine;
using namespace packagetest;

namespace {

// Runs a program to its end (no time limit: a slow machine is not a failure).
QByteArray run(const QString& program, const QStringList& arguments, int* exitCode = nullptr) {
    QProcess process;
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.start(program, arguments);
    process.waitForFinished(-1);
    if (exitCode)
        *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    if (process.exitCode() != 0)
        ADD_FAILURE() << program.toStdString()
                      << " failed: " << process.readAllStandardError().toStdString();
    return process.readAllStandardOutput();
}

Run text(const QString& s, const CharFormat& f) {
    return Run{s, f};
}

// The whole bill of sale, as the document script builds it, with sample values.
Document fullBillOfSale() {
    const CharFormat title = format(16, true), body = format(11),
                     under = format(11, false, Underline::Single);
    const CharFormat cell = format(8, true), after = format(8),
                     afterUnder = format(8, false, Underline::Single);
    const CharFormat heading = format(8, true);
    Document d;
    d.body.clear();
    d.body.push_back(paragraph({text(QStringLiteral("Motor Vehicle Bill of Sale"), title)},
                               ParagraphAlignment::Center, title));
    d.body.push_back(paragraph({}, ParagraphAlignment::Center, title));
    d.body.push_back(paragraph(
        {text(QStringLiteral("BE IT KNOWN, that for payment in the sum of $"), body),
         text(QStringLiteral("  $4,500.00  "), under),
         text(QStringLiteral(", the full receipt of which is acknowledged, the undersigned "),
              body),
         text(QStringLiteral("  Jane Seller  "), under),
         text(QStringLiteral("(Seller) hereby sells and transfers to "), body),
         text(QStringLiteral("  John Buyer  "), under),
         text(QStringLiteral("(Buyer), the following described motor vehicle (Vehicle):"), body)},
        ParagraphAlignment::Left, body));
    d.body.push_back(paragraph({}, ParagraphAlignment::Left, body));
    Table vehicle = table(4, 2);
    vehicle.format.heightRule = RowHeightRule::AtLeast;
    vehicle.format.height = 21.6;
    vehicle.format.applyStyleLastRow = vehicle.format.applyStyleLastColumn = true;
    const QStringList cells = {QStringLiteral("Make: Ford"),
                               QStringLiteral("Model or series:  Focus"),
                               QStringLiteral("Year: 2011"),
                               QStringLiteral("Color: Blue"),
                               QStringLiteral("VIN #: 1FAHP3F2XBL123456"),
                               QStringLiteral("Style: Sedan"),
                               QStringLiteral("Odometer reading: 98,000"),
                               QStringLiteral("Title #: T-5521")};
    for (int i = 0; i < 8; ++i) {
        Cell& c = vehicle.rows[size_t(i / 2)].cells[size_t(i % 2)];
        c.verticalAlignment = CellVerticalAlignment::Center;
        c.paragraphs = {paragraph({text(cells[i], cell)}, ParagraphAlignment::Left, cell)};
    }
    d.body.push_back(vehicle);
    d.body.push_back(paragraph({}, ParagraphAlignment::Left, heading));
    d.body.push_back(
        paragraph({text(QStringLiteral(
                            "The sale is subject to the following conditions and representations:"),
                        heading)},
                  ParagraphAlignment::Left, heading));
    d.body.push_back(paragraph({}, ParagraphAlignment::Left, heading));
    d.body.push_back(paragraph(
        {text(QStringLiteral("Seller acknowledges receipt of $"), after),
         text(QStringLiteral("  500  "), afterUnder),
         text(QStringLiteral("in down payment for the Vehicle, full payment from the Buyer "
                             "and title transfer to take place within "),
              after),
         text(QStringLiteral("  10  "), afterUnder), text(QStringLiteral("days."), after)},
        ParagraphAlignment::Left, after));
    d.body.push_back(paragraph({}, ParagraphAlignment::Left, after));
    const QStringList longer = {
        QStringLiteral("Seller certifies to the best of the Seller's knowledge that the odometer "
                       "reading listed in the "
                       "vehicle description above reflects the actual mileage of the Vehicle."),
        QStringLiteral(
            "Seller warrants to Buyer that Seller has good and marketable title to said property."),
        QStringLiteral(
            "Said Vehicle is otherwise sold in \"as is\" condition and where currently located.")};
    for (const QString& s : longer) {
        d.body.push_back(paragraph({text(s, after)}, ParagraphAlignment::Left, after));
        d.body.push_back(paragraph({}, ParagraphAlignment::Left, after));
    }
    Table signatures = table(5, 1);
    signatures.format = vehicle.format;
    const QStringList rows = {QStringLiteral("Date signed: "), QStringLiteral("Seller: "),
                              QStringLiteral("Buyer: "),
                              QStringLiteral("In the presence of (Witness): "),
                              QStringLiteral("Print name of witness: Wendy Witness")};
    for (int i = 0; i < 5; ++i) {
        Cell& c = signatures.rows[size_t(i)].cells[0];
        c.verticalAlignment = CellVerticalAlignment::Center;
        c.paragraphs = {paragraph({text(rows[i], cell)}, ParagraphAlignment::Left, cell)};
    }
    d.body.push_back(signatures);
    d.body.push_back(paragraph({}, ParagraphAlignment::Left, cell));
    return d;
}

// What a reader must keep of a document: each paragraph's text (tables' cells included) and
// the underlined stretches, which other writers may split or join into runs differently.
QStringList textAndUnderlines(const Document& d) {
    QStringList out;
    const auto add = [&](const Paragraph& p) {
        out << p.text();
        QString stretch;
        for (const wordengine::Run& r : p.runs) {
            if (r.format.underline != Underline::None)
                stretch += r.text;
            else if (!stretch.isEmpty())
                out << QStringLiteral("underlined: ") + std::exchange(stretch, QString());
        }
        if (!stretch.isEmpty())
            out << QStringLiteral("underlined: ") + stretch;
    };
    for (const Block& block : d.body) {
        if (const auto* p = std::get_if<Paragraph>(&block))
            add(*p);
        else
            for (const Row& row : std::get<Table>(block).rows)
                for (const Cell& c : row.cells)
                    for (const Paragraph& inCell : c.paragraphs)
                        add(inCell);
    }
    return out;
}

class PackageInterop : public ::testing::Test {
protected:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("VANTOREL_INTEROP"))
            GTEST_SKIP()
                << "drives python-docx, pandoc and LibreOffice; run with the interop label";
        ASSERT_TRUE(dir_.isValid());
        path_ = dir_.filePath(QStringLiteral("wendlo12345678.doc"));
        savePackage(document_, 2, path_);
    }

    QTemporaryDir dir_;
    QString path_;
    const Document document_ = fullBillOfSale();
};

TEST_F(PackageInterop, PythonDocxReadsTextUnderlinesTablesAndPageSetup) {
    const QJsonObject found =
        QJsonDocument::fromJson(run(QStringLiteral("/usr/bin/python3"),
                                    {QStringLiteral(VANTOREL_INTEROP_SCRIPT), path_}))
            .object();
    ASSERT_FALSE(found.isEmpty());

    QJsonArray paragraphs, underlined, tables;
    for (const Block& block : document_.body) {
        if (const auto* p = std::get_if<Paragraph>(&block)) {
            paragraphs.append(p->text());
            for (const wordengine::Run& r : p->runs)
                if (r.format.underline != Underline::None)
                    underlined.append(r.text);
        } else {
            const Table& t = std::get<Table>(block);
            QJsonArray rows;
            for (const Row& row : t.rows) {
                QJsonArray texts;
                for (const Cell& c : row.cells)
                    texts.append(c.paragraphs.front().text());
                rows.append(texts);
            }
            tables.append(QJsonObject{{QStringLiteral("style"), t.format.style},
                                      {QStringLiteral("cells"), rows},
                                      {QStringLiteral("rowHeight"), 432}});
        }
    }
    EXPECT_EQ(found[QStringLiteral("paragraphs")].toArray(), paragraphs);
    EXPECT_EQ(found[QStringLiteral("underlined")].toArray(), underlined)
        << "blanks inside the underline";
    EXPECT_EQ(found[QStringLiteral("tables")].toArray(), tables);
    EXPECT_EQ(found[QStringLiteral("fonts")].toArray(), QJsonArray{QStringLiteral("Arial")});
    for (const QJsonValue& r : found[QStringLiteral("cellRuns")].toArray()) {
        EXPECT_TRUE(r[QStringLiteral("bold")].toBool());
        EXPECT_EQ(r[QStringLiteral("size")].toDouble(), 8.0);
    }
    const QJsonObject section = found[QStringLiteral("section")].toObject();
    EXPECT_EQ(section, (QJsonObject{{QStringLiteral("width"), 12240},
                                    {QStringLiteral("height"), 15840},
                                    {QStringLiteral("top"), 1440},
                                    {QStringLiteral("bottom"), 1440},
                                    {QStringLiteral("left"), 1800},
                                    {QStringLiteral("right"), 1800},
                                    {QStringLiteral("header"), 720},
                                    {QStringLiteral("footer"), 720},
                                    {QStringLiteral("landscape"), false}}));
    EXPECT_EQ(found[QStringLiteral("compatibilityMode")].toString(), QStringLiteral("15"));
}

TEST_F(PackageInterop, PandocReadsTextUnderlinesAndTables) {
    const QString plain =
        QString::fromUtf8(run(QStringLiteral("pandoc"),
                              {QStringLiteral("-f"), QStringLiteral("docx"), QStringLiteral("-t"),
                               QStringLiteral("plain"), QStringLiteral("--wrap=none"), path_}));
    for (const char* expected :
         {"Motor Vehicle Bill of Sale", "BE IT KNOWN", "Make: Ford", "Title #: T-5521",
          "Print name of witness: Wendy Witness", "\"as is\" condition"})
        EXPECT_TRUE(plain.contains(QString::fromUtf8(expected))) << expected;
    const QString native = QString::fromUtf8(
        run(QStringLiteral("pandoc"), {QStringLiteral("-f"), QStringLiteral("docx"),
                                       QStringLiteral("-t"), QStringLiteral("native"), path_}));
    // Each underlined value is one underlined span. Pandoc moves blanks out of inline spans,
    // so the blanks inside the underline are checked with python-docx above.
    EXPECT_EQ(native.count(QStringLiteral("Underline")), 5) << native.toStdString();
    EXPECT_TRUE(native.contains(QStringLiteral("Underline [ Str \"$4,500.00\" ]")))
        << native.toStdString();
    EXPECT_TRUE(
        native.contains(QStringLiteral("Underline [ Str \"Jane\" , Space , Str \"Seller\" ]")));
    EXPECT_EQ(native.count(QRegularExpression(QStringLiteral("\\bTable\\b"))), 2);
}

TEST_F(PackageInterop, LibreOfficeOpensItWithTheSamePage) {
    int exitCode = 0;
    run(QStringLiteral("soffice"),
        {QStringLiteral("-env:UserInstallation=file://") + dir_.filePath(QStringLiteral("profile")),
         QStringLiteral("--headless"), QStringLiteral("--convert-to"), QStringLiteral("pdf"),
         QStringLiteral("--outdir"), dir_.path(), path_},
        &exitCode);
    ASSERT_EQ(exitCode, 0);
    const QString info = QString::fromUtf8(
        run(QStringLiteral("pdfinfo"), {dir_.filePath(QStringLiteral("wendlo12345678.pdf"))}));
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Page size:\\s+612 x 792 pts"))))
        << info.toStdString();
    const QRegularExpressionMatch pages =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info);
    ASSERT_TRUE(pages.hasMatch());
    EXPECT_GE(pages.captured(1).toInt(), 1);
    std::printf("LibreOffice lays the bill of sale out on %s page(s)\n",
                qPrintable(pages.captured(1)));
}

TEST_F(PackageInterop, OpensWhatLibreOfficeWritesBack) {
    const QString out = dir_.filePath(QStringLiteral("back"));
    int exitCode = 0;
    run(QStringLiteral("soffice"),
        {QStringLiteral("-env:UserInstallation=file://") + dir_.filePath(QStringLiteral("profile")),
         QStringLiteral("--headless"), QStringLiteral("--convert-to"), QStringLiteral("docx"),
         QStringLiteral("--outdir"), out, path_},
        &exitCode);
    ASSERT_EQ(exitCode, 0);
    const Document back = openPackage(out + QStringLiteral("/wendlo12345678.docx"));
    EXPECT_EQ(textAndUnderlines(back), textAndUnderlines(document_));
    // LibreOffice keeps header and footer distances only where there is a header or footer.
    const PageSetup& s = back.pageSetup;
    EXPECT_EQ((std::vector<double>{s.pageWidth, s.pageHeight, s.topMargin, s.bottomMargin,
                                   s.leftMargin, s.rightMargin}),
              (std::vector<double>{612, 792, 72, 72, 90, 90}));
    std::vector<const Table*> tables;
    for (const Block& block : back.body)
        if (const auto* t = std::get_if<Table>(&block))
            tables.push_back(t);
    ASSERT_EQ(tables.size(), 2u);
    for (const Table* t : tables) {
        EXPECT_EQ(t->format.style, QStringLiteral("Table Grid"));
        EXPECT_EQ(t->format.heightRule, RowHeightRule::AtLeast);
        EXPECT_DOUBLE_EQ(t->format.height, 21.6);
        EXPECT_EQ(t->rows.front().cells.front().verticalAlignment, CellVerticalAlignment::Center);
    }
}

} // namespace
