// Saving and opening again: the model survives, the second save writes the same
// document.xml, and saving is atomic.
#include "EngineError.h"
#include "Package.h"
#include "PackageReader.h"
#include "PackageXml.h"
#include "PackageZipReader.h"
#include "package_test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace wordengine;
using namespace packagetest;

namespace {

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray documentXmlOf(const QString& path) {
    package::PackageZipReader zip(fileBytes(path), path, {});
    return zip.read(QStringLiteral("word/document.xml"));
}

struct RoundTripCase {
    const char* name;
    Document document;
};

std::vector<RoundTripCase> roundTripCases() {
    std::vector<RoundTripCase> cases;
    cases.push_back({"a new document", Document{}});
    cases.push_back({"the bill of sale", billOfSale()});

    Document runs;
    runs.body = {
        paragraph({{QStringLiteral("plain "), format(11)},
                   {QString(), format(9)}, // empty runs survive
                   {QStringLiteral("\tTimes\t"),
                    format(10.5, true, Underline::Double, QStringLiteral("Times New Roman"))},
                   {QStringLiteral(" wave "), format(72, false, Underline::Wavy)},
                   {QStringLiteral("ゴシック 😀"),
                    format(1638, false, Underline::Dotted, QStringLiteral("MS ゴシック"))}},
                  ParagraphAlignment::Justify,
                  format(20, true, Underline::Single, QStringLiteral("Courier New"))),
        paragraph({{QStringLiteral("right"), format(11)}}, ParagraphAlignment::Right)};
    cases.push_back({"run formatting of every kind", runs});

    Document tables;
    Table exact = table(3, 3);
    exact.format.heightRule = RowHeightRule::Exactly;
    exact.format.height = 30.5;
    exact.format.applyStyleHeadingRows = false;
    exact.format.applyStyleLastColumn = true;
    exact.rows[1].cells[2].verticalAlignment = CellVerticalAlignment::Bottom;
    exact.rows[2].cells[0].paragraphs = {
        paragraph({{QStringLiteral("one"), format(8)}}),
        paragraph({}, ParagraphAlignment::Center, format(14, true))};
    Table plain = table(1, 1, QString());
    tables.body = {exact, Paragraph{}, plain, paragraph({{QStringLiteral("after"), format(11)}})};
    cases.push_back({"tables starting the body, without style, exact heights", tables});

    const std::vector<void (*)(PageSetup&)> setups = {
        [](PageSetup& s) {
            s.orientation = PageOrientation::Landscape;
            std::swap(s.pageWidth, s.pageHeight);
            s.firstPageTray = 260;
            s.otherPagesTray = 15;
            s.sectionStart = SectionStart::OddPage;
            s.verticalAlignment = PageVerticalAlignment::Justify;
            s.lineNumberingActive = true;
            s.gutter = 36;
            s.gutterPos = GutterPosition::Right;
        },
        [](PageSetup& s) {
            s.mirrorMargins = s.twoPagesOnOne = s.suppressEndnotes = true;
            s.oddAndEvenPagesHeaderFooter = s.differentFirstPageHeaderFooter = true;
            s.bookFoldPrinting = s.bookFoldRevPrinting = true;
            s.bookFoldPrintingSheets = 8;
            s.gutterPos = GutterPosition::Top;
            s.gutter = 18;
            s.topMargin = 50.5;
            s.headerDistance = 20.25;
            s.footerDistance = 0;
        },
    };
    for (auto change : setups) {
        Document d;
        change(d.pageSetup);
        cases.push_back({"page setup", d});
    }
    return cases;
}

TEST(PackageRoundTrip, OpenGivesTheSameModelAndSaveTheSameXml) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const RoundTripCase& c : roundTripCases()) {
        const QString first = dir.filePath(QStringLiteral("first.doc"));
        const QString second = dir.filePath(QStringLiteral("second.docx"));
        savePackage(c.document, 2, first);
        const Document opened = openPackage(first);
        EXPECT_EQ(opened, c.document) << c.name;
        savePackage(opened, 2, second);
        EXPECT_EQ(documentXmlOf(first), documentXmlOf(second)) << c.name;
    }
}

