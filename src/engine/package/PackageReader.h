#pragma once
// Reading packages back into the model: the bounds that keep a hostile or damaged file from
// exhausting memory, and the reader of each part. Part readers throw MalformedPart or
// OversizedPart, which the package reader turns into a EngineError that names the file.

#include "EngineLimits.h"
#include "Model.h"

#include <QByteArray>
#include <QHash>
#include <QString>

namespace wordengine::package {

// What a package may hold. A zip bomb is stopped by absolute sizes, checked against the
// archive's directory before anything is inflated and again while inflating; a ratio of
// inflated to compressed size is no test, since plain text of repeated words (a long value)
// compresses several hundred times.
struct PackageLimits {
    qint64 maxFileSize = qint64(256) << 20;
    int maxEntries = 10000;
    qint64 maxPartSize = qint64(256) << 20; // uncompressed size of one part that is read
    qint64 maxTotalSize = qint64(1) << 30;  // uncompressed size of all entries together
    qint64 maxItems = 2'000'000;            // paragraphs, runs, rows and cells of the body together
    // Characters of text in any one part, and in the document's runs together.
    qint64 maxCharacters = limits::kMaxDocumentCharacters;
};

struct MalformedPart {
    QString detail;
};

// A part that may be sound but holds more than the engine takes on.
struct OversizedPart {
    QString detail;
};

// The styles a document's formatting starts from, as far as the model goes.
struct StyleSheet {
    CharFormat base; // document defaults and the "Normal" style
    // Style id to style name; Word's built-in grid style is known even where the package
    // has no styles part to name it.
    QHash<QString, QString> namesById{{tablestyles::kGridId, tablestyles::kGridName}};
};

StyleSheet readStylesXml(const QByteArray& xml, const PackageLimits& limits = {});
Document readDocumentXml(const QByteArray& xml, const StyleSheet& styles,
                         const PackageLimits& limits = {});
// Applies the document-wide page-setup properties of word/settings.xml.
void readSettingsXml(const QByteArray& xml, PageSetup& setup, const PackageLimits& limits = {});
// The target of the first relationship whose type ends in typeSuffix ("/styles"), resolved
// against the folder of the part the relationships belong to; empty when there is none.
QString relationshipTarget(const QByteArray& xml, const QString& sourcePart,
                           QLatin1StringView typeSuffix, const PackageLimits& limits = {});

// Reads a package held in memory; fileName only names it in messages. Throws EngineError.
Document readPackage(const QByteArray& bytes, const QString& fileName,
                     const PackageLimits& limits = {});
Document openPackage(const QString& path, const PackageLimits& limits);

} // namespace wordengine::package
