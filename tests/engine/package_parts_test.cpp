// The exact XML of each package part for small documents.
#include "PackageParts.h"
#include "PackageZipReader.h"
#include "PartWriter.h"
#include "package_test_support.h"

#include <QXmlStreamWriter>
#include <gtest/gtest.h>
#include <thread>

using namespace wordengine;
using namespace packagetest;

namespace {

const QString kDecl = QStringLiteral(R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)");
const QString kW =
    QStringLiteral(R"(xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main")");

// <w:rPr> as the writer states it: every property, every time.
QString rPr(const char* font, int halfPoints, bool bold, const char* underline) {
    return QStringLiteral(
               R"(<w:rPr><w:rFonts w:ascii="%1" w:hAnsi="%1" w:cs="%1" w:eastAsia="%1"/>)"
               R"(%2<w:sz w:val="%3"/><w:szCs w:val="%3"/><w:u w:val="%4"/></w:rPr>)")
        .arg(QLatin1String(font), bold ? QStringLiteral("<w:b/><w:bCs/>")
                                       : QStringLiteral(R"(<w:b w:val="0"/><w:bCs w:val="0"/>)"))
        .arg(halfPoints)
        .arg(QLatin1String(underline));
}

const QString kArial11 = rPr("Arial", 22, false, "none");

QString between(const QByteArray& xml, const char* from, const char* to) {
    const QString s = QString::fromUtf8(xml);
    const qsizetype start = s.indexOf(QLatin1String(from)) + qsizetype(qstrlen(from));
    return s.mid(start, s.indexOf(QLatin1String(to), start) - start);
}

QString body(const Document& d) {
    return between(package::documentXml(d), "<w:body>", "<w:sectPr>");
}

QString section(const PageSetup& setup) {
    Document d;
    d.pageSetup = setup;
    return between(package::documentXml(d), "<w:sectPr>", "</w:sectPr>");
}

struct ParagraphCase {
    const char* name;
    Paragraph paragraph;
    QString xml;
};

TEST(PackageDocumentXml, ParagraphsAndRuns) {
    const QString mark =
        QStringLiteral(R"(<w:pPr><w:jc w:val="left"/>)") + kArial11 + QStringLiteral("</w:pPr>");
    const std::vector<ParagraphCase> cases = {
        {"empty paragraph keeps its mark", Paragraph{},
         QStringLiteral("<w:p>") + mark + QStringLiteral("</w:p>")},
        {"centred bold title with its mark",
         paragraph({{QStringLiteral("Title"), format(16, true)}}, ParagraphAlignment::Center,
                   format(16, true)),
         QStringLiteral(R"(<w:p><w:pPr><w:jc w:val="center"/>)") + rPr("Arial", 32, true, "none") +
             QStringLiteral("</w:pPr><w:r>") + rPr("Arial", 32, true, "none") +
             QStringLiteral("<w:t>Title</w:t></w:r></w:p>")},
        {"blanks at either end are preserved",
         paragraph({{QStringLiteral("  x  "), format(11, false, Underline::Single)}}),
         QStringLiteral("<w:p>") + mark + QStringLiteral("<w:r>") +
             rPr("Arial", 22, false, "single") +
             QStringLiteral(R"(<w:t xml:space="preserve">  x  </w:t></w:r></w:p>)")},
        {"inner blanks need no preserve", paragraph({{QStringLiteral("a  b"), format(11)}}),
         QStringLiteral("<w:p>") + mark + QStringLiteral("<w:r>") + kArial11 +
             QStringLiteral("<w:t>a  b</w:t></w:r></w:p>")},
        {"tabs become tab elements", paragraph({{QStringLiteral("\ta \tb\t"), format(11)}}),
         QStringLiteral("<w:p>") + mark + QStringLiteral("<w:r>") + kArial11 +
             QStringLiteral(
                 R"(<w:tab/><w:t xml:space="preserve">a </w:t><w:tab/><w:t>b</w:t><w:tab/></w:r></w:p>)")},
        {"text XML cannot hold is left out",
         paragraph({{QStringLiteral("a") + QChar(0x01) + QChar(0xD800) + QStringLiteral("b") +
                         QChar(0xDC00) + QChar(0xFFFE) + QStringLiteral("\n<&>") + QChar(0xD83D) +
                         QChar(0xDE00),
                     format(11)}}),
         QStringLiteral("<w:p>") + mark + QStringLiteral("<w:r>") + kArial11 +
             QStringLiteral("<w:t>ab&lt;&amp;&gt;") + QChar(0xD83D) + QChar(0xDE00) +
             QStringLiteral("</w:t></w:r></w:p>")},
        {"an empty run stays an empty run", paragraph({{QString(), format(11)}}),
         QStringLiteral("<w:p>") + mark + QStringLiteral("<w:r>") + kArial11 +
             QStringLiteral("</w:r></w:p>")},
        {"justified, other font, half points",
         paragraph({{QStringLiteral("j"),
                     format(10.5, false, Underline::None, QStringLiteral("Courier New"))}},
                   ParagraphAlignment::Justify),
         QStringLiteral(R"(<w:p><w:pPr><w:jc w:val="both"/>)") + kArial11 +
             QStringLiteral("</w:pPr><w:r>") + rPr("Courier New", 21, false, "none") +
             QStringLiteral("<w:t>j</w:t></w:r></w:p>")},
        {"right aligned, double underline",
         paragraph({{QStringLiteral("r"), format(11, false, Underline::Double)}},
                   ParagraphAlignment::Right),
         QStringLiteral(R"(<w:p><w:pPr><w:jc w:val="right"/>)") + kArial11 +
             QStringLiteral("</w:pPr><w:r>") + rPr("Arial", 22, false, "double") +
             QStringLiteral("<w:t>r</w:t></w:r></w:p>")},
    };
    for (const ParagraphCase& c : cases) {
        Document d;
        d.body = {c.paragraph};
        EXPECT_EQ(body(d), c.xml) << c.name;
    }
}

TEST(PackageDocumentXml, WholeDocument) {
    const QString expected =
        kDecl + QStringLiteral("<w:document ") + kW +
        QStringLiteral("><w:body><w:p><w:pPr><w:jc w:val=\"left\"/>") + kArial11 +
        QStringLiteral(
            R"(</w:pPr></w:p><w:sectPr><w:type w:val="nextPage"/>)"
            R"(<w:pgSz w:w="12240" w:h="15840" w:orient="portrait"/>)"
            R"(<w:pgMar w:top="1440" w:right="1800" w:bottom="1440" w:left="1800" w:header="720" w:footer="720" w:gutter="0"/>)"
            R"(<w:cols w:space="720"/><w:vAlign w:val="top"/><w:docGrid w:type="default" w:linePitch="360"/>)"
            R"(</w:sectPr></w:body></w:document>)"
            "\n");
    EXPECT_EQ(QString::fromUtf8(package::documentXml(Document{})), expected);
}

TEST(PackageDocumentXml, TableGridTable) {
    Table t = table(1, 2);
    t.format.heightRule = RowHeightRule::AtLeast;
    t.format.height = 21.6;
    t.format.applyStyleLastRow = true;
    t.rows[0].cells[0].verticalAlignment = CellVerticalAlignment::Center;
    t.rows[0].cells[1].verticalAlignment = CellVerticalAlignment::Bottom;
    Document d;
    d.body = {t, Paragraph{}};
    const QString cellEnd = QStringLiteral(R"(<w:p><w:pPr><w:jc w:val="left"/>)") + kArial11 +
                            QStringLiteral("</w:pPr></w:p></w:tc>");
    const QString border =
        QStringLiteral(R"(w:val="single" w:sz="4" w:space="0" w:color="auto"/>)");
    const QString expected =
        QStringLiteral(
            R"(<w:tbl><w:tblPr><w:tblStyle w:val="TableGrid"/><w:tblW w:w="8640" w:type="dxa"/>)"
            R"(<w:tblInd w:w="0" w:type="dxa"/><w:tblBorders>)") +
        QStringLiteral("<w:top ") + border + QStringLiteral("<w:left ") + border +
        QStringLiteral("<w:bottom ") + border + QStringLiteral("<w:right ") + border +
        QStringLiteral("<w:insideH ") + border + QStringLiteral("<w:insideV ") + border +
        QStringLiteral(
            R"(</w:tblBorders><w:tblLayout w:type="fixed"/><w:tblCellMar><w:top w:w="0" w:type="dxa"/>)"
            R"(<w:left w:w="108" w:type="dxa"/><w:bottom w:w="0" w:type="dxa"/><w:right w:w="108" w:type="dxa"/></w:tblCellMar>)"
            R"(<w:tblLook w:val="04E0" w:firstRow="1" w:lastRow="1" w:firstColumn="1" w:lastColumn="0" w:noHBand="0" w:noVBand="1"/>)"
            R"(</w:tblPr><w:tblGrid><w:gridCol w:w="4320"/><w:gridCol w:w="4320"/></w:tblGrid>)"
            R"(<w:tr><w:trPr><w:trHeight w:val="432" w:hRule="atLeast"/></w:trPr>)"
            R"(<w:tc><w:tcPr><w:tcW w:w="4320" w:type="dxa"/><w:vAlign w:val="center"/></w:tcPr>)") +
        cellEnd +
        QStringLiteral(
            R"(<w:tc><w:tcPr><w:tcW w:w="4320" w:type="dxa"/><w:vAlign w:val="bottom"/></w:tcPr>)") +
        cellEnd + QStringLiteral("</w:tr></w:tbl>");
    const QString all = body(d);
    EXPECT_EQ(all.left(expected.size()), expected);
    EXPECT_EQ(all.mid(expected.size()), cellEnd.chopped(7)); // the paragraph after the table
}

struct TableCase {
    const char* name;
    Table table;
    std::vector<const char*> fragments; // in the table's XML, in this order
    std::vector<const char*> absent;
};

TEST(PackageDocumentXml, TableVariants) {
    Table exact = table(1, 1);
    exact.format.heightRule = RowHeightRule::Exactly;
    exact.format.height = 30;
    Table autoHeight = table(1, 1);
    autoHeight.format.height = 30;
    Table plain = table(1, 1, QString());
    Table seven = table(1, 7);
    Table ragged = table(2, 2);
    ragged.rows[1].cells.resize(1); // a model that broke its own rule still gives a sound grid
    Table noFlags = table(1, 1);
    noFlags.format.applyStyleHeadingRows = noFlags.format.applyStyleFirstColumn = false;
    const std::vector<TableCase> cases = {
        {"exact height", exact, {R"(<w:trHeight w:val="600" w:hRule="exact"/>)"}, {}},
        {"automatic height writes none", autoHeight, {"<w:tr><w:tc>"}, {"trPr", "trHeight"}},
        {"no style, no borders",
         plain,
         {R"(<w:tblW w:w="8640")", R"(<w:top w:val="nil"/>)", R"(<w:insideV w:val="nil"/>)"},
         {"tblStyle", "single"}},
        {"uneven division goes to the first columns",
         seven,
         {R"(<w:gridCol w:w="1235"/><w:gridCol w:w="1235"/><w:gridCol w:w="1234"/>)",
          R"(<w:gridCol w:w="1234"/></w:tblGrid>)"},
         {}},
        {"short rows are padded",
         ragged,
         {R"(</w:tc><w:tc><w:tcPr><w:tcW w:w="4320" w:type="dxa"/><w:vAlign w:val="top"/></w:tcPr><w:p>)"},
         {}},
        {"look flags off",
         noFlags,
         {R"(<w:tblLook w:val="0400" w:firstRow="0" w:lastRow="0" w:firstColumn="0" w:lastColumn="0")"},
         {}},
    };
    for (const TableCase& c : cases) {
        Document d;
        d.body = {c.table, Paragraph{}};
        const QString xml = body(d);
        qsizetype at = 0;
        for (const char* fragment : c.fragments) {
            const qsizetype found = xml.indexOf(QString::fromUtf8(fragment), at);
            EXPECT_GE(found, 0) << c.name << ": " << fragment;
            at = std::max(found, at);
        }
        for (const char* missing : c.absent)
            EXPECT_EQ(xml.indexOf(QString::fromUtf8(missing)), -1) << c.name << ": " << missing;
    }
    // The ragged table's second row has two cells.
    Document d;
    d.body = {ragged, Paragraph{}};
    EXPECT_EQ(body(d).count(QStringLiteral("<w:tc>")), 4);
}

TEST(PackageDocumentXml, BodyKeepsWordsRules) {
    Document d;
    d.body = {table(1, 1), table(1, 1)}; // adjacent tables, no final paragraph
    const QString xml = body(d);
    EXPECT_TRUE(xml.contains(QStringLiteral("</w:tbl><w:p>")));
    EXPECT_TRUE(xml.endsWith(QStringLiteral("</w:p>")));
    EXPECT_EQ(xml.count(QStringLiteral("</w:tbl><w:p>")), 2);
    d.body.clear();
    EXPECT_EQ(body(d).count(QStringLiteral("<w:p>")), 1);
}

struct SectionCase {
    const char* name;
    void (*change)(PageSetup&);
    const char* xml;
};

TEST(PackageDocumentXml, Sections) {
    const std::vector<SectionCase> cases = {
        {"the program's page", [](PageSetup&) {},
         R"(<w:type w:val="nextPage"/><w:pgSz w:w="12240" w:h="15840" w:orient="portrait"/>)"
         R"(<w:pgMar w:top="1440" w:right="1800" w:bottom="1440" w:left="1800" w:header="720" w:footer="720" w:gutter="0"/>)"
         R"(<w:cols w:space="720"/><w:vAlign w:val="top"/><w:docGrid w:type="default" w:linePitch="360"/>)"},
        {"everything the section holds",
         [](PageSetup& s) {
             s.orientation = PageOrientation::Landscape;
             s.pageWidth = 842;
             s.pageHeight = 595;
             s.gutter = 18;
             s.firstPageTray = 4;
             s.otherPagesTray = 7;
             s.lineNumberingActive = true;
             s.sectionStart = SectionStart::Continuous;
             s.verticalAlignment = PageVerticalAlignment::Center;
             s.suppressEndnotes = true;
             s.differentFirstPageHeaderFooter = true;
             s.gutterPos = GutterPosition::Right;
         },
         R"(<w:type w:val="continuous"/><w:pgSz w:w="16840" w:h="11900" w:orient="landscape"/>)"
         R"(<w:pgMar w:top="1440" w:right="1800" w:bottom="1440" w:left="1800" w:header="720" w:footer="720" w:gutter="360"/>)"
         R"(<w:paperSrc w:first="4" w:other="7"/><w:lnNumType w:countBy="1" w:restart="newPage"/>)"
         R"(<w:cols w:space="720"/><w:vAlign w:val="center"/><w:noEndnote/><w:titlePg/><w:rtlGutter/>)"
         R"(<w:docGrid w:type="default" w:linePitch="360"/>)"},
        {"page aligned to the bottom, gutter at the top",
         [](PageSetup& s) {
             s.verticalAlignment = PageVerticalAlignment::Bottom;
             s.gutterPos = GutterPosition::Top;
         },
         R"(<w:type w:val="nextPage"/><w:pgSz w:w="12240" w:h="15840" w:orient="portrait"/>)"
         R"(<w:pgMar w:top="1440" w:right="1800" w:bottom="1440" w:left="1800" w:header="720" w:footer="720" w:gutter="0"/>)"
         R"(<w:cols w:space="720"/><w:vAlign w:val="bottom"/><w:docGrid w:type="default" w:linePitch="360"/>)"},
    };
    for (const SectionCase& c : cases) {
        PageSetup setup;
        c.change(setup);
        EXPECT_EQ(section(setup), QString::fromUtf8(c.xml)) << c.name;
    }
}

TEST(PackageSettingsXml, DefaultsAndPageSetupFlags) {
    const QString compat = QStringLiteral(
        R"(<w:compat><w:compatSetting w:name="compatibilityMode" w:uri="http://schemas.microsoft.com/office/word" w:val="15"/>)"
        R"(<w:compatSetting w:name="overrideTableStyleFontSizeAndJustification" w:uri="http://schemas.microsoft.com/office/word" w:val="1"/>)"
        R"(<w:compatSetting w:name="enableOpenTypeFeatures" w:uri="http://schemas.microsoft.com/office/word" w:val="1"/>)"
        R"(<w:compatSetting w:name="doNotFlipMirrorIndents" w:uri="http://schemas.microsoft.com/office/word" w:val="1"/>)"
        R"(<w:compatSetting w:name="differentiateMultirowTableHeaders" w:uri="http://schemas.microsoft.com/office/word" w:val="1"/></w:compat>)");
    const QString tail =
        QStringLiteral(R"(<w:decimalSymbol w:val="."/><w:listSeparator w:val=","/></w:settings>)");
    EXPECT_EQ(QString::fromUtf8(package::settingsXml(PageSetup{})),
              kDecl + QStringLiteral("<w:settings ") + kW +
                  QStringLiteral(R"(><w:zoom w:percent="100"/><w:defaultTabStop w:val="720"/>)"
                                 R"(<w:characterSpacingControl w:val="doNotCompress"/>)") +
                  compat + tail + QStringLiteral("\n"));
    PageSetup all;
    all.mirrorMargins = all.oddAndEvenPagesHeaderFooter = all.bookFoldPrinting = true;
    all.bookFoldRevPrinting = all.twoPagesOnOne = true;
    all.bookFoldPrintingSheets = 8;
    all.gutterPos = GutterPosition::Top;
    EXPECT_EQ(
        between(package::settingsXml(all), "<w:zoom w:percent=\"100\"/>", "<w:compat>"),
        QStringLiteral(
            R"(<w:mirrorMargins/><w:gutterAtTop/><w:defaultTabStop w:val="720"/>)"
            R"(<w:evenAndOddHeaders/><w:bookFoldRevPrinting/><w:bookFoldPrinting/>)"
            R"(<w:bookFoldPrintingSheets w:val="8"/><w:characterSpacingControl w:val="doNotCompress"/>)"
            R"(<w:printTwoOnOne/>)"));
}

TEST(PackageStylesXml, DefaultsAndTableStyles) {
    const QString border =
        QStringLiteral(R"( w:val="single" w:sz="4" w:space="0" w:color="auto"/>)");
    const QString margins = QStringLiteral(
        R"(<w:tblCellMar><w:top w:w="0" w:type="dxa"/><w:left w:w="108" w:type="dxa"/>)"
        R"(<w:bottom w:w="0" w:type="dxa"/><w:right w:w="108" w:type="dxa"/></w:tblCellMar>)");
    const QString expected =
        kDecl + QStringLiteral("<w:styles ") + kW +
        QStringLiteral(
            R"(><w:docDefaults><w:rPrDefault><w:rPr><w:rFonts w:ascii="Arial" w:hAnsi="Arial" w:cs="Arial" w:eastAsia="Arial"/>)"
            R"(<w:sz w:val="22"/><w:szCs w:val="22"/><w:lang w:val="en-US" w:eastAsia="en-US" w:bidi="ar-SA"/></w:rPr></w:rPrDefault>)"
            R"(<w:pPrDefault><w:pPr><w:widowControl w:val="0"/><w:spacing w:before="0" w:after="0" w:line="240" w:lineRule="auto"/>)"
            R"(<w:ind w:left="0" w:right="0" w:firstLine="0"/></w:pPr></w:pPrDefault></w:docDefaults>)"
            R"(<w:style w:type="paragraph" w:default="1" w:styleId="Normal"><w:name w:val="Normal"/><w:qFormat/></w:style>)"
            R"(<w:style w:type="character" w:default="1" w:styleId="DefaultParagraphFont"><w:name w:val="Default Paragraph Font"/>)"
            R"(<w:uiPriority w:val="1"/><w:semiHidden/><w:unhideWhenUsed/></w:style>)"
            R"(<w:style w:type="table" w:default="1" w:styleId="TableNormal"><w:name w:val="Normal Table"/>)"
            R"(<w:uiPriority w:val="99"/><w:semiHidden/><w:unhideWhenUsed/><w:tblPr><w:tblInd w:w="0" w:type="dxa"/>)") +
        margins +
        QStringLiteral(
            R"(</w:tblPr></w:style><w:style w:type="table" w:styleId="TableGrid"><w:name w:val="Table Grid"/>)"
            R"(<w:basedOn w:val="TableNormal"/><w:uiPriority w:val="39"/><w:pPr><w:spacing w:after="0" w:line="240" w:lineRule="auto"/></w:pPr>)"
            R"(<w:tblPr><w:tblBorders>)") +
        QStringLiteral("<w:top") + border + QStringLiteral("<w:left") + border +
        QStringLiteral("<w:bottom") + border + QStringLiteral("<w:right") + border +
        QStringLiteral("<w:insideH") + border + QStringLiteral("<w:insideV") + border +
        QStringLiteral("</w:tblBorders></w:tblPr></w:style></w:styles>\n");
    EXPECT_EQ(QString::fromUtf8(package::stylesXml()), expected);
}

TEST(PackageOtherParts, ExactXml) {
    const QString ct = QStringLiteral("ContentType=\"application/vnd.openxmlformats-");
    struct Case {
        const char* name;
        QByteArray actual;
        QString expected;
    };
    const std::vector<Case> cases = {
        {"content types", package::contentTypesXml(),
         kDecl +
             QStringLiteral(
                 R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
                 R"(<Default Extension="rels" )") +
             ct +
             QStringLiteral(R"(package.relationships+xml"/>)"
                            R"(<Default Extension="xml" ContentType="application/xml"/>)"
                            R"(<Override PartName="/word/document.xml" )") +
             ct +
             QStringLiteral(R"(officedocument.wordprocessingml.document.main+xml"/>)"
                            R"(<Override PartName="/word/styles.xml" )") +
             ct +
             QStringLiteral(R"(officedocument.wordprocessingml.styles+xml"/>)"
                            R"(<Override PartName="/word/settings.xml" )") +
             ct +
             QStringLiteral(R"(officedocument.wordprocessingml.settings+xml"/>)"
                            R"(<Override PartName="/docProps/core.xml" )") +
             ct +
             QStringLiteral(
                 R"(package.core-properties+xml"/><Override PartName="/docProps/app.xml" )") +
             ct + QStringLiteral(R"(officedocument.extended-properties+xml"/></Types>)")},
        {"package relationships", package::rootRelationshipsXml(),
         kDecl +
             QStringLiteral(
                 R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
                 R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="word/document.xml"/>)"
                 R"(<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties" Target="docProps/core.xml"/>)"
                 R"(<Relationship Id="rId3" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/extended-properties" Target="docProps/app.xml"/>)"
                 R"(</Relationships>)")},
        {"document relationships", package::documentRelationshipsXml(),
         kDecl +
             QStringLiteral(
                 R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
                 R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/>)"
                 R"(<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/settings" Target="settings.xml"/>)"
                 R"(</Relationships>)")},
        {"application properties", package::appPropertiesXml(3),
         kDecl +
             QStringLiteral(
                 R"(<Properties xmlns="http://schemas.openxmlformats.org/officeDocument/2006/extended-properties" )"
                 R"(xmlns:vt="http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes"><Template>Normal.dotm</Template>)"
                 R"(<TotalTime>0</TotalTime><Pages>3</Pages><Application>Vantorel</Application><DocSecurity>0</DocSecurity></Properties>)")},
        {"core properties",
         package::corePropertiesXml(QDateTime(QDate(2026, 12, 7), QTime(21, 5, 9), Qt::UTC)),
         kDecl +
             QStringLiteral(
                 R"(<cp:coreProperties xmlns:cp="http://schemas.openxmlformats.org/package/2006/metadata/core-properties" )"
                 R"(xmlns:dc="http://purl.org/dc/elements/1.1/" xmlns:dcterms="http://purl.org/dc/terms/" )"
                 R"(xmlns:dcmitype="http://purl.org/dc/dcmitype/" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">)"
                 R"(<dc:creator>Vantorel</dc:creator><cp:lastModifiedBy>Vantorel</cp:lastModifiedBy><cp:revision>1</cp:revision>)"
                 R"(<dcterms:created xsi:type="dcterms:W3CDTF">2026-12-07T21:05:09Z</dcterms:created>)"
                 R"(<dcterms:modified xsi:type="dcterms:W3CDTF">2026-12-07T21:05:09Z</dcterms:modified></cp:coreProperties>)")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(QString::fromUtf8(c.actual), c.expected + u'\n') << c.name;
    EXPECT_TRUE(package::appPropertiesXml(0).contains("<Pages>1</Pages>"))
        << "a document has a page";
}

