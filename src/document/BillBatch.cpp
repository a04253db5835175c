#include "BillBatch.h"

#include "AtomicFile.h"
#include "BatchConsole.h"
#include "BatchInput.h"
#include "BatchMaker.h"
#include "BatchNames.h"
#include "BatchQueue.h"
#include "BatchSignals.h"
#include "BillArguments.h"
#include "BillFiles.h"
#include "BillRecord.h"
#include "Layout.h"
#include "Leftovers.h"
#include "MotorVehicleBill.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHashSeed>
#include <QTextStream>
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace BillBatch {
namespace {

enum ExitCode { Success = 0, Failed = 1, BadUsage = 2 };

// Records with more characters than this are large (some 13 MB to make), and made one at a
// time. Sales' records are a few hundred characters.
constexpr qint64 kLargeRecordCharacters = 1 << 18;

struct Options {
    QString input;
    BatchOutputs outputs;
    int jobs = 0; // 0: one per core
};

using UsageError = BillArguments::Error;

Options parse(const QStringList& args) {
    Options o;
    bool dpiGiven = false;
    for (BillArguments words(args); words.next();) {
        const QString& a = words.current();
        if (a == QStringLiteral("--batch"))
            words.once(o.input);
        else if (a == QStringLiteral("--out"))
            words.once(o.outputs.folder);
        else if (a == QStringLiteral("--pdf"))
            o.outputs.pdf = true;
        else if (a == QStringLiteral("--png"))
            o.outputs.png = true;
        else if (a == QStringLiteral("--force"))
            o.outputs.force = true;
        else if (a == QStringLiteral("--dpi")) {
            o.outputs.dpi = words.number(2400);
            dpiGiven = true;
        } else if (a == QStringLiteral("--jobs"))
            o.jobs = words.number(256);
        else if (a == QStringLiteral("--doc") || a == QStringLiteral("--render"))
            throw UsageError{QStringLiteral("%1 does not go with --batch").arg(a)};
        else if (a.startsWith(u'-') && a.size() > 1)
            throw UsageError{QStringLiteral("unknown option %1").arg(a)};
        else
            throw UsageError{QStringLiteral("a batch takes its records from --batch, not %1 "
                                            "(--pdf and --png take no file name in a batch)")
                                 .arg(a)};
    }
    if (o.input.isEmpty())
        throw UsageError{
            QStringLiteral("--batch needs a file of records, or - for standard input")};
    if (o.outputs.folder.isEmpty())
        throw UsageError{QStringLiteral("--out DIR is needed with --batch")};
    if (dpiGiven && !o.outputs.png)
        throw UsageError{QStringLiteral("--dpi goes with --png")};
    return o;
}

// The output folder, made when missing and tried with a file of our own before any work:
// one clear message then, rather than one per line.
std::optional<QString> prepareFolder(const QString& folder) {
    if (QFileInfo::exists(folder) && !QFileInfo(folder).isDir())
        return QStringLiteral("the output folder %1 is not a folder").arg(folder);
    if (!files::makeFolders(folder, 0777))
        return QStringLiteral("the output folder %1 cannot be made").arg(folder);
    const QByteArray probe =
        QFile::encodeName(QDir(folder).filePath(QStringLiteral(".vantorel-bill-XXXXXX")));
    std::vector<char> name(probe.constData(), probe.constData() + probe.size() + 1);
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0)
        return QStringLiteral("cannot write into the output folder %1: %2")
            .arg(folder, QString::fromLocal8Bit(std::strerror(errno)));
    ::close(fd);
    ::unlink(name.data());
    files::removeLeftovers(folder); // the unfinished files of a batch that was killed
    return std::nullopt;
}

// The time all documents record: SOURCE_DATE_EPOCH when set (for output that can be made
// again byte for byte), else the start of the batch, to the second.
QDateTime saveTime() {
    bool ok = false;
    const qint64 epoch = qEnvironmentVariable("SOURCE_DATE_EPOCH").toLongLong(&ok);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    return ok && epoch >= 0 ? QDateTime::fromSecsSinceEpoch(epoch, Qt::UTC)
                            : QDateTime::fromSecsSinceEpoch(now.toSecsSinceEpoch(), Qt::UTC);
}

bool blank(const QByteArray& line) {
    return std::all_of(line.begin(), line.end(), [](char c) { return std::isspace(uchar(c)); });
}

} // namespace

