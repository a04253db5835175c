// Saving: the package is built in memory and written as an AtomicFile: to a new file beside
// the target, synced and renamed over it, so the target is always either the old file or the
// complete new one, and a failure leaves nothing behind.
#include "AtomicFile.h"
#include "Automation.h"
#include "Package.h"
#include "PackageParts.h"

#include <QDir>
#include <cstring>

namespace wordengine {

void savePackage(const Document& document, int pageCount, const QString& path) {
    if (path.isEmpty())
        throw word::Error(QStringLiteral("The document could not be saved: no file name."));
    const QByteArray bytes = package::zipParts(
        package::packageParts(document, pageCount, QDateTime::currentDateTimeUtc()));

    files::AtomicFile file(path);
    if (!(file.open() && file.write(bytes) && file.commit()))
        throw word::Error(QStringLiteral("The document could not be saved as %1: %2.")
                              .arg(QDir::toNativeSeparators(path),
                                   QString::fromLocal8Bit(std::strerror(file.errorCode()))));
}

} // namespace wordengine