TEST(PackageZip, EntriesAreRegularFilesInOrder) {
    const auto parts = package::packageParts(billOfSale(), 2, QDateTime::currentDateTimeUtc());
    const std::vector<CentralEntry> entries = centralDirectory(package::zipParts(parts));
    const QStringList expected = {
        QStringLiteral("[Content_Types].xml"), QStringLiteral("_rels/.rels"),
        QStringLiteral("word/document.xml"),   QStringLiteral("word/_rels/document.xml.rels"),
        QStringLiteral("word/styles.xml"),     QStringLiteral("word/settings.xml"),
        QStringLiteral("docProps/core.xml"),   QStringLiteral("docProps/app.xml")};
    ASSERT_EQ(entries.size(), size_t(expected.size()));
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].name, expected[qsizetype(i)]);
        EXPECT_EQ(entries[i].madeBySystem, 3) << "made on Unix";
        EXPECT_EQ(entries[i].externalAttributes, 0100644u << 16) << "regular file, rw-r--r--";
    }
}

// A thread keeps the parts it compressed last: a package zipped after others must be the one a
// fresh thread zips, whether its parts are new, kept, changed under the same name, or too large
// to keep, and read back as given.
TEST(PackageZip, KeptPartsGiveTheBytesOfAFreshZip) {
    const QDateTime when = QDateTime::fromSecsSinceEpoch(0, Qt::UTC);
    const auto bill = package::packageParts(billOfSale(), 2, when);
    Document landscape = billOfSale();
    landscape.pageSetup.orientation = PageOrientation::Landscape;
    auto large = package::packageParts(landscape, 3, when.addSecs(1));
    large[2].data += QByteArray(100 * 1024, ' ');
    const std::vector<std::pair<const char*, std::vector<package::PackagePart>>> runs = {
        {"first", bill}, {"again", bill}, {"changed and large", large}, {"back", bill}};
    for (const auto& [name, parts] : runs) {
        const QByteArray zipped = package::zipParts(parts);
        QByteArray fresh;
        std::thread([&, &parts = parts] { fresh = package::zipParts(parts); }).join();
        EXPECT_EQ(zipped, fresh) << name;
        package::PackageZipReader reader(zipped, QStringLiteral("kept.doc"), {});
        for (const package::PackagePart& part : parts)
            EXPECT_EQ(reader.read(part.name), part.data) << name << ' ' << part.name.toStdString();
    }
}

