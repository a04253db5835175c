#include "EngineParagraphFormat.h"

#include "EngineDocument.h"
#include "EngineErrors.h"
#include "EngineSelection.h"

namespace wordengine {

int EngineParagraphFormat::Alignment() const {
    EngineDocument& document = selection_.document();
    document.ensureAvailable();
    const Editor rules = document.editor();
    const Paragraph* paragraph = rules.paragraphAt(selection_.active());
    if (!paragraph)
        throw errors::notAvailable(); // an end-of-row mark has no paragraph
    return paragraph->alignment;
}

void EngineParagraphFormat::SetAlignment(int alignment) {
    EngineDocument& document = selection_.document();
    document.ensureAvailable();
    if (alignment < word::wd::AlignParagraphLeft || alignment > word::wd::AlignParagraphJustify)
        throw errors::valueOutOfRange();
    document.editor().setAlignment(selection_.start(), selection_.end(), alignment);
    document.changed();
}

} // namespace wordengine
