#include "EngineCells.h"

#include "EngineDocument.h"
#include "EngineErrors.h"
#include "EngineSelection.h"
#include "WordValues.h"

namespace wordengine {

void EngineCells::SetVerticalAlignment(int alignment) {
    EngineDocument& document = selection_.document();
    document.ensureAvailable();
    const std::optional<CellVerticalAlignment> value =
        fromWordNumber(alignment, settableCellAlignments);
    if (!value)
        throw errors::valueOutOfRange();
    document.editor().setCellVerticalAlignment(selection_.start(), selection_.end(), *value);
    document.changed();
}

} // namespace wordengine
