#include "PackageReadXml.h"

#include "EngineLimits.h"
#include "PackageXml.h"

#include <algorithm>
#include <cmath>

namespace wordengine::package {

namespace {

bool isWordNamespace(QStringView uri) {
    return uri == kWordNamespace || uri == kStrictWordNamespace;
}

} // namespace

bool isWord(const QXmlStreamReader& xml, QLatin1StringView localName) {
    return xml.name() == localName && isWordNamespace(xml.namespaceUri());
}

QString wordAttribute(const QXmlStreamReader& xml, QLatin1StringView localName) {
    for (const QXmlStreamAttribute& a : xml.attributes())
        if (a.name() == localName && isWordNamespace(a.namespaceUri()))
            return a.value().toString();
    return QString();
}

bool onOffValue(const QXmlStreamReader& xml) {
    const QString value = wordAttribute(xml, QLatin1StringView("val"));
    return !(value == QLatin1StringView("0") || value == QLatin1StringView("false") ||
             value == QLatin1StringView("off"));
}

std::optional<double> measure(const QString& text, double unitsPerPoint) {
    struct Unit {
        const char* name;
        double points;
    };
    static constexpr Unit units[] = {{"mm", 72.0 / 25.4}, {"cm", 72.0 / 2.54}, {"in", 72.0},
                                     {"pt", 1.0},         {"pc", 12.0},        {"pi", 12.0}};
    const QString trimmed = text.trimmed();
    double scale = 1.0;
    QStringView number = trimmed;
    for (const Unit& unit : units) {
        if (trimmed.endsWith(QLatin1StringView(unit.name))) {
            number = number.chopped(2);
            scale = unit.points * unitsPerPoint;
            break;
        }
    }
    bool ok = false;
    const double value = number.toDouble(&ok) * scale;
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<int> integer(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

void readRunProperties(QXmlStreamReader& xml, CharFormat& format) {
    while (xml.readNextStartElement()) {
        if (isWord(xml, QLatin1StringView("rFonts"))) {
            for (const char* slot : {"ascii", "hAnsi", "cs", "eastAsia"}) {
                const QString font = wordAttribute(xml, QLatin1StringView(slot));
                if (!font.isEmpty()) {
                    format.fontName = font;
                    break;
                }
            }
        } else if (isWord(xml, QLatin1StringView("b"))) {
            format.bold = onOffValue(xml);
        } else if (isWord(xml, QLatin1StringView("sz"))) {
            if (const auto halfPoints = measure(wordAttribute(xml, QLatin1StringView("val")), 2.0))
                // A size past Word's (or a damaged value) would make the layout divide by nothing
                // or allocate absurd line heights.
                format.size =
                    std::clamp(*halfPoints / 2.0, limits::kMinFontSize, limits::kMaxFontSize);
        } else if (isWord(xml, QLatin1StringView("u"))) {
            const QString value = wordAttribute(xml, QLatin1StringView("val"));
            // A bare <w:u/>, or one of a later edition's names, is a single underline.
            format.underline = value.isNull() ? Underline::Single
                                              : valueOf(kUnderlineNames, value, Underline::Single);
        }
        xml.skipCurrentElement();
    }
}

void enterRoot(QXmlStreamReader& xml) {
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::StartElement)
            return;
        if (token == QXmlStreamReader::DTD)
            xml.raiseError(QStringLiteral("a document type declaration is not allowed"));
    }
    finish(xml);
    throw MalformedPart{QStringLiteral("the part has no content")};
}

void finish(QXmlStreamReader& xml) {
    while (!xml.atEnd() && !xml.hasError())
        xml.readNext();
    if (xml.hasError())
        throw MalformedPart{QStringLiteral("line %1, column %2: %3")
                                .arg(xml.lineNumber())
                                .arg(xml.columnNumber())
                                .arg(xml.errorString())};
}

} // namespace wordengine::package
