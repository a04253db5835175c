// Opening: checks on the file, then the package's parts in the order they depend on each
// other: the package relationships name the main document, whose relationships name the
// styles and settings.
#include "EngineError.h"
#include "EngineLimits.h"
#include "Package.h"
#include "PackageReader.h"
#include "PackageZipReader.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cmath>

namespace wordengine {

namespace package {

namespace {

// The part a relationship names, or the name Word gives it when the package does not say.
QString partName(PackageZipReader& zip, const QString& relationshipsPart, const QString& source,
                 QLatin1StringView type, const QString& fallback, const PackageLimits& limits) {
    if (zip.contains(relationshipsPart)) {
        const QString target =
            relationshipTarget(zip.read(relationshipsPart), source, type, limits);
        if (!target.isEmpty())
            return target;
    }
    return fallback;
}

QString relationshipsOf(const QString& part) {
    const qsizetype slash = part.lastIndexOf(u'/');
    return part.left(slash + 1) + QStringLiteral("_rels/") + part.mid(slash + 1) +
           QStringLiteral(".rels");
}

// Word's limits on a page; margins that leave no room for text
// would give the layout nothing to break lines into.
void checkPageSetup(PageSetup& s) {
    constexpr double smallest = limits::kMinPageLength, largest = limits::kMaxPageLength;
    constexpr double leastText = 36.0;
    // A page with no size at all (or a size that is not a number) is not a page that can be
    // stretched to the smallest one; say so rather than blame the margins.
    if (!(s.pageWidth > 0) || !(s.pageHeight > 0) || !std::isfinite(s.pageWidth) ||
        !std::isfinite(s.pageHeight))
        throw MalformedPart{QStringLiteral("the page size is invalid (%1 by %2 points)")
                                .arg(s.pageWidth)
                                .arg(s.pageHeight)};
    s.pageWidth = std::clamp(s.pageWidth, smallest, largest);
    s.pageHeight = std::clamp(s.pageHeight, smallest, largest);
    for (double* length : {&s.topMargin, &s.bottomMargin, &s.leftMargin, &s.rightMargin, &s.gutter,
                           &s.headerDistance, &s.footerDistance})
        *length = std::clamp(*length, 0.0, largest);
    const double across = s.gutterPos == GutterPosition::Top
                              ? s.pageWidth - s.leftMargin - s.rightMargin
                              : s.textWidth();
    const double down = s.pageHeight - s.topMargin - s.bottomMargin -
                        (s.gutterPos == GutterPosition::Top ? s.gutter : 0.0);
    if (across < leastText || down < leastText)
        throw MalformedPart{QStringLiteral("the page margins leave no room for text")};
}

} // namespace

Document readPackage(const QByteArray& bytes, const QString& fileName,
                     const PackageLimits& limits) {
    if (bytes.isEmpty())
        throw EngineError(QStringLiteral("The file %1 is empty.").arg(shownName(fileName)));
    PackageZipReader zip(bytes, fileName, limits);
    QString part;
    try {
        part = QStringLiteral("_rels/.rels");
        const QString main = partName(zip, part, QString(), QLatin1StringView("/officeDocument"),
                                      QStringLiteral("word/document.xml"), limits);
        if (!zip.contains(main))
            throw EngineError(QStringLiteral("The file %1 is not a Word document (it has no %2).")
                                  .arg(shownName(fileName), main));
        part = relationshipsOf(main);
        const QString folder = main.contains(u'/') ? main.section(u'/', 0, -2) + u'/' : QString();
        const QString stylesPart = partName(zip, part, main, QLatin1StringView("/styles"),
                                            folder + QStringLiteral("styles.xml"), limits);
        const QString settingsPart = partName(zip, part, main, QLatin1StringView("/settings"),
                                              folder + QStringLiteral("settings.xml"), limits);
        StyleSheet styles;
        if (zip.contains(stylesPart)) {
            part = stylesPart;
            styles = readStylesXml(zip.read(stylesPart), limits);
        }
        part = main;
        Document document = readDocumentXml(zip.read(main), styles, limits);
        if (zip.contains(settingsPart)) {
            part = settingsPart;
            readSettingsXml(zip.read(settingsPart), document.pageSetup, limits);
        }
        part = main;
        checkPageSetup(document.pageSetup);
        document.pageBudget = PageBudget::forFile(bytes.size());
        return document;
    } catch (const MalformedPart& malformed) {
        throw EngineError(
            corruptedMessage(fileName, part + QStringLiteral(", ") + malformed.detail));
    } catch (const OversizedPart& oversized) {
        throw EngineError(QStringLiteral("The file %1 is too large to open: %2, %3.")
                              .arg(shownName(fileName), part, oversized.detail));
    }
}

Document openPackage(const QString& path, const PackageLimits& limits) {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        throw EngineError(QStringLiteral("The file could not be found: %1").arg(shownName(path)));
    if (info.isDir())
        throw EngineError(
            QStringLiteral("The file %1 is a folder, not a Word document.").arg(shownName(path)));
    if (!info.isFile()) // a device or a pipe could block or never end
        throw EngineError(QStringLiteral("The file %1 is not a Word document (not a regular file).")
                              .arg(shownName(path)));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw EngineError(QStringLiteral("The file %1 could not be opened: %2.")
                              .arg(shownName(path), file.errorString()));
    if (file.size() > limits.maxFileSize)
        throw EngineError(
            QStringLiteral("The file %1 is too large to open (%2; at most %3).")
                .arg(shownName(path), byteCount(file.size()), byteCount(limits.maxFileSize)));
    // Read one byte past the limit, in case the file grows between the check and the read.
    const QByteArray bytes = file.read(limits.maxFileSize + 1);
    if (bytes.size() > limits.maxFileSize)
        throw EngineError(QStringLiteral("The file %1 is too large to open (at most %2).")
                              .arg(shownName(path), byteCount(limits.maxFileSize)));
    return readPackage(bytes, path, limits);
}

} // namespace package

Document openPackage(const QString& path) {
    return package::openPackage(path, package::PackageLimits{});
}

} // namespace wordengine
