// word/styles.xml. Everything that shapes a line is stated here rather than left to each
// application's own defaults, which differ (Word's Normal template adds spacing after each
// paragraph and a line spacing of 1.08; LibreOffice has its own): Arial 11 pt, no space
// before or after a paragraph, single line spacing, no indents, no widow control (the
// engine's layout has none), and the table styles "Normal Table" and "Table Grid".
#include "EngineLimits.h"
#include "PackageParts.h"
#include "PackageXml.h"

namespace wordengine::package {

namespace {

void writeDefaultRunProperties(PartWriter& xml) {
    const QString arial = QStringLiteral("Arial");
    xml.writeStartElement(QStringLiteral("w:rPr"));
    writeEmpty(xml, QStringLiteral("w:rFonts"),
               {{QStringLiteral("w:ascii"), arial},
                {QStringLiteral("w:hAnsi"), arial},
                {QStringLiteral("w:cs"), arial},
                {QStringLiteral("w:eastAsia"), arial}});
    writeVal(xml, QStringLiteral("w:sz"), QStringLiteral("22"));
    writeVal(xml, QStringLiteral("w:szCs"), QStringLiteral("22"));
    writeEmpty(xml, QStringLiteral("w:lang"),
               {{QStringLiteral("w:val"), QStringLiteral("en-US")},
                {QStringLiteral("w:eastAsia"), QStringLiteral("en-US")},
                {QStringLiteral("w:bidi"), QStringLiteral("ar-SA")}});
    xml.writeEndElement();
}

void writeDefaultParagraphProperties(PartWriter& xml) {
    const QString zero = QStringLiteral("0");
    xml.writeStartElement(QStringLiteral("w:pPr"));
    writeVal(xml, QStringLiteral("w:widowControl"), zero);
    writeEmpty(xml, QStringLiteral("w:spacing"),
               {{QStringLiteral("w:before"), zero},
                {QStringLiteral("w:after"), zero},
                {QStringLiteral("w:line"), QStringLiteral("240")},
                {QStringLiteral("w:lineRule"), QStringLiteral("auto")}});
    writeEmpty(xml, QStringLiteral("w:ind"),
               {{QStringLiteral("w:left"), zero},
                {QStringLiteral("w:right"), zero},
                {QStringLiteral("w:firstLine"), zero}});
    xml.writeEndElement();
}

void writeWidth(PartWriter& xml, const QString& name, int twips) {
    writeEmpty(xml, name,
               {{QStringLiteral("w:w"), QString::number(twips)},
                {QStringLiteral("w:type"), QStringLiteral("dxa")}});
}

void startStyle(PartWriter& xml, const char* type, const char* id, const char* name,
                bool isDefault) {
    xml.writeStartElement(QStringLiteral("w:style"));
    xml.writeAttribute(QStringLiteral("w:type"), QString::fromLatin1(type));
    if (isDefault)
        xml.writeAttribute(QStringLiteral("w:default"), QStringLiteral("1"));
    xml.writeAttribute(QStringLiteral("w:styleId"), QString::fromLatin1(id));
    writeVal(xml, QStringLiteral("w:name"), QString::fromLatin1(name));
}

} // namespace

void writeTableCellMargins(PartWriter& xml) {
    xml.writeStartElement(QStringLiteral("w:tblCellMar"));
    writeWidth(xml, QStringLiteral("w:top"), 0);
    writeWidth(xml, QStringLiteral("w:left"), 108);
    writeWidth(xml, QStringLiteral("w:bottom"), 0);
    writeWidth(xml, QStringLiteral("w:right"), 108);
    xml.writeEndElement();
}

void writeTableBorders(PartWriter& xml, bool grid) {
    xml.writeStartElement(QStringLiteral("w:tblBorders"));
    for (const char* side : {"w:top", "w:left", "w:bottom", "w:right", "w:insideH", "w:insideV"}) {
        if (grid)
            writeEmpty(xml, QString::fromLatin1(side),
                       {{QStringLiteral("w:val"), QStringLiteral("single")},
                        {QStringLiteral("w:sz"), QStringLiteral("4")}, // eighths of a point
                        {QStringLiteral("w:space"), QStringLiteral("0")},
                        {QStringLiteral("w:color"), QStringLiteral("auto")}});
        else
            writeVal(xml, QString::fromLatin1(side), QStringLiteral("nil"));
    }
    xml.writeEndElement();
}

QByteArray stylesXml() {
    PartWriter xml;
    xml.writeStartElement(QStringLiteral("w:styles"));
    xml.writeAttribute(u"xmlns:w", QString(kWordNamespace));

    xml.writeStartElement(QStringLiteral("w:docDefaults"));
    xml.writeStartElement(QStringLiteral("w:rPrDefault"));
    writeDefaultRunProperties(xml);
    xml.writeEndElement();
    xml.writeStartElement(QStringLiteral("w:pPrDefault"));
    writeDefaultParagraphProperties(xml);
    xml.writeEndElement();
    xml.writeEndElement(); // docDefaults

    startStyle(xml, "paragraph", "Normal", "Normal", true);
    xml.writeEmptyElement(QStringLiteral("w:qFormat"));
    xml.writeEndElement();

    startStyle(xml, "character", "DefaultParagraphFont", "Default Paragraph Font", true);
    writeVal(xml, QStringLiteral("w:uiPriority"), QStringLiteral("1"));
    xml.writeEmptyElement(QStringLiteral("w:semiHidden"));
    xml.writeEmptyElement(QStringLiteral("w:unhideWhenUsed"));
    xml.writeEndElement();

    // "Normal Table" is the name Word gives the built-in style its interface calls "Table
    // Normal"; any other name would make Word add a second, user-defined style.
    startStyle(xml, "table", "TableNormal", tablestyles::kPlainDisplayName.data(), true);
    writeVal(xml, QStringLiteral("w:uiPriority"), QStringLiteral("99"));
    xml.writeEmptyElement(QStringLiteral("w:semiHidden"));
    xml.writeEmptyElement(QStringLiteral("w:unhideWhenUsed"));
    xml.writeStartElement(QStringLiteral("w:tblPr"));
    writeWidth(xml, QStringLiteral("w:tblInd"), 0);
    writeTableCellMargins(xml);
    xml.writeEndElement();
    xml.writeEndElement();

    startStyle(xml, "table", tablestyles::kGridId.data(), tablestyles::kGridName.data(), false);
    writeVal(xml, QStringLiteral("w:basedOn"), QStringLiteral("TableNormal"));
    writeVal(xml, QStringLiteral("w:uiPriority"), QStringLiteral("39"));
    xml.writeStartElement(QStringLiteral("w:pPr"));
    writeEmpty(xml, QStringLiteral("w:spacing"),
               {{QStringLiteral("w:after"), QStringLiteral("0")},
                {QStringLiteral("w:line"), QStringLiteral("240")},
                {QStringLiteral("w:lineRule"), QStringLiteral("auto")}});
    xml.writeEndElement();
    xml.writeStartElement(QStringLiteral("w:tblPr"));
    writeTableBorders(xml, true);
    xml.writeEndElement();
    xml.writeEndElement();

    xml.writeEndDocument();
    return xml.take();
}

} // namespace wordengine::package