bool wanted(const QStringList& arguments) {
    return arguments.contains(QStringLiteral("--batch"));
}

QString usage() {
    return QStringLiteral(
        "  vantorel-bill --batch RECORDS.jsonl --out DIR [--pdf] [--png [--dpi N]]\n"
        "                [--jobs N] [--force]\n"
        "\n"
        "A batch makes a bill for each line of RECORDS.jsonl (- reads standard input): one\n"
        "record as above per line (a number is also taken, as written), plus an optional\n"
        "\"file\" member naming its outputs: a plain file name without a folder, not starting\n"
        "with a dot, not digits alone, each character one a file name can hold. A line\n"
        "without one is named by its number, zero-padded: 000001. Each line gives DIR/NAME.doc,\n"
        "with --pdf DIR/NAME.pdf, with --png DIR/NAME-page-1.png, ... Blank lines are skipped;\n"
        "a bad line, or one whose output would be RECORDS.jsonl itself, is reported on\n"
        "standard error with its number and skipped.\n"
        "  --out DIR       the output folder, made when missing\n"
        "  --jobs N        records made at once (default: one per core); records of more than\n"
        "                  262,144 characters are made one at a time\n"
        "  --force         replace outputs that exist, and remove the pictures past the last\n"
        "                  page that a longer document left; otherwise such a line fails\n"
        "Exit status of a batch: 0 every line made; 1 a line failed, or DIR cannot be made or\n"
        "written; 2 bad usage or records that cannot be read; 130 (SIGINT) or 143 (SIGTERM)\n"
        "when stopped: the records being made are finished, no partial file is left, and the\n"
        "summary says how many were made.\n");
}

