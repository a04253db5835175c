// The two relationship parts: the package's (main document and properties) and the main
// document's (styles and settings).
#include "PackageParts.h"
#include "PackageXml.h"

namespace wordengine::package {

namespace {

struct Relationship {
    const char* type;
    const char* target;
};

QByteArray relationshipsXml(std::initializer_list<Relationship> relationships) {
    PartWriter xml;
    xml.writeStartElement(QStringLiteral("Relationships"));
    xml.writeDefaultNamespace(
        QStringLiteral("http://schemas.openxmlformats.org/package/2006/relationships"));
    int id = 0;
    for (const Relationship& r : relationships)
        writeEmpty(xml, QStringLiteral("Relationship"),
                   {{QStringLiteral("Id"), QStringLiteral("rId%1").arg(++id)},
                    {QStringLiteral("Type"), QString::fromLatin1(r.type)},
                    {QStringLiteral("Target"), QString::fromLatin1(r.target)}});
    xml.writeEndDocument();
    return xml.take();
}

} // namespace

QByteArray rootRelationshipsXml() {
    return relationshipsXml({
        {"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument",
         "word/document.xml"},
        {"http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties",
         "docProps/core.xml"},
        {"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
         "extended-properties",
         "docProps/app.xml"},
    });
}

QByteArray documentRelationshipsXml() {
    return relationshipsXml({
        {"http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles",
         "styles.xml"},
        {"http://schemas.openxmlformats.org/officeDocument/2006/relationships/settings",
         "settings.xml"},
    });
}

} // namespace wordengine::package