TEST(PackageRoundTrip, TextXmlCannotHoldIsLeftOut) {
    QTemporaryDir dir;
    const QString bad = QStringLiteral("a") + QChar(0x0B) + QChar(0xDFFF) + QStringLiteral("b") +
                        QChar(0xD800) + QChar(0x1F) + QChar(0xFFFF) + QStringLiteral(" c ");
    Document d;
    d.body = {paragraph({{bad, format(11)}}),
              paragraph({}, ParagraphAlignment::Left, format(11, false, Underline::None, bad))};
    const QString path = dir.filePath(QStringLiteral("bad.doc"));
    savePackage(d, 1, path);
    const Document opened = openPackage(path);
    const auto& first = std::get<Paragraph>(opened.body[0]);
    // The vertical tab is Word's line break: kept, as a break, in the text; left out of a
    // font name, where it can mean nothing.
    EXPECT_EQ(first.text(), QStringLiteral("a\vb c "));
    EXPECT_EQ(std::get<Paragraph>(opened.body[1]).markFormat.fontName, QStringLiteral("ab c "));
    const QString again = dir.filePath(QStringLiteral("again.doc"));
    savePackage(opened, 1, again);
    EXPECT_EQ(documentXmlOf(path), documentXmlOf(again));
}

// A link at the target is written through: the file it names gets the document, the link
// stays.
TEST(PackageSave, WritesThroughALinkAtTheTarget) {
    QTemporaryDir dir;
    const QString named = dir.filePath(QStringLiteral("named.doc"));
    const QString target = dir.filePath(QStringLiteral("out.doc"));
    {
        QFile f(named);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("old");
    }
    ASSERT_TRUE(QFile::link(named, target));
    savePackage(Document{}, 1, target);
    EXPECT_TRUE(QFileInfo(target).isSymLink());
    EXPECT_EQ(openPackage(named), Document{});
}

TEST(PackageSave, OverwritesKeepingPermissionsAndLeavesNoTemporaryFile) {
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("out.doc"));
    {
        QFile f(target);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("old content");
    }
    const QFile::Permissions privateFile = QFile::ReadOwner | QFile::WriteOwner;
    ASSERT_TRUE(QFile::setPermissions(target, privateFile));
    savePackage(billOfSale(), 1, target);
    EXPECT_EQ(openPackage(target), billOfSale());
    EXPECT_EQ(QFile::permissions(target) & 0x7077, privateFile); // owner, group, others
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("out.doc")});
}

struct SaveFailureCase {
    const char* name;
    QString (*target)(const QTemporaryDir&);
};

TEST(PackageSave, FailuresSayWhyAndLeaveNothingBehind) {
    const std::vector<SaveFailureCase> cases = {
        {"folder that does not exist",
         [](const QTemporaryDir& d) { return d.filePath(QStringLiteral("missing/out.doc")); }},
        {"parent is a file",
         [](const QTemporaryDir& d) {
             QFile f(d.filePath(QStringLiteral("plain")));
             f.open(QIODevice::WriteOnly);
             return d.filePath(QStringLiteral("plain/out.doc"));
         }},
        {"target is a folder",
         [](const QTemporaryDir& d) {
             QDir(d.path()).mkdir(QStringLiteral("out.doc"));
             return d.filePath(QStringLiteral("out.doc"));
         }},
        {"empty name", [](const QTemporaryDir&) { return QString(); }},
    };
    for (const SaveFailureCase& c : cases) {
        QTemporaryDir dir;
        const QString target = c.target(dir);
        const QStringList before =
            QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        try {
            savePackage(Document{}, 1, target);
            ADD_FAILURE() << c.name << ": saved";
        } catch (const EngineError& e) {
            EXPECT_TRUE(
                e.description().startsWith(QStringLiteral("The document could not be saved")))
                << c.name << ": " << e.what();
            EXPECT_TRUE(e.description().contains(QDir::toNativeSeparators(target))) << c.name;
        }
        EXPECT_EQ(
            QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            before)
            << c.name;
    }
}

