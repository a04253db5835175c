#include "EngineRunningApplication.h"

#include "EngineErrors.h"

namespace wordengine {

QString EngineRunningApplication::Name() const {
    return QStringLiteral("Microsoft Word");
}

word::Documents& EngineRunningApplication::Documents() {
    throw errors::notAvailable();
}

std::shared_ptr<word::Document> EngineRunningApplication::ActiveDocument() {
    throw errors::notAvailable();
}

double EngineRunningApplication::InchesToPoints(double) {
    throw errors::notAvailable();
}

void EngineRunningApplication::SetDisplayAlerts(bool) {
    throw errors::notAvailable();
}

void EngineRunningApplication::Quit() {
    throw errors::notAvailable();
}

word::Selection& EngineRunningApplication::Selection() {
    throw errors::notAvailable();
}

} // namespace wordengine
