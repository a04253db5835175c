// word/styles.xml and word/settings.xml into what the model keeps of them: the formatting
// text starts from, the names of table styles, and the document-wide page setup.
#include "PackagePartReader.h"
#include "PackageReadXml.h"
#include "PackageReader.h"

#include <QDir>
#include <QUrl>

namespace wordengine::package {

namespace {

bool onOffValueOf(const QString& value) {
    return !(value.isEmpty() || value == QLatin1StringView("0") ||
             value == QLatin1StringView("false") || value == QLatin1StringView("off"));
}

// <w:style>: its name, and for the default paragraph style its run properties on top of
// the document defaults (which the schema places before the styles).
void readStyle(QXmlStreamReader& xml, StyleSheet& sheet, std::optional<CharFormat>& normal) {
    const QString id = wordAttribute(xml, QLatin1StringView("styleId"));
    const bool defaultParagraph =
        wordAttribute(xml, QLatin1StringView("type")) == QLatin1StringView("paragraph") &&
        onOffValueOf(wordAttribute(xml, QLatin1StringView("default")));
    while (xml.readNextStartElement()) {
        if (isWord(xml, QLatin1StringView("name")) && !id.isEmpty()) {
            sheet.namesById.insert(id, wordAttribute(xml, QLatin1StringView("val")));
            xml.skipCurrentElement();
        } else if (isWord(xml, QLatin1StringView("rPr")) && defaultParagraph && !normal) {
            normal = sheet.base;
            readRunProperties(xml, *normal);
        } else {
            xml.skipCurrentElement();
        }
    }
}

} // namespace

StyleSheet readStylesXml(const QByteArray& bytes, const PackageLimits& limits) {
    PackagePartReader part(bytes, limits);
    QXmlStreamReader& xml = part.xml();
    StyleSheet sheet;
    enterRoot(xml);
    std::optional<CharFormat> normal;
    while (xml.readNextStartElement()) {
        if (isWord(xml, QLatin1StringView("docDefaults"))) {
            while (xml.readNextStartElement()) {
                if (isWord(xml, QLatin1StringView("rPrDefault"))) {
                    while (xml.readNextStartElement()) {
                        if (isWord(xml, QLatin1StringView("rPr")))
                            readRunProperties(xml, sheet.base);
                        else
                            xml.skipCurrentElement();
                    }
                } else {
                    xml.skipCurrentElement();
                }
            }
        } else if (isWord(xml, QLatin1StringView("style"))) {
            readStyle(xml, sheet, normal);
        } else {
            xml.skipCurrentElement();
        }
    }
    finish(xml);
    if (normal)
        sheet.base = *normal;
    return sheet;
}

void readSettingsXml(const QByteArray& bytes, PageSetup& setup, const PackageLimits& limits) {
    PackagePartReader part(bytes, limits);
    QXmlStreamReader& xml = part.xml();
    enterRoot(xml);
    setup.mirrorMargins = setup.oddAndEvenPagesHeaderFooter = false;
    setup.bookFoldPrinting = setup.bookFoldRevPrinting = setup.twoPagesOnOne = false;
    setup.bookFoldPrintingSheets = 1;
    while (xml.readNextStartElement()) {
        const auto is = [&](const char* name) { return isWord(xml, QLatin1StringView(name)); };
        if (is("mirrorMargins"))
            setup.mirrorMargins = onOffValue(xml);
        else if (is("gutterAtTop") && onOffValue(xml))
            setup.gutterPos = GutterPosition::Top;
        else if (is("evenAndOddHeaders"))
            setup.oddAndEvenPagesHeaderFooter = onOffValue(xml);
        else if (is("bookFoldRevPrinting"))
            setup.bookFoldRevPrinting = onOffValue(xml);
        else if (is("bookFoldPrinting"))
            setup.bookFoldPrinting = onOffValue(xml);
        else if (is("bookFoldPrintingSheets"))
            setup.bookFoldPrintingSheets =
                integer(wordAttribute(xml, QLatin1StringView("val"))).value_or(1);
        else if (is("printTwoOnOne"))
            setup.twoPagesOnOne = onOffValue(xml);
        xml.skipCurrentElement();
    }
    finish(xml);
}

QString relationshipTarget(const QByteArray& bytes, const QString& sourcePart,
                           QLatin1StringView typeSuffix, const PackageLimits& limits) {
    PackagePartReader part(bytes, limits);
    QXmlStreamReader& xml = part.xml();
    enterRoot(xml);
    QString target;
    while (xml.readNextStartElement()) {
        const QXmlStreamAttributes a = xml.attributes();
        if (target.isEmpty() && xml.name() == QLatin1StringView("Relationship") &&
            a.value(QLatin1StringView("Type")).endsWith(typeSuffix) &&
            a.value(QLatin1StringView("TargetMode")) != QLatin1StringView("External"))
            target = QUrl::fromPercentEncoding(a.value(QLatin1StringView("Target")).toUtf8());
        xml.skipCurrentElement();
    }
    finish(xml);
    if (target.isEmpty())
        return target;
    // Targets are relative to the source part's folder, or absolute within the package.
    const QString folder = sourcePart.contains(u'/') ? sourcePart.section(u'/', 0, -2) : QString();
    QString resolved = target.startsWith(u'/') ? target.mid(1)
                       : folder.isEmpty()      ? target
                                               : folder + u'/' + target;
    resolved = QDir::cleanPath(resolved);
    if (resolved.startsWith(QLatin1StringView("../")) || resolved == QLatin1StringView(".."))
        return QString(); // outside the package
    return resolved;
}

} // namespace wordengine::package
