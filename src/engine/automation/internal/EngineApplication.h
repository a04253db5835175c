#pragma once
// An engine application: Word's Application and its Documents collection. It is registered as
// a live application of this user for as long as it runs (see EngineRegistry).

#include "Automation.h"
#include "EngineRegistry.h"
#include "Package.h"

#include <memory>
#include <vector>

namespace wordengine {

class EngineApplicationState;
class EngineClipboard;
class EngineDocument;

class EngineApplication final : public word::Application, public word::Documents {
public:
    // saveOptions: how its documents are saved (see EngineApplicationFactory::setSaveOptions).
    EngineApplication(std::shared_ptr<EngineClipboard> clipboard,
                      std::unique_ptr<EngineRegistry::Entry> registration,
                      const SaveOptions& saveOptions = {});
    ~EngineApplication() override;

    // word::Application
    QString Name() const override;
    word::Documents& Documents() override;
    std::shared_ptr<word::Document> ActiveDocument() override;
    double InchesToPoints(double inches) override;
    void SetDisplayAlerts(bool on) override;
    void Quit() override;
    word::Selection& Selection() override;

    // word::Documents
    std::shared_ptr<word::Document> Add() override;
    std::shared_ptr<word::Document> Open(const QString& path) override;

private:
    std::shared_ptr<EngineDocument> activeDocument() const;

    std::shared_ptr<EngineApplicationState> state_;
    // Every document this application made, closed ones too: references to a closed
    // document's selection or page setup stay valid and fail cleanly instead of dangling.
    std::vector<std::shared_ptr<EngineDocument>> documents_;
    std::unique_ptr<EngineRegistry::Entry> registration_;
};

} // namespace wordengine
