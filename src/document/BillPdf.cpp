#include "BillPdf.h"

#include "AtomicFile.h"
#include "Failure.h"
#include "Package.h"

namespace BillPdf {

wordengine::PdfInfo info() {
    return {QStringLiteral("Motor Vehicle Bill of Sale"), QStringLiteral("Vantorel"), {}};
}

wordengine::Document readDocument(const QString& documentPath) {
    try {
        return wordengine::openPackage(documentPath);
    } catch (const std::exception& e) {
        throw Failure(QString::fromUtf8(e.what()));
    }
}

bool write(const wordengine::Document& document, const QString& path, QString* why) {
    files::AtomicFile file(path, {.mode = files::userFileMode()});
    if (file.open() && wordengine::writePdf(document, file.device(), info()) && file.commit())
        return true;
    if (why)
        *why = file.errorCode() ? file.errorString() : QStringLiteral("cannot write %1").arg(path);
    return false;
}

} // namespace BillPdf
