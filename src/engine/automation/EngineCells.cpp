#include "EngineCells.h"

#include "EngineDocument.h"
#include "EngineErrors.h"
#include "EngineSelection.h"

namespace wordengine {

void EngineCells::SetVerticalAlignment(int alignment) {
    EngineDocument& document = selection_.document();
    document.ensureAvailable();
    if (alignment != word::wd::CellAlignVerticalTop &&
        alignment != word::wd::CellAlignVerticalCenter &&
        alignment != word::wd::CellAlignVerticalBottom)
        throw errors::valueOutOfRange();
    document.editor().setCellVerticalAlignment(selection_.start(), selection_.end(), alignment);
    document.changed();
}

} // namespace wordengine
