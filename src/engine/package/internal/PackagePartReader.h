#pragma once
// The XML of one part, as every part reader reads it: checked in one pass over its raw bytes
// before QXmlStreamReader builds anything of them, then fed to that reader a block at a time.
//
// QXmlStreamReader compares each attribute of an element with every other one, looks a prefix
// up through every namespace declaration in force, keeps a record for every open element, holds
// a whole text node (white space between elements included) as one string, and given a whole
// array first decodes all of it into one string of twice its size: a zip of a few hundred
// kilobytes could so ask for minutes or gigabytes.

#include "PackageReader.h"

#include <QBuffer>
#include <QByteArray>
#include <QXmlStreamReader>

namespace wordengine::package {

class PackagePartReader {
public:
    // Throws MalformedPart for an element with very many attributes or namespace declarations
    // or nested very deep, and OversizedPart for more than limits.maxCharacters characters of
    // text in all or in one tag, or for more elements and attributes than a document of that
    // many characters and limits.maxItems paragraphs, runs, rows and cells needs.
    PackagePartReader(const QByteArray& bytes, const PackageLimits& limits);
    PackagePartReader(const PackagePartReader&) = delete;
    PackagePartReader& operator=(const PackagePartReader&) = delete;

    QXmlStreamReader& xml() { return xml_; }

private:
    QBuffer device_;
    QXmlStreamReader xml_;
};

} // namespace wordengine::package
