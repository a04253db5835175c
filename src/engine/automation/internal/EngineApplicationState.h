#pragma once
// What an application's documents share with it: whether it still runs, its alerts setting,
// its clipboard, and which documents are open and active. Documents hold it (not the
// application object), so a document outlives neither the knowledge that its application quit
// nor the clipboard it copies to.

#include "Package.h"

#include <memory>
#include <vector>

namespace wordengine {

class EngineClipboard;
class EngineDocument;

class EngineApplicationState {
public:
    explicit EngineApplicationState(std::shared_ptr<EngineClipboard> clipboard);

    // Fails once the application has quit.
    void ensureRunning() const;
    void markQuit() { quit_ = true; }

    bool displayAlerts() const { return displayAlerts_; }
    void setDisplayAlerts(bool on) { displayAlerts_ = on; }

    EngineClipboard& clipboard() { return *clipboard_; }

    // How documents are saved (the time they record, whether they are flushed to disk).
    const SaveOptions& saveOptions() const { return saveOptions_; }
    void setSaveOptions(SaveOptions options) { saveOptions_ = std::move(options); }

    // A document added or opened; it becomes the active one.
    void opened(const std::shared_ptr<EngineDocument>& document);
    // A document reached again (opened twice): it becomes the active one.
    void activate(const std::shared_ptr<EngineDocument>& document) { opened(document); }
    // A closed document; the most recently active of the others takes its place.
    void closed(const EngineDocument* document);
    // The active document, or null when none is open.
    std::shared_ptr<EngineDocument> active() const;
    // Open documents, least recently active first.
    std::vector<std::shared_ptr<EngineDocument>> openDocuments() const;

private:
    bool quit_ = false;
    bool displayAlerts_ = true;
    std::shared_ptr<EngineClipboard> clipboard_;
    SaveOptions saveOptions_;
    // Weak: the application object owns its documents; a document holds this state.
    std::vector<std::weak_ptr<EngineDocument>> open_; // the back one is active
};

} // namespace wordengine
