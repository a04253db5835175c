#include "EngineRange.h"

#include "EngineDocument.h"

namespace wordengine {

void EngineRange::CopyAsPicture() {
    document_->ensureAvailable();
    document_->copyPageToClipboard(start_);
}

} // namespace wordengine
