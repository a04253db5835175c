#pragma once
// QXmlStreamReader helpers shared by the part readers. Elements are matched by namespace
// and local name, so any prefix works, in the transitional and the strict vocabulary.

#include "Model.h"
#include "PackageReader.h"

#include <QXmlStreamReader>
#include <optional>

namespace wordengine::package {

// Whether the reader stands on a WordprocessingML element of that local name.
bool isWord(const QXmlStreamReader& xml, QLatin1StringView localName);
// A WordprocessingML attribute of the current element; null when absent.
QString wordAttribute(const QXmlStreamReader& xml, QLatin1StringView localName);
// An on/off property (<w:b/>, <w:b w:val="0"/>): on unless its value says otherwise.
bool onOffValue(const QXmlStreamReader& xml);
// A length in `units` per point: a plain number is already in those units; a number with
// a unit (mm, cm, in, pt, pc, pi) is converted. Nothing for what does not parse.
std::optional<double> measure(const QString& text, double unitsPerPoint);
std::optional<int> integer(const QString& text);

// Reads <w:rPr> (the reader on its start tag) into format, to its end tag.
void readRunProperties(QXmlStreamReader& xml, CharFormat& format);

// Moves to the root element, refusing a document type declaration (which no package part
// has, and which would open the door to entity expansion). Throws MalformedPart.
void enterRoot(QXmlStreamReader& xml);
// Reads to the end and throws MalformedPart if the XML was not well-formed.
void finish(QXmlStreamReader& xml);

} // namespace wordengine::package
