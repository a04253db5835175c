#pragma once
// The parts of a package, one writer each. Every writer returns the exact bytes of its part,
// so that tests can compare them and saving the same document twice gives the same parts.

#include "Model.h"

#include <QByteArray>
#include <QDateTime>
#include <vector>

namespace wordengine::package {

QByteArray contentTypesXml();          // [Content_Types].xml
QByteArray rootRelationshipsXml();     // _rels/.rels
QByteArray documentRelationshipsXml(); // word/_rels/document.xml.rels
QByteArray documentXml(const Document& document);
QByteArray stylesXml();
// Document-wide settings; some of Word's page-setup properties live here.
QByteArray settingsXml(const PageSetup& pageSetup);
QByteArray corePropertiesXml(const QDateTime& savedAt);
QByteArray appPropertiesXml(int pageCount);

struct PackagePart {
    QString name; // zip entry name
    QByteArray data;
};

// Every part of the document's package, [Content_Types].xml first, as they are zipped.
std::vector<PackagePart> packageParts(const Document& document, int pageCount,
                                      const QDateTime& savedAt);

// The zip archive of the parts, in their order, each a regular file (mode 0644) with a fixed
// time stamp. Throws EngineError when libzip fails.
QByteArray zipParts(const std::vector<PackagePart>& parts);

} // namespace wordengine::package
