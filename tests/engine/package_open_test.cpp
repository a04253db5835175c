// Files that are not sound packages: every one fails with a description of what is wrong,
// and none crashes or exhausts memory.
#include "EngineError.h"
#include "Package.h"
#include "PackageReader.h"
#include "package_test_support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace wordengine;
using namespace packagetest;

namespace {

const QByteArray kW = "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"";

QByteArray goodPackage() {
    return packageWith(QStringLiteral("docProps/app.xml"), package::appPropertiesXml(1),
                       billOfSale());
}

QByteArray documentWithBody(const QByteArray& body) {
    return "<w:document " + kW + "><w:body>" + body + "</w:body></w:document>";
}

// The package with the compressed data of word/document.xml damaged.
QByteArray damagedDeflate() {
    QByteArray bytes = goodPackage();
    const qsizetype header = bytes.indexOf("PK\x03\x04", bytes.indexOf("_rels/.rels"));
    const qsizetype data = header + 30 + 17 /* name */ + qsizetype(little(bytes, header + 28, 2));
    for (qsizetype i = data + 20; i < data + 60; ++i)
        bytes[i] = char(bytes[i] ^ 0x5A);
    return bytes;
}

struct BadFile {
    const char* name;
    QByteArray bytes;
    QByteArray message; // the description contains this
    package::PackageLimits limits = {};
};

std::vector<BadFile> badFiles() {
    const QByteArray good = goodPackage();
    package::PackageLimits fewEntries, smallParts, smallFile, fewItems, smallTotal;
    smallTotal.maxTotalSize = 8 << 20;
    package::PackageLimits fewItems1000;
    fewItems1000.maxItems = 1000;
    fewEntries.maxEntries = 7;
    smallParts.maxPartSize = 1000;
    smallFile.maxFileSize = 1000;
    fewItems.maxItems = 10;
    package::PackageLimits smallText, littleMarkup;
    smallText.maxCharacters = 1000;
    littleMarkup.maxCharacters = 1000;
    littleMarkup.maxItems = 0;
    const auto inDocument = [](const QByteArray& body) {
        return packageWith(QStringLiteral("word/document.xml"), documentWithBody(body));
    };
    const QString utf16 = QString::fromUtf8(
        documentWithBody("<w:p><w:r><w:t>" + QByteArray(1001, 'a') + "</w:t></w:r></w:p>"));
    const QByteArray utf16Bytes =
        "\xFF\xFE" + QByteArray(reinterpret_cast<const char*>(utf16.utf16()), utf16.size() * 2);
    QByteArray namespaces = "<Relationships";
    for (int i = 0; i <= 128; ++i)
        namespaces += " xmlns:n" + QByteArray::number(i) + "=\"u\"";
    QByteArray attributes = "<w:p";
    for (int i = 0; i <= 128; ++i)
        attributes += " a" + QByteArray::number(i) + "=\"1\"";
    QByteArray wide = "<w:tbl><w:tr>";
    for (int i = 0; i < 64; ++i)
        wide += "<w:tc><w:p/></w:tc>";
    wide += "</w:tr></w:tbl>";
    return {
        {"empty", QByteArray(), "is empty."},
        {"plain text", "Motor Vehicle Bill of Sale\r\n",
         "is not a Word document (not a zip package)."},
        {"a PDF", "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n1 0 obj\n",
         "is not a Word document (not a zip package)."},
        {"cut in half", good.left(good.size() / 2),
         "appears to be corrupted: the zip package is truncated or damaged."},
        {"last bytes missing", good.chopped(5),
         "appears to be corrupted: the zip package is truncated or damaged."},
        {"only the first header", good.left(40),
         "appears to be corrupted: the zip package is truncated or damaged."},
        {"damaged compressed data", damagedDeflate(),
         "appears to be corrupted: word/document.xml is damaged"},
        {"no main document",
         zipOf({{QStringLiteral("[Content_Types].xml"), package::contentTypesXml()}}),
         "is not a Word document (it has no word/document.xml)."},
        {"relationship to a missing part",
         packageWith(
             QStringLiteral("_rels/.rels"),
             R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
             R"(<Relationship Id="s" Type="x/officeDocument" Target="word/none.xml"/></Relationships>)"),
         "is not a Word document (it has no word/none.xml)."},
        {"malformed relationships",
         packageWith(QStringLiteral("_rels/.rels"), "<Relationships><Relationship"),
         "appears to be corrupted: _rels/.rels, line 1, column"},
        {"cut-off document.xml",
         packageWith(QStringLiteral("word/document.xml"),
                     documentWithBody("<w:p><w:r>").chopped(30)),
         "appears to be corrupted: word/document.xml, line 1, column"},
        {"mismatched tags",
         packageWith(QStringLiteral("word/document.xml"), documentWithBody("<w:p></w:r>")),
         "appears to be corrupted: word/document.xml, line 1, column"},
        {"not WordprocessingML",
         packageWith(QStringLiteral("word/document.xml"), "<html><body/></html>"),
         "appears to be corrupted: word/document.xml, the main part is not a WordprocessingML "
         "document."},
        {"empty document.xml", packageWith(QStringLiteral("word/document.xml"), QByteArray()),
         "appears to be corrupted: word/document.xml, "},
        {"entity expansion",
         packageWith(
             QStringLiteral("word/document.xml"),
             R"(<?xml version="1.0"?><!DOCTYPE d [<!ENTITY a "aaaaaaaaaa"><!ENTITY b "&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;">]>)" +
                 documentWithBody("<w:p><w:r><w:t>&b;</w:t></w:r></w:p>")),
         "a document type declaration is not allowed"},
        {"malformed styles",
         packageWith(QStringLiteral("word/styles.xml"), "<w:styles " + kW + "><w:style>"),
         "appears to be corrupted: word/styles.xml, line 1, column"},
        {"malformed settings",
         packageWith(QStringLiteral("word/settings.xml"),
                     "<w:settings " + kW + "><w:zoom></w:settings>"),
         "appears to be corrupted: word/settings.xml, line 1, column"},
        {"a table wider than Word allows",
         packageWith(QStringLiteral("word/document.xml"), documentWithBody(wide)),
         "a table has 64 columns; Word allows at most 63."},
        {"margins leave no room for text",
         packageWith(
             QStringLiteral("word/document.xml"),
             documentWithBody(
                 R"(<w:p/><w:sectPr><w:pgSz w:w="12240" w:h="15840"/><w:pgMar w:left="6000" w:right="6000" w:top="0" w:bottom="0"/></w:sectPr>)")),
         "the page margins leave no room for text."},
        {"zip bomb", packageWith(QStringLiteral("word/document.xml"), QByteArray(32 << 20, ' ')),
         "is too large to open: its contents would take more than 8.0 MB.", smallTotal},
        {"a Word 97-2003 document",
         QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1") + QByteArray(4096, '\0'),
         "is a Word 97\xE2\x80\x93"
         "2003 document, which this program does not read."},
        {"too many fonts", packageWith(QStringLiteral("word/document.xml"), documentWithBody([] {
                                           QByteArray runs = "<w:p>";
                                           for (int i = 0; i <= 256; ++i)
                                               runs += "<w:r><w:rPr><w:rFonts w:ascii=\"F" +
                                                       QByteArray::number(i) +
                                                       "\"/></w:rPr><w:t>x</w:t></w:r>";
                                           return runs + "</w:p>";
                                       }())),
         "the document uses more than 256 fonts"},
        {"empty rows count",
         packageWith(QStringLiteral("word/document.xml"),
                     documentWithBody("<w:tbl>" + QByteArray(2000, 'x').replace("x", "<w:tr/>") +
                                      "</w:tbl><w:p/>")),
         "more paragraphs, runs, rows and cells than the engine can keep", fewItems1000},
        {"a page of no size",
         packageWith(QStringLiteral("word/document.xml"),
                     documentWithBody(R"(<w:p/><w:sectPr><w:pgSz w:w="0" w:h="0"/></w:sectPr>)")),
         "the page size is invalid"},
        {"too many entries", good, "it holds 8 entries, more than the 7 a document may have.",
         fewEntries},
        {"part too large", good,
         "is too large to open: word/styles.xml would take 1866 bytes (at most 1000 bytes).",
         smallParts},
        {"file too large", good,
         "is too large to open (" + QByteArray::number(goodPackage().size()) +
             " bytes; at most 1000 bytes).",
         smallFile},
        {"too many paragraphs", good,
         "more paragraphs, runs, rows and cells than the engine can keep", fewItems},
        {"a run past the character bound",
         inDocument("<w:p><w:r><w:t>" + QByteArray(1001, 'a') + "</w:t></w:r></w:p>"),
         "is too large to open: word/document.xml, line 1: its text holds more than 1000 "
         "characters, more than a document may have.",
         smallText},
        {"tabs and breaks are characters too",
         inDocument("<w:p><w:r><w:t>a</w:t>" + QByteArray("<w:tab/><w:br/>").repeated(500) +
                    "</w:r></w:p>"),
         "is too large to open: word/document.xml, the document holds more than 1000 characters "
         "of text",
         smallText},
        {"white space between elements", inDocument("<w:p/>" + QByteArray(1001, ' ') + "<w:p/>"),
         "is too large to open: word/document.xml, line 1: its text holds more than 1000",
         smallText},
        {"a UTF-16 part", packageWith(QStringLiteral("word/document.xml"), utf16Bytes),
         "is too large to open: word/document.xml, line 1: its text holds more than 1000",
         smallText},
        {"an element with very many attributes", inDocument(attributes + "/>"),
         "appears to be corrupted: word/document.xml, line 1: an element carries more than 128 "
         "attributes."},
        {"very many namespaces", packageWith(QStringLiteral("_rels/.rels"), namespaces + "/>"),
         "appears to be corrupted: _rels/.rels, line 1: more than 128 namespace declarations are "
         "in force at once."},
        {"elements nested very deep", inDocument(QByteArray("<x>").repeated(1025)),
         "appears to be corrupted: word/document.xml, line 1: elements are nested more than 1024 "
         "deep."},
        {"more markup than a document of that size needs",
         inDocument(QByteArray("<x/>").repeated(1001)),
         "is too large to open: word/document.xml, line 1: it holds more than 1000 elements and "
         "attributes.",
         littleMarkup},
    };
}

TEST(PackageOpen, BadFilesFailWithADescription) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    int n = 0;
    for (const BadFile& bad : badFiles()) {
        const QString path = dir.filePath(QStringLiteral("bad%1.doc").arg(++n));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bad.bytes);
        f.close();
        try {
            package::openPackage(path, bad.limits);
            ADD_FAILURE() << bad.name << ": opened";
        } catch (const EngineError& e) {
            EXPECT_TRUE(e.description().contains(QString::fromUtf8(bad.message)))
                << bad.name << ": " << e.what();
            EXPECT_TRUE(e.description().startsWith(QStringLiteral("The file ") +
                                                   QDir::toNativeSeparators(path)))
                << bad.name << ": " << e.what();
        }
    }
}

TEST(PackageOpen, MissingFolderAndDevice) {
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("none.doc"));
    struct Case {
        QString path;
        QString message;
    };
    const std::vector<Case> cases = {
        {missing,
         QStringLiteral("The file could not be found: ") + QDir::toNativeSeparators(missing)},
        {QString(), QStringLiteral("The file could not be found: ")},
        {dir.path(), QStringLiteral("The file %1 is a folder, not a Word document.")
                         .arg(QDir::toNativeSeparators(dir.path()))},
        {QStringLiteral("/dev/zero"),
         QStringLiteral("The file /dev/zero is not a Word document (not a regular file).")},
    };
    for (const Case& c : cases) {
        try {
            openPackage(c.path);
            ADD_FAILURE() << c.path.toStdString() << ": opened";
        } catch (const EngineError& e) {
            EXPECT_EQ(e.description(), c.message);
        }
    }
}

TEST(PackageOpen, GoodPackageStillOpensUnderTheSameLimits) {
    EXPECT_EQ(package::readPackage(goodPackage(), QStringLiteral("good.doc")), billOfSale());
}

} // namespace