// The part writer writes what QXmlStreamWriter writes, call for call: text and attribute
// values with every character that is escaped, dropped or encoded in more than one byte.
TEST(PartWriter, WritesWhatQtsWriterWrites) {
    const QString texts[] = {
        QString(),
        QStringLiteral("plain"),
        QStringLiteral("<a & \"b\" > 'c'>"),
        QStringLiteral("tab\tline\ncr\rvt\vff\fnul") + QChar(0) + QChar(0x1F),
        QStringLiteral("Zo\u00eb \u6771\u4eac \U0001F600 \uFFFD") + QChar(0xFFFE) + QChar(0xFFFF),
        QStringLiteral("  ]]> padded  "),
        QString(4095, u'x') + QStringLiteral("\U0001F600 a pair across 4 K characters"),
    };
    for (const QString& text : texts) {
        QByteArray expected;
        QXmlStreamWriter qt(&expected);
        qt.writeStartDocument(QStringLiteral("1.0"), true);
        package::PartWriter ours;
        const auto both = [&](auto&& write) {
            write(qt);
            write(ours);
        };
        both([&](auto& xml) {
            xml.writeStartElement(QStringLiteral("w:document"));
            xml.writeDefaultNamespace(QStringLiteral("urn:x"));
            xml.writeEmptyElement(QStringLiteral("w:e"));
            xml.writeAttribute(QStringLiteral("w:val"), text);
            xml.writeStartElement(QStringLiteral("w:t"));
            xml.writeEndElement();
            xml.writeTextElement(QStringLiteral("w:t"), text);
            xml.writeStartElement(QStringLiteral("w:p"));
            xml.writeEmptyElement(QStringLiteral("w:tab"));
            xml.writeEndDocument();
        });
        EXPECT_EQ(ours.take(), expected) << text.toStdString();
    }
}

} // namespace
