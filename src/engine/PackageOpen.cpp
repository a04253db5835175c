#include "Automation.h"
#include "Package.h"

namespace wordengine {

Document openPackage(const QString&) {
    throw word::Error(QStringLiteral("not implemented"));
}

} // namespace wordengine
