// [Content_Types].xml: the media type of every part. Word refuses a package whose parts it
// cannot type, so each part that is not plain XML gets an override.
#include "PackageParts.h"
#include "PackageXml.h"

namespace wordengine::package {

QByteArray contentTypesXml() {
    struct Override {
        const char* part;
        const char* type;
    };
    static constexpr Override overrides[] = {
        {"/word/document.xml",
         "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"},
        {"/word/styles.xml",
         "application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml"},
        {"/word/settings.xml",
         "application/vnd.openxmlformats-officedocument.wordprocessingml.settings+xml"},
        {"/docProps/core.xml", "application/vnd.openxmlformats-package.core-properties+xml"},
        {"/docProps/app.xml",
         "application/vnd.openxmlformats-officedocument.extended-properties+xml"},
    };

    PartWriter xml;
    xml.writeStartElement(QStringLiteral("Types"));
    xml.writeDefaultNamespace(
        QStringLiteral("http://schemas.openxmlformats.org/package/2006/content-types"));
    writeEmpty(xml, QStringLiteral("Default"),
               {{QStringLiteral("Extension"), QStringLiteral("rels")},
                {QStringLiteral("ContentType"),
                 QStringLiteral("application/vnd.openxmlformats-package.relationships+xml")}});
    writeEmpty(xml, QStringLiteral("Default"),
               {{QStringLiteral("Extension"), QStringLiteral("xml")},
                {QStringLiteral("ContentType"), QStringLiteral("application/xml")}});
    for (const Override& o : overrides)
        writeEmpty(xml, QStringLiteral("Override"),
                   {{QStringLiteral("PartName"), QString::fromLatin1(o.part)},
                    {QStringLiteral("ContentType"), QString::fromLatin1(o.type)}});
    xml.writeEndDocument();
    return xml.take();
}

} // namespace wordengine::package
