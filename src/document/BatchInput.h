#pragma once
// The lines of a batch's input, read as they come: from a file or a pipe, one at a time, never
// more than one line (of at most the longest a record may be) held. A byte-order mark at the
// start and the carriage return of a CRLF line end are dropped. A line longer than the limit
// is not kept: it is reported as too long and skipped up to its end.

#include <QByteArray>
#include <QString>
#include <memory>

class BatchInput {
public:
    // fd: open for reading (not owned). stopFd: becomes readable when the batch is to stop,
    // which ends a wait for input; -1 for none.
    BatchInput(int fd, int stopFd, qint64 longestLine);

    struct Line {
        qint64 number = 0; // from 1
        QByteArray bytes;  // without the line end; empty when too long
        bool tooLong = false;
    };
    enum class Result { Line, End, Stopped, Failed };

    // The next line into `line`; End after the last one, Stopped when stopFd became readable,
    // Failed when reading failed (see error()).
    Result next(Line& line);

    const QString& error() const { return error_; }

private:
    // Reads more into the buffer; false at the end, on a stop, or on a failure.
    bool fill(Result& why);

    int fd_;
    int stopFd_;
    qint64 longest_;
    qint64 number_ = 0;
    bool atStart_ = true;
    bool ended_ = false;
    std::unique_ptr<char[]> buffer_;
    size_t begin_ = 0, end_ = 0; // unread bytes: buffer_[begin_, end_)
    QString error_;
};
