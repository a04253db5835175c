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

    // How documents of applications created from now on are saved. A run that makes many
    // documents gives them all one time (the files then do not depend on when each was
    // made), and need not flush documents it only copies elsewhere and removes.
    void setSaveOptions(const SaveOptions& options) { saveOptions_ = options; }

    // From now on "get running" answers `running` instead of looking for one: for a run of
    // many documents that looked once at its start. Looking scans the registry's folder and
    // tries a lock on each file there, once per document otherwise.
    void settleRunning(bool running) { runningSettled_ = running; }

private:
    EngineRegistry registry_;
    std::shared_ptr<EngineClipboard> clipboard_;
    SaveOptions saveOptions_;
    std::optional<bool> runningSettled_;
};

} // namespace wordengine
