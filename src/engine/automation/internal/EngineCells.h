#pragma once
// The selection's Cells: the table cells it touches.

#include "Automation.h"

namespace wordengine {

class EngineSelection;

class EngineCells final : public word::Cells {
public:
    explicit EngineCells(EngineSelection& selection) : selection_(selection) {}

    // Fails outside tables.
    void SetVerticalAlignment(int alignment) override;

private:
    EngineSelection& selection_;
};

} // namespace wordengine
