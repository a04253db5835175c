#pragma once
// The selection's Font: the character formatting that typing at the insertion point uses.

#include "Automation.h"

namespace wordengine {

class EngineSelection;

class EngineFont final : public word::Font {
public:
    explicit EngineFont(EngineSelection& selection) : selection_(selection) {}

    QString Name() const override;
    void SetName(const QString& name) override;
    double Size() const override;
    void SetSize(double points) override;
    bool Bold() const override;
    void SetBold(bool bold) override;
    int Underline() const override;
    void SetUnderline(int underline) override;

private:
    EngineSelection& selection_;
};

} // namespace wordengine