int run(const QStringList& arguments, QTextStream& err, bool progress) {
    Options options;
    int fd = STDIN_FILENO;
    try {
        options = parse(arguments);
        const bool standardInput = options.input == QStringLiteral("-");
        if (!standardInput)
            fd = ::open(QFile::encodeName(options.input).constData(), O_RDONLY | O_CLOEXEC);
        // What cannot be read is said before any work: a folder, and a standard input that
        // was closed (main() holds it open for writing only, which reads as a closed one).
        int unreadable = fd < 0 ? errno : 0;
        struct stat st {};
        if (!unreadable && ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode))
            unreadable = EISDIR;
        else if (!unreadable && (::fcntl(fd, F_GETFL) & O_ACCMODE) == O_WRONLY)
            unreadable = EBADF;
        if (unreadable) {
            if (fd > STDIN_FILENO)
                ::close(fd);
            throw UsageError{QStringLiteral("cannot read the records %1: %2")
                                 .arg(standardInput ? QStringLiteral("from standard input")
                                                    : QStringLiteral("file %1").arg(options.input),
                                      QString::fromLocal8Bit(std::strerror(unreadable)))};
        }
        // Known by what it is, not by its name: "-" may be a file too (< sales.jsonl), and a
        // link or a second name of it may stand in the output folder.
        if (S_ISREG(st.st_mode)) {
            options.outputs.inputIsFile = true;
            options.outputs.inputDevice = st.st_dev;
            options.outputs.inputInode = st.st_ino;
        }
    } catch (const UsageError& e) {
        err << "vantorel-bill: " << e.message << "\n(see vantorel-bill --help)\n";
        err.flush();
        return BadUsage;
    }
    struct CloseInput {
        int fd;
        ~CloseInput() {
            if (fd != STDIN_FILENO)
                ::close(fd);
        }
    } closeInput{fd};
    if (const std::optional<QString> why = prepareFolder(options.outputs.folder)) {
        err << "vantorel-bill: " << *why << '\n';
        err.flush();
        return Failed;
    }

    // Qt's PDF writer orders the fonts it embeds by hash, whose seed is drawn anew in every
    // process: a fixed seed makes the files the same from run to run and worker to worker.
    // (Set before any worker starts; hashes made before keep the seed they have.)
    QHashSeed::setDeterministicGlobalSeed();
    // Fonts are loaded once, on this thread, before the workers lay documents out (the
    // fallback faces by the first worker that meets a character Liberation lacks).
    wordengine::arialAvailable();
    const int jobs =
        options.jobs > 0 ? options.jobs : std::max(1, int(std::thread::hardware_concurrency()));
    const QDateTime madeAt = saveTime();
    // Whether another engine runs is looked for once: the question it would lead to is
    // answered Yes in a batch whatever the answer, so looking again for every document
    // would change nothing but the time the batch takes.
    wordengine::EngineApplicationFactory lookout;
    const bool engineRunning = MotorVehicleBill::IsWordRunning(lookout);
    std::vector<std::unique_ptr<BatchMaker>> makers;
    for (int i = 0; i < jobs; ++i)
        makers.push_back(std::make_unique<BatchMaker>(options.outputs, madeAt, engineRunning));

    BatchSignals stop;
    const BatchMaker::Reports reports;
    const bool fromFile = fd != STDIN_FILENO && QFileInfo(options.input).isFile();
    BatchConsole console(err, progress, fromFile ? options.input : QString());
    // A few records per worker wait, and at most as many bytes as one record may hold.
    BatchQueue<BatchJob> queue(size_t(jobs) * 4, BillFiles::kMaxRecordBytes * 2);

    // Making a record takes some fifty bytes a character of its values, mostly for laying out
    // its text; a large one is made while no other large one is, so that the batch never needs
    // the largest record's share once per worker.
    std::mutex oneLargeRecord;
    std::vector<std::thread> workers;
    for (int i = 0; i < jobs; ++i)
        workers.emplace_back([&, maker = makers[size_t(i)].get()] {
            while (std::optional<BatchJob> job = queue.pop()) {
                std::unique_lock<std::mutex> large(oneLargeRecord, std::defer_lock);
                if (job->large)
                    large.lock();
                if (stop.stopped()) {
                    // What waits is left (and a reader waiting for room let go); what is
                    // being made on the other workers is finished.
                    queue.close(true);
                    break;
                }
                if (const std::optional<QString> failure = maker->make(*job))
                    console.failed(job->line, *failure);
                else
                    console.made();
            }
        });

    BatchInput input(fd, stop.stopFd(), BillFiles::kMaxRecordBytes);
    BatchNames names;
    BatchInput::Line line;
    BatchInput::Result result = BatchInput::Result::End;
    while (!stop.stopped() && (result = input.next(line)) == BatchInput::Result::Line) {
        if (line.tooLong) {
            console.failed(line.number, QStringLiteral("the line is longer than %1 MB, more than "
                                                       "a record may hold")
                                            .arg(BillFiles::kMaxRecordBytes >> 20));
            continue;
        }
        if (blank(line.bytes)) {
            console.blank();
            continue;
        }
        try {
            // The line's number begins the message; the message names the record.
            BillRecord::Parsed parsed = BillRecord::parse(
                line.bytes, {QStringLiteral("the record"), QStringLiteral("in the record")},
                {.file = true, .numbers = true});
            BatchJob job{line.number, names.nameFor(line.number, parsed.file),
                         std::move(parsed.record), parsed.characters > kLargeRecordCharacters};
            if (!queue.push(std::move(job), line.bytes.size() * 2))
                break;
        } catch (const BillRecord::Bad& bad) {
            console.failed(line.number, bad.message);
        } catch (const std::bad_alloc&) {
            // No memory for this line's record: it fails, the reading goes on (the workers
            // finish and free theirs).
            console.failed(line.number, QStringLiteral("out of memory for the record"));
        }
    }
    if (!stop.stopped() && result == BatchInput::Result::Failed)
        console.say(QStringLiteral("cannot read the records %1 any further: %2")
                        .arg(fd == STDIN_FILENO ? QStringLiteral("from standard input")
                                                : QStringLiteral("file %1").arg(options.input),
                             input.error()));
    queue.close(stop.stopped());
    for (std::thread& worker : workers)
        worker.join();
    // Dropped when a signal came: the lines taken but not begun.
    queue.close(true);
    // The outputs' names, flushed once for all (each file was flushed before it was named).
    files::syncFolderOf(QDir(options.outputs.folder).filePath(QStringLiteral("x")));
    console.finish(stop.signalName());
    if (stop.stopped())
        return 128 + stop.signal();
    if (result == BatchInput::Result::Failed)
        return BadUsage;
    return console.failedCount() > 0 ? Failed : Success;
}

} // namespace BillBatch
