#pragma once
// The failures of the engine, worded the way Word words them, in one place so that every
// object reports the same situation the same way.

#include "Automation.h"
#include "EngineError.h"
#include "EngineLimits.h"

#include <QString>
#include <utility>

namespace wordengine::errors {

// A member that cannot act in the present state (typing at an end-of-row mark, a nested table).
inline word::Error notAvailable() {
    return word::Error(QStringLiteral("This command is not available."));
}

// Any member of an application after Quit, and of its documents.
inline word::Error disconnected() {
    return word::Error(QStringLiteral("The object invoked has disconnected from its clients."));
}

// Any member of a document after Close, and of the objects that belong to it.
inline word::Error documentClosed() {
    return word::Error(
        QStringLiteral("This command is not available because the document is closed."));
}

// An object whose thing is gone from the document (a deleted table).
inline word::Error objectDeleted() {
    return word::Error(QStringLiteral("Object has been deleted."));
}

inline word::Error noDocumentOpen() {
    return word::Error(
        QStringLiteral("This command is not available because no document is open."));
}

// An enumerated value or an index that names nothing.
inline word::Error noSuchMember() {
    return word::Error(QStringLiteral("The requested member of the collection does not exist."));
}

inline word::Error valueOutOfRange() {
    return word::Error(QStringLiteral("Value out of range."));
}

// Text that would take the document past what the engine's reader opens.
inline word::Error tooMuchText() {
    return word::Error(QStringLiteral("The text cannot be added: a document may hold at most %1 "
                                      "characters.")
                           .arg(limits::kMaxDocumentCharacters));
}

inline word::Error fileNotFound(const QString& path) {
    return word::Error(QStringLiteral("The file could not be found: %1").arg(path));
}

inline word::Error cannotCreate() {
    return word::Error(QStringLiteral("ActiveX component can't create object."));
}

inline word::Error noRunningApplication() {
    return word::Error(QStringLiteral("Operation unavailable."));
}

// The result of a call into the package or the layout, whose failures (EngineError) the
// document script sees as the word::Error of the member it called, worded the same.
template <typename Call> decltype(auto) translated(Call&& call) {
    try {
        return std::forward<Call>(call)();
    } catch (const EngineError& e) {
        throw word::Error(e.description());
    }
}

} // namespace wordengine::errors
