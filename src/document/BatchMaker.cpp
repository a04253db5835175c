#include "BatchMaker.h"

#include "AtomicGroup.h"
#include "BatchNames.h"
#include "BillFiles.h"
#include "BillPdf.h"
#include "Dialogs.h"
#include "Failure.h"
#include "Layout.h"
#include "MotorVehicleBill.h"
#include "Package.h"
#include "PackageReader.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <mutex>
#include <sys/stat.h>

namespace {

// The reports of the record being made on this thread.
thread_local QStringList* threadReports = nullptr;

class ReportingDialogs final : public WindowlessDialogs {
public:
    Answer message(const MessageRequest& request) override {
        if (request.buttons == Buttons::YesNo)
            return Answer::Yes;
        if (threadReports)
            threadReports->append(request.text);
        return Answer::Ok;
    }
    void notice(const MessageRequest& request) override { message(request); }
};

ReportingDialogs reportingDialogs;

// Why a write failed, from an AtomicFile.
QString whyNot(const files::AtomicFile& file, const QString& path) {
    if (file.failedStep() == files::Step::Publish && file.errorCode() == EEXIST)
        return QStringLiteral("%1 exists (--force replaces it)").arg(path);
    return file.errorCode() ? file.errorString() : QStringLiteral("cannot write %1").arg(path);
}

// Qt's PDF writer records the clock's time as the file's creation date; a batch's files
// record the batch's time instead, so that they do not depend on when each was written. The
// date is rewritten in place, digits for digits in the time zone the writer used, so every
// offset in the file stays right.
void pinCreationDate(QByteArray& pdf, const QDateTime& when) {
    static const QByteArray key = "/CreationDate (D:";
    const qsizetype at = pdf.indexOf(key);
    if (at < 0 || pdf.size() < at + key.size() + 15)
        return;
    const qsizetype digits = at + key.size();
    const char zone = pdf[digits + 14];
    int offset = 0; // seconds east of UTC
    if (zone == '+' || zone == '-') {
        const QByteArray hours = pdf.mid(digits + 15, 2), minutes = pdf.mid(digits + 18, 2);
        offset = (hours.toInt() * 3600 + minutes.toInt() * 60) * (zone == '-' ? -1 : 1);
    } else if (zone != 'Z') {
        return;
    }
    const QByteArray stamp =
        when.toOffsetFromUtc(offset).toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1();
    if (stamp.size() == 14)
        pdf.replace(digits, 14, stamp);
}

} // namespace

BatchMaker::Reports::Reports() {
    setDialogs(&reportingDialogs);
}

BatchMaker::Reports::~Reports() {
    setDialogs(nullptr);
}

BatchMaker::BatchMaker(const BatchOutputs& outputs, const QDateTime& saveTime, bool engineRunning)
    : outputs_(outputs), saveTime_(saveTime), fileMode_(files::userFileMode()) {
    engine_.serveRun(engineRunning);
    // The script's save hands the package over rather than writing it into the temporary
    // folder: it is written once, straight into the output folder, not written there, read
    // back, copied and removed.
    engine_.setSaveOptions(
        {.savedAt = saveTime,
         .durable = false,
         .handOver = [this](const QString&, const QByteArray& package) { document_ = package; }});
}

QString BatchMaker::path(const QString& name, const QString& suffix) const {
    return BatchNames::pathIn(outputs_.folder, name + suffix);
}

// An output in the way: one that exists, without --force; anything not a plain file, and the
// records file being read (by any name, through any link), ever.
std::optional<QString> BatchMaker::refuseExisting(const QString& output) const {
    // Asked once per output of every record, and nearly always of a free name: one status
    // call settles that; what is in the way is looked at more closely below.
    const QByteArray name = QFile::encodeName(output);
    struct stat status {};
    if (::lstat(name.constData(), &status) != 0)
        return std::nullopt;
    // What a link there names, if anything: that is what would be replaced.
    const bool reached = !S_ISLNK(status.st_mode) || ::stat(name.constData(), &status) == 0;
    if (outputs_.inputIsFile && reached && status.st_dev == outputs_.inputDevice &&
        status.st_ino == outputs_.inputInode)
        return QStringLiteral("%1 is the records file being read; an output must not be the "
                              "input, and it is left alone")
            .arg(output);
    if (!outputs_.force)
        return QStringLiteral("%1 exists (--force replaces it)").arg(output);
    if (reached && !S_ISREG(status.st_mode))
        return QStringLiteral("%1 is not a plain file; it is left alone").arg(output);
    return std::nullopt;
}

