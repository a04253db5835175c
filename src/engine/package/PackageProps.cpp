// The document properties: docProps/core.xml (who and when) and docProps/app.xml (the
// statistics Word shows, of which the engine fills in the page count).
#include "PackageParts.h"
#include "PackageXml.h"

#include <algorithm>

namespace wordengine::package {

QByteArray corePropertiesXml(const QDateTime& savedAt) {
    const QString when = savedAt.toUTC().toString(Qt::ISODate);
    const QString w3cdtf = QStringLiteral("dcterms:W3CDTF");

    PartWriter xml;
    xml.writeStartElement(QStringLiteral("cp:coreProperties"));
    xml.writeAttribute(
        QStringLiteral("xmlns:cp"),
        QStringLiteral("http://schemas.openxmlformats.org/package/2006/metadata/core-properties"));
    xml.writeAttribute(QStringLiteral("xmlns:dc"),
                       QStringLiteral("http://purl.org/dc/elements/1.1/"));
    xml.writeAttribute(QStringLiteral("xmlns:dcterms"),
                       QStringLiteral("http://purl.org/dc/terms/"));
    xml.writeAttribute(QStringLiteral("xmlns:dcmitype"),
                       QStringLiteral("http://purl.org/dc/dcmitype/"));
    xml.writeAttribute(QStringLiteral("xmlns:xsi"),
                       QStringLiteral("http://www.w3.org/2001/XMLSchema-instance"));
    xml.writeTextElement(QStringLiteral("dc:creator"), QStringLiteral("Vantorel"));
    xml.writeTextElement(QStringLiteral("cp:lastModifiedBy"), QStringLiteral("Vantorel"));
    xml.writeTextElement(QStringLiteral("cp:revision"), QStringLiteral("1"));
    for (const QString& name :
         {QStringLiteral("dcterms:created"), QStringLiteral("dcterms:modified")}) {
        xml.writeStartElement(name);
        xml.writeAttribute(QStringLiteral("xsi:type"), w3cdtf);
        xml.writeCharacters(when);
        xml.writeEndElement();
    }
    xml.writeEndDocument();
    return xml.take();
}

QByteArray appPropertiesXml(int pageCount) {
    PartWriter xml;
    xml.writeStartElement(QStringLiteral("Properties"));
    xml.writeDefaultNamespace(QStringLiteral(
        "http://schemas.openxmlformats.org/officeDocument/2006/extended-properties"));
    xml.writeAttribute(
        QStringLiteral("xmlns:vt"),
        QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes"));
    xml.writeTextElement(QStringLiteral("Template"), QStringLiteral("Normal.dotm"));
    xml.writeTextElement(QStringLiteral("TotalTime"), QStringLiteral("0"));
    xml.writeTextElement(QStringLiteral("Pages"), QString::number(std::max(pageCount, 1)));
    xml.writeTextElement(QStringLiteral("Application"), QStringLiteral("Vantorel"));
    xml.writeTextElement(QStringLiteral("DocSecurity"), QStringLiteral("0"));
    xml.writeEndDocument();
    return xml.take();
}

} // namespace wordengine::package
