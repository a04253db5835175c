#include "BatchConsole.h"

#include <QFile>
#include <QTextStream>
#include <chrono>

namespace {

// Redraws per second: enough to see it move, few enough to cost nothing.
constexpr auto kRedrawEvery = std::chrono::milliseconds(250);

// Back to the start of the line and clear it, on a terminal.
const QString clearLine = QStringLiteral("\r\x1b[K");

} // namespace

BatchConsole::BatchConsole(QTextStream& err, bool progress, const QString& countLinesOf)
    : err_(err), progress_(progress) {
    clock_.start();
    if (progress_)
        thread_ = std::thread([this, countLinesOf] { progressLoop(countLinesOf); });
}

BatchConsole::~BatchConsole() {
    {
        const std::lock_guard<std::mutex> hold(lock_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

void BatchConsole::write(const QString& text) {
    if (drawn_)
        err_ << clearLine;
    err_ << text;
    if (drawn_)
        err_ << progressText();
    err_.flush();
}

void BatchConsole::failed(qint64 line, const QString& message) {
    ++failed_;
    QString text = message;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    const std::lock_guard<std::mutex> hold(lock_);
    write(QStringLiteral("vantorel-bill: line %1: %2\n").arg(line).arg(text));
}

void BatchConsole::say(const QString& message) {
    const std::lock_guard<std::mutex> hold(lock_);
    write(QStringLiteral("vantorel-bill: %1\n").arg(message));
}

QString BatchConsole::progressText() const {
    const qint64 done = qint64(made_) + failed_ + skipped_;
    const qint64 total = total_;
    const double seconds = std::max(0.001, clock_.elapsed() / 1000.0);
    return QStringLiteral("vantorel-bill: %1 lines, %2 documents/s, %3 failed")
        .arg(total >= 0 ? QStringLiteral("%1/%2").arg(done).arg(total) : QString::number(done))
        .arg(qRound(made_ / seconds))
        .arg(failed_.load());
}

void BatchConsole::progressLoop(QString countLinesOf) {
    std::unique_lock<std::mutex> hold(lock_);
    err_ << progressText();
    err_.flush();
    drawn_ = true;
    if (!countLinesOf.isEmpty()) {
        // The total, counted while the work goes on: a large input is not read twice first.
        hold.unlock();
        QFile file(countLinesOf);
        qint64 lines = 0;
        bool open = file.open(QIODevice::ReadOnly), lastOpen = false;
        while (open) {
            const QByteArray chunk = file.read(1 << 20);
            if (chunk.isEmpty())
                break;
            lines += chunk.count('\n');
            lastOpen = !chunk.endsWith('\n');
            const std::lock_guard<std::mutex> check(lock_);
            if (stopping_)
                break;
        }
        if (open && file.error() == QFileDevice::NoError)
            total_ = lines + (lastOpen ? 1 : 0);
        hold.lock();
    }
    while (!stopping_) {
        wake_.wait_for(hold, kRedrawEvery);
        err_ << clearLine << progressText();
        err_.flush();
    }
}

void BatchConsole::finish(const QString& stoppedBy) {
    {
        const std::lock_guard<std::mutex> hold(lock_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable())
        thread_.join();
    const std::lock_guard<std::mutex> hold(lock_);
    if (drawn_)
        err_ << clearLine << progressText() << '\n';
    drawn_ = false;
    const QString summary = QStringLiteral("made %1, failed %2, in %3 s")
                                .arg(made_.load())
                                .arg(failed_.load())
                                .arg(clock_.elapsed() / 1000.0, 0, 'f', 1);
    write(stoppedBy.isEmpty()
              ? QStringLiteral("vantorel-bill: %1\n").arg(summary)
              : QStringLiteral("vantorel-bill: stopped by %1; %2\n").arg(stoppedBy, summary));
}
