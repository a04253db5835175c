#pragma once
// SIGINT and SIGTERM during a batch: instead of ending the process at once, which would leave
// the temporary files of the outputs being written, they ask the batch to stop. The reader
// sees it through stopFd() (a pipe that becomes readable), the workers through stopped().
// The handlers in place before are put back when this object goes.

#include <QString>
#include <csignal>

class BatchSignals {
public:
    BatchSignals();
    ~BatchSignals();
    BatchSignals(const BatchSignals&) = delete;
    BatchSignals& operator=(const BatchSignals&) = delete;

    int stopFd() const;
    bool stopped() const;
    // The signal that stopped the batch (0 for none) and its name.
    int signal() const;
    QString signalName() const;

private:
    struct sigaction oldInt_ {
    }, oldTerm_{};
};
