#include "EngineApplicationFactory.h"

#include "EngineApplication.h"
#include "EngineClipboard.h"
#include "EngineErrors.h"
#include "EngineRunningApplication.h"
#include "Layout.h"

namespace wordengine {

EngineApplicationFactory::EngineApplicationFactory(QString registryDirectory)
    : registry_(std::move(registryDirectory)), clipboard_(std::make_shared<EngineClipboard>()) {}

EngineApplicationFactory::~EngineApplicationFactory() = default;

void EngineApplicationFactory::serveRun(bool anotherRunning) {
    runningSettled_ = anotherRunning;
    if (!runRegistration_)
        runRegistration_ = registry_.add();
}

std::shared_ptr<word::Application> EngineApplicationFactory::CreateNew() {
    if (!arialAvailable())
        throw errors::cannotCreate();
    return std::make_shared<EngineApplication>(
        clipboard_, runningSettled_ ? nullptr : registry_.add(), saveOptions_);
}

std::shared_ptr<word::Application> EngineApplicationFactory::GetRunning() {
    if (!(runningSettled_ ? *runningSettled_ : registry_.anotherProcessHasOne()))
        throw errors::noRunningApplication();
    return std::make_shared<EngineRunningApplication>();
}

word::Clipboard& EngineApplicationFactory::Clipboard() {
    return *clipboard_;
}

} // namespace wordengine
