#include "ClosingSignals.h"

#include <QSocketNotifier>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int handled[] = {SIGTERM, SIGHUP, SIGINT};

// Where the handler writes: the pipe of the newest ClosingSignals.
std::atomic<int> writeFd{-1};

void onSignal(int number) {
    const int saved = errno;
    const char byte = char(number);
    if (const int fd = writeFd.load(); fd >= 0) [[maybe_unused]]
        const ssize_t n = ::write(fd, &byte, 1);
    errno = saved;
}

} // namespace

ClosingSignals::ClosingSignals(std::function<void(int)> closing) : onSignal(std::move(closing)) {
    if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0)
        return; // the signals keep their default: the program ends at once, as before
    previousWriteFd = writeFd.exchange(pipeFds[1]);
    notifier = new QSocketNotifier(pipeFds[0], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &ClosingSignals::arrived);
    struct sigaction action {};
    action.sa_handler = ::onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < std::size(handled); ++i)
        ::sigaction(handled[i], &action, &previous[i]);
}

ClosingSignals::~ClosingSignals() {
    if (pipeFds[0] < 0)
        return;
    for (std::size_t i = 0; i < std::size(handled); ++i)
        ::sigaction(handled[i], &previous[i], nullptr);
    writeFd = previousWriteFd;
    delete notifier;
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
}

void ClosingSignals::arrived() {
    char number = 0;
    // One close is enough, however many signals came: the rest are read and dropped.
    if (::read(pipeFds[0], &number, 1) != 1)
        return;
    for (char more; ::read(pipeFds[0], &more, 1) == 1;) {
    }
    if (onSignal)
        onSignal(number);
}
