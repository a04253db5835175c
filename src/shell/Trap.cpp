#include "Trap.h"

#include "ErrorReport.h"

#include <new>
#include <stdexcept>

Trap::FaultInjector Trap::faultInjector;

void Trap::setFaultInjector(FaultInjector injector) {
    faultInjector = std::move(injector);
}

Trap::Trap(Procedure procedure) : id(::procedureId(procedure)) {}

Trap::Trap(QString procedureIdText) : id(std::move(procedureIdText)) {}

void Trap::report(std::exception_ptr failure) {
    ++reports;
    const QString description = failureDescription(failure);
    try {
        ReportApplicationError(id, marker, description);
    } catch (...) {
        // A report that cannot be shown must not take the procedure down with it.
    }
}

QString failureDescription(std::exception_ptr failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const std::bad_alloc&) {
        return QStringLiteral("Out of memory");
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QStringLiteral("Unexpected failure");
    }
}