std::optional<QString> BatchMaker::make(const BatchJob& job) {
    QStringList outputs{path(job.name, QStringLiteral(".doc"))};
    if (outputs_.pdf)
        outputs << path(job.name, QStringLiteral(".pdf"));
    if (outputs_.png)
        outputs << path(job.name, QStringLiteral("-page-1.png"));
    for (const QString& output : outputs)
        if (const std::optional<QString> why = refuseExisting(output))
            return why;

    const wordengine::ShapeReuse::Scope reuse(shapes_);
    QStringList reports;
    threadReports = &reports;
    struct Forget {
        QByteArray& document;
        ~Forget() { document.clear(); } // a large record's package goes with it
    } forget{document_};
    try {
        MotorVehicleBill::GenerateMotorVehicle(engine_, job.record);
    } catch (const std::exception& e) {
        reports << QString::fromUtf8(e.what());
    }
    threadReports = nullptr;
    if (!reports.isEmpty() || document_.isEmpty())
        return (reports.isEmpty() ? QString() : reports.join(u'\n') + u'\n') +
               QStringLiteral("the document could not be made");

    // A record is made whole or not at all: its files are written beside their names and put
    // in place together, once all are whole, so a failure leaves every old file as it was.
    // Each is flushed before it takes its name; the folder, once at the end of the batch.
    files::AtomicGroup group({.mode = fileMode_, .replace = outputs_.force, .syncFolder = false});
    try {
        writeOutputs(document_, job, group);
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    }
    if (group.publish())
        return std::nullopt;
    if (!group.failed())
        return QStringLiteral("cannot write the pictures: %1").arg(group.errorString());
    const files::AtomicFile& failed = *group.failed();
    const QString& target = failed.target();
    if (target.endsWith(QStringLiteral(".doc")))
        return whyNotDocument(failed.errorString(), target);
    if (target.endsWith(QStringLiteral(".pdf")))
        return QStringLiteral("cannot write the PDF file: %1").arg(whyNot(failed, target));
    return QStringLiteral("cannot write the pictures: %1").arg(whyNot(failed, target));
}

// A document that cannot be written; one in the way is named as such.
QString BatchMaker::whyNotDocument(const QString& why, const QString& doc) const {
    return QFileInfo::exists(doc) && !outputs_.force
               ? QStringLiteral("%1 exists (--force replaces it)").arg(doc)
               : why;
}

void BatchMaker::writeOutputs(const QByteArray& document, const BatchJob& job,
                              files::AtomicGroup& group) {
    const QString doc = path(job.name, QStringLiteral(".doc"));
    {
        files::AtomicFile& file = group.add(doc);
        if (!file.open() || !file.write(document) || !file.finish())
            throw Failure(whyNotDocument(file.errorString(), doc));
    }
    if (!outputs_.pdf && !outputs_.png)
        return;
    // Read as the document's file would be: the pictures are those of the saved document.
    const wordengine::Document model = wordengine::package::readPackage(document, doc);
    if (outputs_.pdf) {
        const QString pdf = path(job.name, QStringLiteral(".pdf"));
        QByteArray bytes;
        QBuffer buffer(&bytes);
        // The same file as vantorel-bill --pdf gives, dated by the batch.
        wordengine::PdfInfo info = BillPdf::info();
        info.created = saveTime_;
        if (!buffer.open(QIODevice::WriteOnly) || !wordengine::writePdf(model, &buffer, info))
            throw Failure(QStringLiteral("cannot draw the PDF file %1").arg(pdf));
        pinCreationDate(bytes, saveTime_);
        files::AtomicFile& file = group.add(pdf);
        if (!file.open() || !file.write(bytes) || !file.finish())
            throw Failure(QStringLiteral("cannot write the PDF file: %1").arg(whyNot(file, pdf)));
    }
    if (outputs_.png) {
        std::mutex lock; // pages are stored from several threads at once
        QString why;
        const int pages =
            wordengine::writePngPages(model, outputs_.dpi, [&](int page, const QByteArray& png) {
                const QString picture = path(job.name, QStringLiteral("-page-%1.png").arg(page));
                std::optional<QString> failure = page > 1 ? refuseExisting(picture) : std::nullopt;
                if (!failure) {
                    files::AtomicFile& file = group.add(picture);
                    if (file.open() && file.write(png) && file.finish())
                        return true;
                    failure = whyNot(file, picture);
                }
                const std::lock_guard<std::mutex> hold(lock);
                if (why.isEmpty())
                    why = *failure;
                return false;
            });
        if (pages < 0)
            throw Failure(QStringLiteral("cannot write the pictures: %1").arg(why));
        // An earlier, longer document's last pictures would stand beside the new set as if
        // they were its pages: they go when it is put in place.
        for (const QString& old : BillFiles::picturesAfter(pages, [&](int page) {
                 return path(job.name, QStringLiteral("-page-%1.png").arg(page));
             })) {
            if (const std::optional<QString> failure = refuseExisting(old))
                throw Failure(QStringLiteral("cannot write the pictures: %1").arg(*failure));
            group.remove(old);
        }
    }
}
