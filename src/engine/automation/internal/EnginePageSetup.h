#pragma once
// A document's PageSetup, and its LineNumbering (one object: the model keeps both in the
// section's page setup).

#include "Automation.h"

namespace wordengine {

class EngineDocument;

class EnginePageSetup final : public word::PageSetup, public word::LineNumbering {
public:
    explicit EnginePageSetup(EngineDocument& document) : document_(document) {}

    // word::PageSetup
    word::LineNumbering& LineNumbering() override;
#define ENGINE_DECLARE_SETTER(name, type) void Set##name(type value) override;
    WORD_PAGE_SETUP_PROPERTIES(ENGINE_DECLARE_SETTER)
#undef ENGINE_DECLARE_SETTER

    // word::LineNumbering
    void SetActive(bool active) override;

private:
    EngineDocument& document_;
};

} // namespace wordengine
