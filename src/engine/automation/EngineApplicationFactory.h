#pragma once
// Where engine applications come from: "create new", "get running", and the clipboard that
// the applications of this factory copy to.

#include "Automation.h"
#include "EngineRegistry.h"
#include "Package.h"

#include <memory>
#include <optional>

namespace wordengine {

class EngineClipboard;

class EngineApplicationFactory final : public word::ApplicationFactory {
public:
    // registryDirectory: where live applications are registered for "get running"; empty for
    // the user's runtime folder. Tests pass a folder of their own.
    explicit EngineApplicationFactory(QString registryDirectory = {});
    ~EngineApplicationFactory() override;

    // A new application. Fails when no font with Arial's metrics is installed: the engine
    // could not lay the program's document out.
    std::shared_ptr<word::Application> CreateNew() override;
    // An application that another process of this user is running; fails when there is none.
    std::shared_ptr<word::Application> GetRunning() override;
    word::Clipboard& Clipboard() override;
    // Known only in a run (serveRun) that found no other application at its start.
    bool NoneRunning() override { return runningSettled_ == false; }

    // How documents of applications created from now on are saved. A run that makes many
    // documents gives them all one time (the files then do not depend on when each was
    // made), and need not flush documents it only copies elsewhere and removes.
    void setSaveOptions(const SaveOptions& options) { saveOptions_ = options; }

    // For a run that makes many documents one after another (a batch's worker): from now on
    // "get running" answers `anotherRunning`, what the run found when it looked once at its
    // start, and one registration, held until the factory ends, stands for every application
    // it creates. Otherwise each document would scan the registry's folder, trying a lock on
    // each file there, and create, lock, rename and remove a file of its own.
    void serveRun(bool anotherRunning);

private:
    EngineRegistry registry_;
    std::shared_ptr<EngineClipboard> clipboard_;
    SaveOptions saveOptions_;
    std::optional<bool> runningSettled_;
    std::unique_ptr<EngineRegistry::Entry> runRegistration_;
};

} // namespace wordengine
