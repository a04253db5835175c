#pragma once
// What "get running" hands out for an engine application of another process: enough to tell
// that it is there (its Name), and nothing with which to drive, show or quit it.

#include "Automation.h"

namespace wordengine {

class EngineRunningApplication final : public word::Application {
public:
    QString Name() const override;
    // Every other member fails: the application belongs to another process of the user's.
    word::Documents& Documents() override;
    std::shared_ptr<word::Document> ActiveDocument() override;
    double InchesToPoints(double inches) override;
    void SetDisplayAlerts(bool on) override;
    void Quit() override;
    word::Selection& Selection() override;
};

} // namespace wordengine
