// Saving: the package is built in memory and written as an AtomicFile: to a new file beside
// the target, synced and renamed over it, so the target is always either the old file or the
// complete new one, and a failure leaves nothing behind.
#include "AtomicFile.h"
#include "EngineError.h"
#include "Package.h"
#include "PackageParts.h"

#include <QDir>
#include <cerrno>
#include <cstring>

namespace wordengine {

namespace {

// False only when `replace` is off and a file already has the name; any other failure throws.
bool writePackage(const Document& document, int pageCount, const QString& path, bool replace,
                  const SaveOptions& options) {
    if (path.isEmpty())
        throw EngineError(QStringLiteral("The document could not be saved: no file name."));
    const QByteArray bytes = package::zipParts(package::packageParts(
        document, pageCount,
        options.savedAt.isValid() ? options.savedAt : QDateTime::currentDateTimeUtc()));
    if (options.handOver) {
        options.handOver(path, bytes);
        return true;
    }

    files::AtomicFile file(path, {.replace = replace, .sync = options.durable});
    if (file.open() && file.write(bytes) && file.commit())
        return true;
    if (!replace && file.failedStep() == files::Step::Publish && file.errorCode() == EEXIST)
        return false;
    throw EngineError(QStringLiteral("The document could not be saved as %1: %2.")
                          .arg(QDir::toNativeSeparators(path),
                               QString::fromLocal8Bit(std::strerror(file.errorCode()))));
}

} // namespace

void savePackage(const Document& document, int pageCount, const QString& path,
                 const SaveOptions& options) {
    writePackage(document, pageCount, path, true, options);
}

bool savePackageAsNew(const Document& document, int pageCount, const QString& path,
                      const SaveOptions& options) {
    return writePackage(document, pageCount, path, false, options);
}

} // namespace wordengine
