#pragma once
// SIGTERM, SIGHUP and SIGINT to the window program. Left to their default they end it at once,
// and the temporary document the preview shows stays in the temporary folder; instead, each
// is handed to the event loop, where the program closes as its close box would close it.
// The handler only writes the signal's number to a pipe, which is all a handler may safely
// do. The handlers in place before are put back when this object goes.

#include <QObject>
#include <csignal>
#include <functional>

class QSocketNotifier;

class ClosingSignals : public QObject {
public:
    explicit ClosingSignals(std::function<void(int signal)> onSignal);
    ~ClosingSignals() override;
    ClosingSignals(const ClosingSignals&) = delete;
    ClosingSignals& operator=(const ClosingSignals&) = delete;

private:
    void arrived();

    std::function<void(int)> onSignal;
    int pipeFds[2] = {-1, -1};
    int previousWriteFd = -1;
    struct sigaction previous[3]{};
    QSocketNotifier* notifier = nullptr;
};
