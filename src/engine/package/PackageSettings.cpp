// word/settings.xml. Compatibility mode 15 keeps Word out of "Compatibility Mode"; the tab
// stop interval is stated because it places every tab. Several of Word's page-setup
// properties are document-wide in WordprocessingML and are written here, not in sectPr.
#include "PackageParts.h"
#include "PackageXml.h"

namespace wordengine::package {

namespace {

void writeOn(PartWriter& xml, bool on, const char* name) {
    if (on)
        xml.writeEmptyElement(QString::fromLatin1(name));
}

void writeCompatSetting(PartWriter& xml, const char* name, const char* value) {
    writeEmpty(
        xml, QStringLiteral("w:compatSetting"),
        {{QStringLiteral("w:name"), QString::fromLatin1(name)},
         {QStringLiteral("w:uri"), QStringLiteral("http://schemas.microsoft.com/office/word")},
         {QStringLiteral("w:val"), QString::fromLatin1(value)}});
}

} // namespace

QByteArray settingsXml(const PageSetup& setup) {
    PartWriter xml;
    xml.writeStartElement(QStringLiteral("w:settings"));
    xml.writeAttribute(u"xmlns:w", QString(kWordNamespace));

    // Children in the order of the schema's CT_Settings sequence.
    writeEmpty(xml, QStringLiteral("w:zoom"),
               {{QStringLiteral("w:percent"), QStringLiteral("100")}});
    writeOn(xml, setup.mirrorMargins, "w:mirrorMargins");
    writeOn(xml, setup.gutterPos == GutterPosition::Top, "w:gutterAtTop");
    writeVal(xml, QStringLiteral("w:defaultTabStop"), QStringLiteral("720"));
    writeOn(xml, setup.oddAndEvenPagesHeaderFooter, "w:evenAndOddHeaders");
    writeOn(xml, setup.bookFoldRevPrinting, "w:bookFoldRevPrinting");
    writeOn(xml, setup.bookFoldPrinting, "w:bookFoldPrinting");
    if (setup.bookFoldPrintingSheets != 1)
        writeVal(xml, QStringLiteral("w:bookFoldPrintingSheets"),
                 QString::number(setup.bookFoldPrintingSheets));
    writeVal(xml, QStringLiteral("w:characterSpacingControl"), QStringLiteral("doNotCompress"));
    writeOn(xml, setup.twoPagesOnOne, "w:printTwoOnOne");

    xml.writeStartElement(QStringLiteral("w:compat"));
    writeCompatSetting(xml, "compatibilityMode", "15");
    writeCompatSetting(xml, "overrideTableStyleFontSizeAndJustification", "1");
    writeCompatSetting(xml, "enableOpenTypeFeatures", "1");
    writeCompatSetting(xml, "doNotFlipMirrorIndents", "1");
    writeCompatSetting(xml, "differentiateMultirowTableHeaders", "1");
    xml.writeEndElement();

    writeVal(xml, QStringLiteral("w:decimalSymbol"), QStringLiteral("."));
    writeVal(xml, QStringLiteral("w:listSeparator"), QStringLiteral(","));
    xml.writeEndDocument();
    return xml.take();
}

} // namespace wordengine::package
