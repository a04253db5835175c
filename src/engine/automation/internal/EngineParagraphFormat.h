#pragma once
// The selection's ParagraphFormat: the alignment of the paragraphs it touches.

#include "Automation.h"

namespace wordengine {

class EngineSelection;

class EngineParagraphFormat final : public word::ParagraphFormat {
public:
    explicit EngineParagraphFormat(EngineSelection& selection) : selection_(selection) {}

    int Alignment() const override;
    void SetAlignment(int alignment) override;

private:
    EngineSelection& selection_;
};

} // namespace wordengine