TEST(PackageSave, UnwritableFolder) {
    // No one, the superuser included, may create files in /proc.
    EXPECT_THROW(savePackage(Document{}, 1, QStringLiteral("/proc/vantorel-package-test.doc")),
                 EngineError);
    if (::geteuid() == 0)
        GTEST_SKIP() << "the superuser may write into any other folder";
    QTemporaryDir dir;
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
    const QString target = dir.filePath(QStringLiteral("out.doc"));
    EXPECT_THROW(savePackage(Document{}, 1, target), EngineError);
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_TRUE(QDir(dir.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

// Packages from other writers: other prefixes, containers around runs, revisions, styles
// the text inherits, and structures the model must repair.
struct ForeignCase {
    const char* name;
    const char* body; // inside <x:body> of a document whose prefix is x
    void (*check)(const Document&);
};

const Paragraph& para(const Document& d, size_t i) {
    return std::get<Paragraph>(d.body.at(i));
}

TEST(PackageReader, ForeignDocuments) {
    const std::vector<ForeignCase> cases = {
        {"containers are read through, deletions and unknown elements skipped",
         R"(<x:p><x:bookmarkStart x:id="0"/><x:hyperlink><x:r><x:t>a</x:t></x:r></x:hyperlink>)"
         R"(<x:ins><x:r><x:t xml:space="preserve">b </x:t></x:r></x:ins><x:del><x:r><x:delText>gone</x:delText></x:r></x:del>)"
         R"(<x:foo><x:r><x:t>hidden</x:t></x:r></x:foo><x:r><x:br/></x:r><x:r><x:lastRenderedPageBreak/><x:t>c</x:t></x:r></x:p>)",
         [](const Document& d) {
             ASSERT_EQ(d.body.size(), 1u);
             // A line break is the model's vertical tab.
             EXPECT_EQ(para(d, 0).text(), QStringLiteral("ab \vc"));
             EXPECT_EQ(para(d, 0).runs.size(), 4u);
         }},
        {"inherited formatting comes from the styles", R"(<x:p><x:r><x:t>t</x:t></x:r></x:p>)",
         [](const Document& d) {
             EXPECT_EQ(para(d, 0).runs.at(0).format,
                       format(12, true, Underline::None, QStringLiteral("Times New Roman")));
             EXPECT_EQ(para(d, 0).markFormat,
                       format(12, true, Underline::None, QStringLiteral("Times New Roman")));
         }},
        {"units and on/off spellings",
         R"(<x:p><x:pPr><x:jc x:val="end"/></x:pPr><x:r><x:rPr><x:rFonts x:hAnsi="Calibri"/><x:b x:val="false"/><x:sz x:val="9pt"/><x:u/></x:rPr><x:t>u</x:t></x:r></x:p>)"
         R"(<x:sectPr><x:pgSz x:w="8.5in" x:h="11in"/><x:pgMar x:top="2.54cm" x:left="1440" x:right="1440" x:bottom="1440"/></x:sectPr>)",
         [](const Document& d) {
             EXPECT_EQ(para(d, 0).alignment, ParagraphAlignment::Right);
             EXPECT_EQ(para(d, 0).runs.at(0).format,
                       format(9, false, Underline::Single, QStringLiteral("Calibri")));
             EXPECT_DOUBLE_EQ(d.pageSetup.pageWidth, 612);
             EXPECT_NEAR(d.pageSetup.topMargin, 72, 1e-9);
         }},
        {"tables are repaired to the model's rules",
         R"(<x:tbl><x:tblPr><x:tblStyle x:val="TableGrid"/><x:tblLook x:val="0460"/></x:tblPr>)"
         R"(<x:tr><x:trPr><x:trHeight x:val="400"/></x:trPr><x:tc><x:p/></x:tc><x:tc><x:p/></x:tc></x:tr>)"
         R"(<x:tr><x:tc><x:tbl><x:tr><x:tc><x:p><x:r><x:t>nested</x:t></x:r></x:p></x:tc></x:tr></x:tbl></x:tc></x:tr></x:tbl>)"
         R"(<x:tbl><x:tr><x:tc><x:p/></x:tc></x:tr></x:tbl><x:tbl/>)",
         [](const Document& d) {
             ASSERT_EQ(d.body.size(), 4u);
             const Table& t = std::get<Table>(d.body[0]);
             EXPECT_EQ(t.format.style, QStringLiteral("Table Grid"));
             EXPECT_TRUE(t.format.applyStyleHeadingRows);
             EXPECT_TRUE(t.format.applyStyleLastRow);
             EXPECT_FALSE(t.format.applyStyleFirstColumn);
             EXPECT_EQ(t.format.heightRule, RowHeightRule::AtLeast) << "no rule means at least";
             EXPECT_DOUBLE_EQ(t.format.height, 20);
             EXPECT_EQ(t.columns, 2);
             ASSERT_EQ(t.rows.at(1).cells.size(), 2u);
             EXPECT_EQ(t.rows[1].cells[0].paragraphs.size(), 1u) << "a nested table is skipped";
             EXPECT_TRUE(std::holds_alternative<Paragraph>(d.body[1]));
             EXPECT_TRUE(std::holds_alternative<Table>(d.body[2]));
             EXPECT_TRUE(std::holds_alternative<Paragraph>(d.body[3]));
         }},
    };
    const QByteArray styles =
        R"(<w:styles xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main">)"
        R"(<w:docDefaults><w:rPrDefault><w:rPr><w:rFonts w:ascii="Times New Roman"/><w:sz w:val="24"/></w:rPr></w:rPrDefault></w:docDefaults>)"
        R"(<w:style w:type="paragraph" w:default="1" w:styleId="Normal"><w:rPr><w:b/></w:rPr></w:style></w:styles>)";
    for (const ForeignCase& c : cases) {
        const QByteArray xml =
            QByteArray(
                R"(<?xml version="1.0"?><x:document xmlns:x="http://schemas.openxmlformats.org/wordprocessingml/2006/main"><x:body>)") +
            c.body + "</x:body></x:document>";
        const QByteArray bytes = zipOf({{QStringLiteral("word/document.xml"), xml},
                                        {QStringLiteral("word/styles.xml"), styles}});
        SCOPED_TRACE(c.name);
        c.check(package::readPackage(bytes, QStringLiteral("foreign.docx")));
    }
}

TEST(PackageReader, StrictNamespaceAndRelationshipTargets) {
    const QByteArray xml =
        R"(<w:document xmlns:w="http://purl.oclc.org/ooxml/wordprocessingml/main"><w:body>)"
        R"(<w:p><w:r><w:t>strict</w:t></w:r></w:p></w:body></w:document>)";
    const QByteArray rels =
        R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
        R"(<Relationship Id="a" Type="http://purl.oclc.org/ooxml/officeDocument/relationships/officeDocument" Target="/main/doc%20one.xml"/>)"
        R"(</Relationships>)";
    const Document d = package::readPackage(
        zipOf({{QStringLiteral("_rels/.rels"), rels}, {QStringLiteral("main/doc one.xml"), xml}}),
        QStringLiteral("s.docx"));
    EXPECT_EQ(para(d, 0).text(), QStringLiteral("strict"));
    EXPECT_EQ(
        package::relationshipTarget(rels, QStringLiteral("x/y.xml"), QLatin1StringView("/none")),
        QString());
}

} // namespace

namespace {

// What the writer makes, the reader opens: long values of ordinary words compress several
// hundred times, which is no sign of a zip bomb.
TEST(PackageRoundTrip, LongValuesOfPlainWordsOpenAgain) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString words = QStringLiteral("the quick brown fox jumps over the lazy dog ");
    Document sixteen, tenMegabytes;
    for (int i = 0; i < 16; ++i)
        sixteen.body.push_back(paragraph({{QString(1 << 20, QLatin1Char('a' + i)), format(11)}}));
    tenMegabytes.body = {paragraph({{words.repeated((10 << 20) / words.size()), format(11)}})};
    int n = 0;
    for (const Document* document : {&sixteen, &tenMegabytes}) {
        const QString path = dir.filePath(QStringLiteral("long%1.doc").arg(++n));
        savePackage(*document, 1, path);
        try {
            const Document back = openPackage(path);
            EXPECT_EQ(back.body.size(), document->body.size());
        } catch (const std::exception& e) {
            ADD_FAILURE() << n << ": " << e.what();
        }
    }
}

} // namespace
