#include "BatchSignals.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

// What the handler may touch: a lock-free atomic and a write to a pipe. One batch runs at a
// time in a process.
std::atomic<int> caught{0};
int pipeFds[2] = {-1, -1};

void onSignal(int number) {
    const int saved = errno;
    int none = 0;
    caught.compare_exchange_strong(none, number);
    if (pipeFds[1] >= 0) [[maybe_unused]]
        const ssize_t n = ::write(pipeFds[1], "x", 1);
    errno = saved;
}

} // namespace

BatchSignals::BatchSignals() {
    caught = 0;
    if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0)
        pipeFds[0] = pipeFds[1] = -1;
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART; // the workers' reads and writes go on; the reader polls
    ::sigaction(SIGINT, &action, &oldInt_);
    ::sigaction(SIGTERM, &action, &oldTerm_);
}

BatchSignals::~BatchSignals() {
    ::sigaction(SIGINT, &oldInt_, nullptr);
    ::sigaction(SIGTERM, &oldTerm_, nullptr);
    for (int& fd : pipeFds) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

int BatchSignals::stopFd() const {
    return pipeFds[0];
}

bool BatchSignals::stopped() const {
    return caught != 0;
}

int BatchSignals::signal() const {
    return caught;
}

QString BatchSignals::signalName() const {
    switch (caught) {
    case SIGINT:
        return QStringLiteral("SIGINT");
    case SIGTERM:
        return QStringLiteral("SIGTERM");
    default:
        return caught ? QStringLiteral("signal %1").arg(caught.load()) : QString();
    }
}
