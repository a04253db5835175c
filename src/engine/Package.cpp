// Temporary: lets the rest of the engine link while the package code is written.
#include "Package.h"

#include "Automation.h"

namespace wordengine {

void savePackage(const Document&, int, const QString&) {
    throw word::Error(QStringLiteral("not implemented"));
}

Document openPackage(const QString&) {
    throw word::Error(QStringLiteral("not implemented"));
}

} // namespace wordengine
