#include "EngineApplication.h"

#include "EngineApplicationState.h"
#include "EngineClipboard.h"
#include "EngineDocument.h"
#include "EngineErrors.h"
#include "Package.h"

#include <QFileInfo>

namespace wordengine {

EngineApplication::EngineApplication(std::shared_ptr<EngineClipboard> clipboard,
                                     std::unique_ptr<EngineRegistry::Entry> registration,
                                     const SaveOptions& saveOptions)
    : state_(std::make_shared<EngineApplicationState>(std::move(clipboard))),
      registration_(std::move(registration)) {
    state_->setSaveOptions(saveOptions);
}

EngineApplication::~EngineApplication() = default;

QString EngineApplication::Name() const {
    state_->ensureRunning();
    return QStringLiteral("Microsoft Word"); // the object model's contract
}

word::Documents& EngineApplication::Documents() {
    state_->ensureRunning();
    return *this;
}

std::shared_ptr<EngineDocument> EngineApplication::activeDocument() const {
    state_->ensureRunning();
    auto document = state_->active();
    if (!document)
        throw errors::noDocumentOpen();
    return document;
}

std::shared_ptr<word::Document> EngineApplication::ActiveDocument() {
    return activeDocument();
}

double EngineApplication::InchesToPoints(double inches) {
    state_->ensureRunning();
    return inches * 72.0;
}

void EngineApplication::SetDisplayAlerts(bool on) {
    state_->ensureRunning();
    state_->setDisplayAlerts(on);
}

void EngineApplication::Quit() {
    state_->ensureRunning();
    // There is no one to ask about unsaved changes: they are discarded.
    for (const auto& document : state_->openDocuments())
        document->discard();
    state_->markQuit();
    registration_.reset();
}

word::Selection& EngineApplication::Selection() {
    return activeDocument()->ActiveWindow().Selection();
}

std::shared_ptr<word::Document> EngineApplication::Add() {
    state_->ensureRunning();
    auto document = std::make_shared<EngineDocument>(state_, wordengine::Document{}, QString());
    documents_.push_back(document);
    state_->opened(document);
    return document;
}

std::shared_ptr<word::Document> EngineApplication::Open(const QString& path) {
    state_->ensureRunning();
    const QFileInfo file(path);
    if (path.isEmpty() || !file.isFile())
        throw errors::fileNotFound(path);
    // A document that is already open is reached again rather than opened twice.
    const QString canonical = file.canonicalFilePath();
    for (const auto& open : state_->openDocuments()) {
        if (QFileInfo(open->path()).canonicalFilePath() == canonical) {
            state_->activate(open);
            return open;
        }
    }
    auto document = std::make_shared<EngineDocument>(
        state_, errors::translated([&] { return openPackage(path); }), path);
    documents_.push_back(document);
    state_->opened(document);
    return document;
}

} // namespace wordengine
