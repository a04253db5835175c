#pragma once
// One worker of a batch: makes one record's outputs after another with an engine of its own,
// the way vantorel-bill makes one: the document script runs as in the program, and its save
// hands the document over to be written straight into the output folder.

#include "EngineApplicationFactory.h"
#include "SaleRecordSource.h"
#include "ShapeReuse.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>
#include <sys/types.h>

namespace files {
class AtomicGroup;
}

struct BatchJob {
    qint64 line = 0;
    QString name; // the outputs' base name
    FixedRecord record;
    bool large = false; // made one at a time: see BillBatch.cpp
};

struct BatchOutputs {
    QString folder;
    bool pdf = false;
    bool png = false;
    int dpi = 96;
    bool force = false; // replace outputs that exist
    // The records file being read, which no output may be, whatever its name: its device and
    // inode. Not set when the records come from a pipe.
    bool inputIsFile = false;
    dev_t inputDevice = 0;
    ino_t inputInode = 0;
};

class BatchMaker {
public:
    // saveTime: the time every document records as made; engineRunning: whether another
    // process's engine was running when the batch began, which the script is told.
    BatchMaker(const BatchOutputs& outputs, const QDateTime& saveTime, bool engineRunning);

    // Makes the job's outputs. Nothing on success; on a failure, what went wrong: then none of
    // the record's files is written, and a file it would have replaced (--force) stays as it
    // was.
    std::optional<QString> make(const BatchJob& job);

    // While one lives, the boxes of the document script (its error reports) are kept for the
    // record being made on the thread that shows them, not shown; the question about an
    // application the user has open is answered Yes, as a batch uses private ones.
    class Reports {
    public:
        Reports();
        ~Reports();
        Reports(const Reports&) = delete;
        Reports& operator=(const Reports&) = delete;
    };

private:
    QString path(const QString& name, const QString& suffix) const;
    std::optional<QString> refuseExisting(const QString& path) const;
    // Writes the outputs as members of `group`, each whole under a name of its own; throws
    // Failure with the reason when one cannot be.
    void writeOutputs(const QByteArray& document, const BatchJob& job, files::AtomicGroup& group);
    QString whyNotDocument(const QString& why, const QString& doc) const;

    BatchOutputs outputs_;
    QDateTime saveTime_;
    mode_t fileMode_;     // the umask's, asked once: the kernel tells it only through /proc
    QByteArray document_; // the package the script's save handed over
    wordengine::EngineApplicationFactory engine_;
    // A maker works on one thread: the bills it makes share the shapes of what they share.
    wordengine::ShapeReuse shapes_;
};
