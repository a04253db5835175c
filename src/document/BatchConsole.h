#pragma once
// What a batch says on standard error: a line per failed record, the progress line on a
// terminal (lines done of how many, documents per second, failures so far, redrawn a few
// times a second), and the summary at the end. Safe to call from every worker.

#include <QElapsedTimer>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

class QTextStream;

class BatchConsole {
public:
    // progress: draw the progress line (on a terminal). countLinesOf: the input file whose
    // lines make the total shown, counted on the progress thread; empty when there is none
    // (standard input).
    BatchConsole(QTextStream& err, bool progress, const QString& countLinesOf);
    ~BatchConsole(); // stops the progress thread
    BatchConsole(const BatchConsole&) = delete;
    BatchConsole& operator=(const BatchConsole&) = delete;

    void blank() { ++skipped_; }
    void made() { ++made_; }
    // A record that failed: "vantorel-bill: line N: message".
    void failed(qint64 line, const QString& message);
    // A message of the whole run, not of one line.
    void say(const QString& message);

    int madeCount() const { return made_; }
    int failedCount() const { return failed_; }

    // Ends the progress line and prints the summary; `stoppedBy` names the signal that
    // stopped the run, if one did.
    void finish(const QString& stoppedBy);

private:
    void progressLoop(QString countLinesOf);
    QString progressText() const;
    void write(const QString& text); // with the lock held

    QTextStream& err_;
    const bool progress_;
    QElapsedTimer clock_;
    std::atomic<int> made_{0}, failed_{0}, skipped_{0};
    std::atomic<qint64> total_{-1};
    std::mutex lock_;
    std::condition_variable wake_;
    bool stopping_ = false;
    bool drawn_ = false; // the progress line is on the screen
    std::thread thread_;
};
