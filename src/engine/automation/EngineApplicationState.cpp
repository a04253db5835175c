#include "EngineApplicationState.h"

#include "EngineClipboard.h"
#include "EngineErrors.h"

#include <algorithm>
#include <utility>

namespace wordengine {

EngineApplicationState::EngineApplicationState(std::shared_ptr<EngineClipboard> clipboard)
    : clipboard_(std::move(clipboard)) {}

void EngineApplicationState::ensureRunning() const {
    if (quit_)
        throw errors::disconnected();
}

void EngineApplicationState::opened(const std::shared_ptr<EngineDocument>& document) {
    closed(document.get());
    open_.push_back(document);
}

void EngineApplicationState::closed(const EngineDocument* document) {
    std::erase_if(open_, [document](const std::weak_ptr<EngineDocument>& entry) {
        const auto live = entry.lock();
        return !live || live.get() == document;
    });
}

std::shared_ptr<EngineDocument> EngineApplicationState::active() const {
    for (auto it = open_.rbegin(); it != open_.rend(); ++it)
        if (auto live = it->lock())
            return live;
    return nullptr;
}

std::vector<std::shared_ptr<EngineDocument>> EngineApplicationState::openDocuments() const {
    std::vector<std::shared_ptr<EngineDocument>> documents;
    for (const auto& entry : open_)
        if (auto live = entry.lock())
            documents.push_back(std::move(live));
    return documents;
}

} // namespace wordengine
