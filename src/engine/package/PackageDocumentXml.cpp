// word/document.xml: the body story and its section. Every property the layout depends on
// is written on each run, paragraph, table and cell, even where it repeats the styles, so
// that Word, LibreOffice and the engine cannot fall back on different defaults. Children
// follow the order of the schema's sequences, which Word checks.
#include "EngineLimits.h"
#include "FewKept.h"
#include "PackageParts.h"
#include "PackageXml.h"

#include <algorithm>
#include <tuple>
#include <vector>

namespace wordengine::package {

namespace {

QString number(int value) {
    return QString::number(value);
}

QString onOff(bool on) {
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

void writeRunPropertiesOnce(PartWriter& xml, const CharFormat& format) {
    const QString font = xmlSafe(format.fontName);
    const QString halfPoints = number(pointsToHalfPoints(format.size));
    xml.writeStartElement(QStringLiteral("w:rPr"));
    writeEmpty(xml, QStringLiteral("w:rFonts"),
               {{QStringLiteral("w:ascii"), font},
                {QStringLiteral("w:hAnsi"), font},
                {QStringLiteral("w:cs"), font},
                {QStringLiteral("w:eastAsia"), font}});
    for (const QString& name : {QStringLiteral("w:b"), QStringLiteral("w:bCs")}) {
        if (format.bold)
            xml.writeEmptyElement(name);
        else
            writeVal(xml, name, QStringLiteral("0"));
    }
    writeVal(xml, QStringLiteral("w:sz"), halfPoints);
    writeVal(xml, QStringLiteral("w:szCs"), halfPoints);
    writeVal(xml, QStringLiteral("w:u"),
             nameOf(kUnderlineNames, format.underline, Underline::Single));
    xml.writeEndElement();
}

// A bill's runs, paragraphs, cells and tables share a handful of property sets, and each set
// is ten to thirty calls of the writer: the bytes of a set are made once per thread for what
// they depend on (`key`) and copied after that.
template <class Key, class Write>
void writeKept(PartWriter& xml, FewKept<Key, QByteArray>& kept, const Key& key, Write&& write) {
    if (const QByteArray* bytes = kept.find(key)) {
        xml.writeFragment(*bytes);
        return;
    }
    const qsizetype start = xml.beginFragment();
    write();
    kept.keep(key, xml.fragmentFrom(start));
}

void writeRunProperties(PartWriter& xml, const CharFormat& format) {
    thread_local FewKept<CharFormat, QByteArray> kept;
    writeKept(xml, kept, format, [&] { writeRunPropertiesOnce(xml, format); });
}

// A piece of run text between tabs. Without xml:space="preserve" an XML application may
// drop the blanks at either end, and the padded underlined values depend on them.
void writeTextPiece(PartWriter& xml, QStringView piece) {
    xml.writeStartElement(QStringLiteral("w:t"));
    if (piece.startsWith(u' ') || piece.endsWith(u' '))
        xml.writeAttribute(QStringLiteral("xml:space"), QStringLiteral("preserve"));
    xml.writeCharacters(piece);
    xml.writeEndElement();
}

void writeRun(PartWriter& xml, const Run& run) {
    xml.writeStartElement(QStringLiteral("w:r"));
    writeRunProperties(xml, run.format);
    // Tabs and Word's two breaks within a paragraph are elements of their own between pieces
    // of text: a vertical tab is a line break and a form feed a page break, which is what
    // Word's own typing makes of them. A run never holds a paragraph break; should one slip
    // in, it is dropped like any other control character rather than written as a break
    // the model cannot read back.
    const QStringView text = run.text;
    qsizetype start = 0;
    const auto writePiece = [&](qsizetype end) {
        const QStringView piece = text.sliced(start, end - start);
        start = end + 1;
        // Most text has nothing to leave out, and is written as it stands.
        const bool clean = std::none_of(piece.begin(), piece.end(), [](QChar c) {
            return c.unicode() < 0x20 || c.isSurrogate() || c.unicode() >= 0xFFFE;
        });
        if (clean) {
            if (!piece.isEmpty())
                writeTextPiece(xml, piece);
            return;
        }
        QString safe = xmlSafe(piece);
        safe.remove(u'\n');
        safe.remove(u'\r');
        if (!safe.isEmpty())
            writeTextPiece(xml, safe);
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\t' || c == u'\v' || c == u'\f') {
            writePiece(i);
            xml.writeEmptyElement(c == u'\t' ? QStringLiteral("w:tab") : QStringLiteral("w:br"));
            if (c == u'\f')
                xml.writeAttribute(QStringLiteral("w:type"), QStringLiteral("page"));
        }
    }
    writePiece(text.size());
    xml.writeEndElement();
}

void writeParagraph(PartWriter& xml, const Paragraph& paragraph) {
    using Properties = std::pair<ParagraphAlignment, CharFormat>;
    thread_local FewKept<Properties, QByteArray> kept;
    xml.writeStartElement(QStringLiteral("w:p"));
    writeKept(xml, kept, Properties{paragraph.alignment, paragraph.markFormat}, [&] {
        xml.writeStartElement(QStringLiteral("w:pPr"));
        writeVal(xml, QStringLiteral("w:jc"),
                 nameOf(kParagraphAlignmentNames, paragraph.alignment, ParagraphAlignment::Left));
        writeRunProperties(xml, paragraph.markFormat); // the mark's format: an empty line's height
        xml.writeEndElement();
    });
    for (const Run& run : paragraph.runs)
        writeRun(xml, run);
    xml.writeEndElement();
}

void writeWidth(PartWriter& xml, const QString& name, int twips) {
    writeEmpty(xml, name,
               {{QStringLiteral("w:w"), number(twips)},
                {QStringLiteral("w:type"), QStringLiteral("dxa")}});
}

// Style names become style ids the way Word makes them: without blanks or punctuation.
QString styleId(const QString& name) {
    QString id;
    for (QChar c : xmlSafe(name))
        if (c.isLetterOrNumber())
            id += c;
    return id;
}

// Equal columns over the text width; the twips that do not divide evenly go to the first
// columns, one each, so the grid adds up to the width exactly.
std::vector<int> columnWidths(int columns, int textWidth) {
    std::vector<int> widths(size_t(columns), textWidth / columns);
    for (int i = 0; i < textWidth % columns; ++i)
        ++widths[size_t(i)];
    return widths;
}

void writeTableProperties(PartWriter& xml, const Table& table, int textWidth) {
    const TableFormat& f = table.format;
    xml.writeStartElement(QStringLiteral("w:tblPr"));
    if (!f.style.isEmpty())
        writeVal(xml, QStringLiteral("w:tblStyle"), styleId(f.style));
    writeWidth(xml, QStringLiteral("w:tblW"), textWidth);
    writeWidth(xml, QStringLiteral("w:tblInd"), 0);
    // Borders follow the style the table refers to, which is the one its id names.
    writeTableBorders(xml, styleId(f.style) == tablestyles::kGridId);
    writeEmpty(xml, QStringLiteral("w:tblLayout"),
               {{QStringLiteral("w:type"), QStringLiteral("fixed")}});
    writeTableCellMargins(xml);
    // The bit mask for older readers and the attributes for newer ones. Banding is not part
    // of the model: rows banded, columns not, as Word sets a new table.
    const int look = (f.applyStyleHeadingRows ? 0x0020 : 0) | (f.applyStyleLastRow ? 0x0040 : 0) |
                     (f.applyStyleFirstColumn ? 0x0080 : 0) |
                     (f.applyStyleLastColumn ? 0x0100 : 0) | 0x0400;
    writeEmpty(xml, QStringLiteral("w:tblLook"),
               {{QStringLiteral("w:val"),
                 QStringLiteral("%1").arg(look, 4, 16, QLatin1Char('0')).toUpper()},
                {QStringLiteral("w:firstRow"), onOff(f.applyStyleHeadingRows)},
                {QStringLiteral("w:lastRow"), onOff(f.applyStyleLastRow)},
                {QStringLiteral("w:firstColumn"), onOff(f.applyStyleFirstColumn)},
                {QStringLiteral("w:lastColumn"), onOff(f.applyStyleLastColumn)},
                {QStringLiteral("w:noHBand"), QStringLiteral("0")},
                {QStringLiteral("w:noVBand"), QStringLiteral("1")}});
    xml.writeEndElement();
}

// Every row gets a cell for each grid column (Word reports a row without cells as damage);
// the model keeps its rows full, so this only pads a model that broke that rule.
int gridColumns(const Table& table) {
    size_t columns = size_t(std::max(table.columns, 1));
    for (const Row& row : table.rows)
        columns = std::max(columns, row.cells.size());
    return int(std::min<size_t>(columns, limits::kMaxColumns));
}

void writeCell(PartWriter& xml, const Cell& cell, int width) {
    using Properties = std::pair<int, CellVerticalAlignment>;
    thread_local FewKept<Properties, QByteArray> kept;
    xml.writeStartElement(QStringLiteral("w:tc"));
    writeKept(xml, kept, Properties{width, cell.verticalAlignment}, [&] {
        xml.writeStartElement(QStringLiteral("w:tcPr"));
        writeWidth(xml, QStringLiteral("w:tcW"), width);
        writeVal(xml, QStringLiteral("w:vAlign"),
                 nameOf(kCellAlignmentNames, cell.verticalAlignment, CellVerticalAlignment::Top));
        xml.writeEndElement();
    });
    for (const Paragraph& paragraph : cell.paragraphs)
        writeParagraph(xml, paragraph);
    if (cell.paragraphs.empty()) // a cell must end in a paragraph
        writeParagraph(xml, Paragraph{});
    xml.writeEndElement();
}

void writeTable(PartWriter& xml, const Table& table, int textWidth) {
    const int columns = gridColumns(table);
    const std::vector<int> widths = columnWidths(columns, textWidth);
    using Properties = std::tuple<TableFormat, int, int>;
    thread_local FewKept<Properties, QByteArray> kept;
    xml.writeStartElement(QStringLiteral("w:tbl"));
    writeKept(xml, kept, Properties{table.format, textWidth, columns}, [&] {
        writeTableProperties(xml, table, textWidth);
        xml.writeStartElement(QStringLiteral("w:tblGrid"));
        for (int width : widths)
            writeEmpty(xml, QStringLiteral("w:gridCol"), {{QStringLiteral("w:w"), number(width)}});
        xml.writeEndElement();
    });

    thread_local FewKept<TableFormat, QByteArray> keptRows;
    for (const Row& row : table.rows) {
        xml.writeStartElement(QStringLiteral("w:tr"));
        // An automatic row states no height.
        if (table.format.heightRule != RowHeightRule::Auto) {
            writeKept(xml, keptRows, table.format, [&] {
                xml.writeStartElement(QStringLiteral("w:trPr"));
                writeEmpty(xml, QStringLiteral("w:trHeight"),
                           {{QStringLiteral("w:val"), number(pointsToTwips(table.format.height))},
                            {QStringLiteral("w:hRule"),
                             nameOf(kRowHeightRuleNames, table.format.heightRule,
                                    RowHeightRule::AtLeast)}});
                xml.writeEndElement();
            });
        }
        for (size_t c = 0; c < size_t(columns); ++c)
            writeCell(xml, c < row.cells.size() ? row.cells[c] : Cell{}, widths[c]);
        xml.writeEndElement();
    }
    xml.writeEndElement();
}

void writeSectionOnce(PartWriter& xml, const PageSetup& s) {
    xml.writeStartElement(QStringLiteral("w:sectPr"));
    writeVal(xml, QStringLiteral("w:type"),
             nameOf(kSectionStartNames, s.sectionStart, SectionStart::NewPage));
    writeEmpty(xml, QStringLiteral("w:pgSz"),
               {{QStringLiteral("w:w"), number(pointsToTwips(s.pageWidth))},
                {QStringLiteral("w:h"), number(pointsToTwips(s.pageHeight))},
                {QStringLiteral("w:orient"),
                 nameOf(kOrientationNames, s.orientation, PageOrientation::Portrait)}});
    writeEmpty(xml, QStringLiteral("w:pgMar"),
               {{QStringLiteral("w:top"), number(pointsToTwips(s.topMargin))},
                {QStringLiteral("w:right"), number(pointsToTwips(s.rightMargin))},
                {QStringLiteral("w:bottom"), number(pointsToTwips(s.bottomMargin))},
                {QStringLiteral("w:left"), number(pointsToTwips(s.leftMargin))},
                {QStringLiteral("w:header"), number(pointsToTwips(s.headerDistance))},
                {QStringLiteral("w:footer"), number(pointsToTwips(s.footerDistance))},
                {QStringLiteral("w:gutter"), number(pointsToTwips(s.gutter))}});
    if (s.firstPageTray != 0 || s.otherPagesTray != 0) // 0 is the printer's default bin
        writeEmpty(xml, QStringLiteral("w:paperSrc"),
                   {{QStringLiteral("w:first"), number(s.firstPageTray)},
                    {QStringLiteral("w:other"), number(s.otherPagesTray)}});
    if (s.lineNumberingActive)
        writeEmpty(xml, QStringLiteral("w:lnNumType"),
                   {{QStringLiteral("w:countBy"), QStringLiteral("1")},
                    {QStringLiteral("w:restart"), QStringLiteral("newPage")}});
    writeEmpty(xml, QStringLiteral("w:cols"), {{QStringLiteral("w:space"), QStringLiteral("720")}});
    writeVal(xml, QStringLiteral("w:vAlign"),
             nameOf(kPageAlignmentNames, s.verticalAlignment, PageVerticalAlignment::Top));
    if (s.suppressEndnotes)
        xml.writeEmptyElement(QStringLiteral("w:noEndnote"));
    if (s.differentFirstPageHeaderFooter)
        xml.writeEmptyElement(QStringLiteral("w:titlePg"));
    if (s.gutterPos == GutterPosition::Right)
        xml.writeEmptyElement(QStringLiteral("w:rtlGutter"));
    writeEmpty(xml, QStringLiteral("w:docGrid"),
               {{QStringLiteral("w:type"), QStringLiteral("default")},
                {QStringLiteral("w:linePitch"), QStringLiteral("360")}});
    xml.writeEndElement();
}

void writeSection(PartWriter& xml, const PageSetup& setup) {
    thread_local FewKept<PageSetup, QByteArray> kept;
    writeKept(xml, kept, setup, [&] { writeSectionOnce(xml, setup); });
}

} // namespace

QByteArray documentXml(const Document& document) {
    const int textWidth = std::max(pointsToTwips(document.pageSetup.textWidth()), 0);

    // Room for as much as the last document of this thread took, up to a bound: a batch's
    // documents are alike, and a very long one is not taken for the size of the next.
    thread_local qsizetype lastBytes = 0;
    PartWriter xml(std::min<qsizetype>(lastBytes + lastBytes / 8, 1 << 20));
    xml.writeStartElement(QStringLiteral("w:document"));
    xml.writeAttribute(u"xmlns:w", QString(kWordNamespace));
    xml.writeStartElement(QStringLiteral("w:body"));
    // The model keeps a paragraph after every table and at the end of the body, as Word
    // needs; a body that broke the rule gets an empty paragraph where one is missing.
    bool afterTable = false;
    bool empty = true;
    for (const Block& block : document.body) {
        if (const auto* paragraph = std::get_if<Paragraph>(&block)) {
            writeParagraph(xml, *paragraph);
            afterTable = false;
        } else {
            const Table& table = std::get<Table>(block);
            if (table.rows.empty())
                continue; // Word has no table without rows
            if (afterTable)
                writeParagraph(xml, Paragraph{}); // adjacent tables would merge into one
            writeTable(xml, table, textWidth);
            afterTable = true;
        }
        empty = false;
    }
    if (afterTable || empty)
        writeParagraph(xml, Paragraph{});
    writeSection(xml, document.pageSetup);
    xml.writeEndDocument();
    QByteArray bytes = xml.take();
    lastBytes = bytes.size();
    return bytes;
}

} // namespace wordengine::package
