// libFuzzer target for opening documents. The first byte picks what the rest is fed to: a
// whole package (the zip layer, its limits and every part), or one part's XML directly, so
// that mutations reach the XML readers without having to keep zip checksums right.
//
// Whatever opens must also survive the round trip: saving what was read and reading that
// again must give the same document.xml. A difference aborts, as a crash would.
//
// With VANTOREL_FUZZ_WRITE_SEEDS=<folder> in the environment the program writes its seed
// corpus there and ends; the test registration uses that to start from valid inputs.
#include "EngineError.h"
#include "PackageParts.h"
#include "PackageReader.h"

#include <QDir>
#include <QFile>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace wordengine;
using namespace wordengine::package;

namespace {

enum Mode : uint8_t { WholePackage, DocumentPart, StylesPart, SettingsPart, Modes };

// Small limits keep each input fast and its memory modest; the checks are the same.
PackageLimits fuzzLimits() {
    PackageLimits limits;
    limits.maxFileSize = 4 << 20;
    limits.maxPartSize = 16 << 20;
    limits.maxTotalSize = 32 << 20;
    limits.maxItems = 100000;
    limits.maxCharacters = 4096;
    // Few entries, so that packages refused before any part is read are common: the archive
    // must be given back then too, which the leak check sees.
    limits.maxEntries = 12;
    return limits;
}

void checkRoundTrip(const Document& opened) {
    const QByteArray first = documentXml(opened);
    Document again = readDocumentXml(first, StyleSheet{});
    readSettingsXml(settingsXml(opened.pageSetup), again.pageSetup);
    const QByteArray second = documentXml(again);
    if (first != second) {
        std::fprintf(stderr, "round trip changed document.xml:\n%s\n---\n%s\n", first.constData(),
                     second.constData());
        std::abort();
    }
}

Document sample() {
    Document d;
    Paragraph title;
    title.alignment = ParagraphAlignment::Center;
    title.runs = {{QStringLiteral("Motor Vehicle Bill of Sale"),
                   CharFormat{QStringLiteral("Arial"), 16, true, Underline::None}}};
    Paragraph text;
    text.runs = {{QStringLiteral("BE IT KNOWN "), CharFormat{}},
                 {QStringLiteral("  $1\t0  "),
                  CharFormat{QStringLiteral("Arial"), 11, false, Underline::Single}}};
    Table table;
    table.columns = 2;
    table.format.heightRule = RowHeightRule::AtLeast;
    table.format.height = 21.6;
    table.format.style = QStringLiteral("Table Grid");
    table.rows.assign(2, Row{std::vector<Cell>(2)});
    table.rows[0].cells[1].verticalAlignment = CellVerticalAlignment::Center;
    d.body = {title, text, table, Paragraph{}};
    d.pageSetup.gutterPos = GutterPosition::Right;
    d.pageSetup.firstPageTray = 3;
    return d;
}

void writeSeed(const QString& folder, const QString& name, Mode mode, const QByteArray& data) {
    QFile file(QDir(folder).filePath(name));
    if (file.open(QIODevice::WriteOnly)) {
        file.write(QByteArray(1, char(mode)) + data);
    }
}

void writeSeeds(const QString& folder) {
    QDir().mkpath(folder);
    const QDateTime when = QDateTime::fromSecsSinceEpoch(0, Qt::UTC);
    const Document documents[] = {Document{}, sample()};
    int n = 0;
    for (const Document& d : documents) {
        const QString suffix = QString::number(++n);
        writeSeed(folder, QStringLiteral("package") + suffix, WholePackage,
                  zipParts(packageParts(d, 1, when)));
        writeSeed(folder, QStringLiteral("document") + suffix, DocumentPart, documentXml(d));
        writeSeed(folder, QStringLiteral("settings") + suffix, SettingsPart,
                  settingsXml(d.pageSetup));
    }
    writeSeed(folder, QStringLiteral("styles"), StylesPart, stylesXml());
    // A package refused for the number of its entries, before any part is read.
    std::vector<PackagePart> many = packageParts(sample(), 1, when);
    for (int i = 0; many.size() <= size_t(fuzzLimits().maxEntries); ++i)
        many.push_back({QStringLiteral("extra/%1.xml").arg(i), "<x/>"});
    writeSeed(folder, QStringLiteral("many-entries"), WholePackage, zipParts(many));
    // Entries stored rather than deflated: the mutations then land in the XML itself.
    writeSeed(
        folder, QStringLiteral("strict"), DocumentPart,
        R"(<w:document xmlns:w="http://purl.oclc.org/ooxml/wordprocessingml/main"><w:body>)"
        R"(<w:sdt><w:sdtContent><w:p><w:hyperlink><w:r><w:t>x</w:t></w:r></w:hyperlink></w:p></w:sdtContent></w:sdt>)"
        R"(<w:tbl><w:tblPr><w:tblLook w:val="04A0"/></w:tblPr><w:tr><w:tc><w:tbl/></w:tc></w:tr></w:tbl>)"
        R"(<w:sectPr><w:pgSz w:w="8.5in" w:h="11in"/></w:sectPr></w:body></w:document>)");
    // What the scan before parsing steps over: declarations, a comment, an instruction, CDATA,
    // references; and the same part in UTF-16.
    const QString markup = QStringLiteral(
        R"(<?xml version="1.0"?><!-- c --><w:document xmlns:w="http://schemas.openxmlformats.org/)"
        R"(wordprocessingml/2006/main" xmlns:x='u'><w:body><?pi x?><w:p><w:r><w:t>&amp;&#x1F600;)"
        R"(<![CDATA[<]]>é</w:t></w:r></w:p><x:y x:a="&gt;"/></w:body></w:document>)");
    writeSeed(folder, QStringLiteral("markup"), DocumentPart, markup.toUtf8());
    writeSeed(folder, QStringLiteral("markup-utf16"), DocumentPart,
              "\xFF\xFE" +
                  QByteArray(reinterpret_cast<const char*>(markup.utf16()), markup.size() * 2));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const QByteArray seeds = qgetenv("VANTOREL_FUZZ_WRITE_SEEDS");
    if (!seeds.isEmpty()) {
        writeSeeds(QString::fromLocal8Bit(seeds));
        std::exit(0);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const Mode mode = Mode(data[0] % Modes);
    const QByteArray input =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    try {
        switch (mode) {
        case WholePackage:
            checkRoundTrip(readPackage(input, QStringLiteral("fuzz.docx"), fuzzLimits()));
            break;
        case DocumentPart:
            checkRoundTrip(readDocumentXml(input, StyleSheet{}, fuzzLimits()));
            break;
        case StylesPart: {
            Document d;
            d.body = {Paragraph{}};
            std::get<Paragraph>(d.body[0]).markFormat = readStylesXml(input, fuzzLimits()).base;
            checkRoundTrip(d);
            break;
        }
        case SettingsPart:
        default: {
            Document d;
            readSettingsXml(input, d.pageSetup, fuzzLimits());
            relationshipTarget(input, QStringLiteral("word/document.xml"),
                               QLatin1StringView("/styles"), fuzzLimits());
            checkRoundTrip(d);
            break;
        }
        }
    } catch (const wordengine::EngineError&) {
    } catch (const MalformedPart&) {
    } catch (const OversizedPart&) {
    }
    return 0;
}
