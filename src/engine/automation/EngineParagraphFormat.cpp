#include "EngineParagraphFormat.h"

#include "EngineDocument.h"
#include "EngineErrors.h"
#include "EngineSelection.h"
#include "WordValues.h"

namespace wordengine {

int EngineParagraphFormat::Alignment() const {
    EngineDocument& document = selection_.document();
    document.ensureAvailable();
    const Editor rules = document.editor();
    const Paragraph* paragraph = rules.paragraphAt(selection_.active());
    if (!paragraph)
        throw errors::notAvailable(); // an end-of-row mark has no paragraph
    return wordNumber(paragraph->alignment);
}

void EngineParagraphFormat::SetAlignment(int alignment) {
    EngineDocument& document = selection_.document();
    document.ensureAvailable();
    const std::optional<ParagraphAlignment> value =
        fromWordNumber(alignment, settableParagraphAlignments);
    if (!value)
        throw errors::valueOutOfRange();
    document.editor().setAlignment(selection_.start(), selection_.end(), *value);
    document.changed();
}

} // namespace wordengine
