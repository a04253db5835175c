#include "BillCommand.h"

#include "AtomicFile.h"
#include "AtomicGroup.h"
#include "BillArguments.h"
#include "BillBatch.h"
#include "BillFiles.h"
#include "BillPdf.h"
#include "BillRecord.h"
#include "Dialogs.h"
#include "Failure.h"
#include "Layout.h"
#include "MotorVehicleBill.h"
#include "ProgramIdentity.h"
#include "SaleFields.h"
#include "SaleRecordSource.h"
#include "ShapeReuse.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <mutex>
#include <optional>

namespace BillCommand {

namespace {

struct Options {
    QString record; // RECORD.json, or
    QString render; // --render IN.doc
    QString doc, pdf, png;
    int dpi = 96;
};

using UsageError = BillArguments::Error;

Options parse(const QStringList& args) {
    Options o;
    bool dpiGiven = false;
    for (BillArguments words(args); words.next();) {
        const QString& a = words.current();
        if (a == QStringLiteral("--doc"))
            words.once(o.doc);
        else if (a == QStringLiteral("--pdf"))
            words.once(o.pdf);
        else if (a == QStringLiteral("--png"))
            words.once(o.png);
        else if (a == QStringLiteral("--render"))
            words.once(o.render);
        else if (a == QStringLiteral("--dpi")) {
            o.dpi = words.number(2400);
            dpiGiven = true;
        } else if (a.startsWith(QLatin1Char('-')) && a.size() > 1)
            throw UsageError{QStringLiteral("unknown option %1").arg(a)};
        else if (o.record.isEmpty())
            o.record = a;
        else
            throw UsageError{QStringLiteral("more than one record file: %1").arg(a)};
    }
    if (o.record.isEmpty() == o.render.isEmpty())
        throw UsageError{QStringLiteral("give either a record file or --render IN.doc")};
    if (!o.record.isEmpty() && o.doc.isEmpty())
        throw UsageError{QStringLiteral("--doc OUT.doc is needed with a record file")};
    if (!o.render.isEmpty() && !o.doc.isEmpty())
        throw UsageError{QStringLiteral("--doc does not go with --render")};
    if (!o.render.isEmpty() && o.pdf.isEmpty() && o.png.isEmpty())
        throw UsageError{QStringLiteral("--render needs --pdf or --png")};
    if (dpiGiven && o.png.isEmpty())
        throw UsageError{QStringLiteral("--dpi goes with --png")};
    return o;
}

// The record file: one JSON object of the settings keys, each a string; a missing key is
// empty. "-" reads standard input.
FixedRecord readRecord(const QString& path) {
    try {
        return BillRecord::parse(BillFiles::readRecord(path),
                                 {QStringLiteral("the record file %1").arg(path),
                                  QStringLiteral("in %1").arg(path)})
            .record;
    } catch (const BillFiles::Refused& refused) {
        throw UsageError{refused.message};
    } catch (const BillRecord::Bad& bad) {
        throw UsageError{bad.message};
    }
}

// Boxes become lines on stderr: each report is printed in its own words, and the question
// about a running application is answered Yes, since the run uses a private application.
class ConsoleDialogs : public WindowlessDialogs {
public:
    explicit ConsoleDialogs(QTextStream& stream) : err(stream) { setDialogs(this); }
    ~ConsoleDialogs() override { setDialogs(nullptr); }
    ConsoleDialogs(const ConsoleDialogs&) = delete;
    ConsoleDialogs& operator=(const ConsoleDialogs&) = delete;

    Answer message(const MessageRequest& request) override {
        if (request.buttons == Buttons::YesNo) {
            err << "vantorel-bill: another engine is running; going on with a private one\n";
            err.flush();
            return Answer::Yes;
        }
        ++failures;
        QString text = request.text;
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
        err << text << '\n';
        err.flush();
        return Answer::Ok;
    }
    void notice(const MessageRequest& request) override { message(request); }

    int failures = 0;

private:
    QTextStream& err;
};

// Each output appears whole or not at all; a failed write leaves an existing file as it was.
void copyDocument(const QString& from, const QString& to) {
    QString why;
    if (!files::copyFileAtomically(from, to, &why, {.mode = files::userFileMode()}))
        throw Failure(why);
}

void writePdfFile(const wordengine::Document& document, const QString& path) {
    QString why;
    if (!BillPdf::write(document, path, &why))
        throw Failure(QStringLiteral("cannot write the PDF file %1 (%2)").arg(path, why));
}

// The pictures of one document appear together, and alone: those an earlier, longer document
// left past the new last page go in the same step, and a failure part-way leaves the earlier
// set as it was.
void writePngFiles(const wordengine::Document& document, const QString& folder, int dpi) {
    QString why;
    if (!files::makeFolders(folder, 0777))
        throw Failure(QStringLiteral("cannot write the pictures into %1: the folder cannot be made")
                          .arg(folder));
    const auto notPlainFile = [](const QString& path) {
        const QFileInfo info(path);
        return info.exists() && !info.isFile()
                   ? QStringLiteral("%1 is not a plain file; it is left alone").arg(path)
                   : QString();
    };
    files::AtomicGroup pictures({.mode = files::userFileMode(), .syncFolder = false});
    std::mutex whyLock; // pages are stored from several threads at once
    const int pages =
        wordengine::writePngPages(document, dpi, [&](int page, const QByteArray& png) {
            const QString path = BillFiles::pagePath(folder, page);
            // Checked again here: the page pictures' names are only known now.
            QString failure = notPlainFile(path);
            if (failure.isEmpty()) {
                files::AtomicFile& file = pictures.add(path);
                if (file.open() && file.write(png) && file.finish())
                    return true;
                failure = file.errorString();
            }
            const std::lock_guard<std::mutex> hold(whyLock);
            if (why.isEmpty())
                why = failure;
            return false;
        });
    if (pages >= 0)
        for (const QString& old : BillFiles::picturesAfter(
                 pages, [&](int page) { return BillFiles::pagePath(folder, page); })) {
            why = notPlainFile(old);
            if (!why.isEmpty())
                break;
            pictures.remove(old);
        }
    if (pages < 0 || !why.isEmpty() || !pictures.publish())
        throw Failure(QStringLiteral("cannot write the pictures into %1: %2")
                          .arg(folder, why.isEmpty() ? pictures.errorString() : why));
    files::syncFolderOf(BillFiles::pagePath(folder, 1));
}

void writeOutputs(const QString& documentPath, const Options& o) {
    if (o.pdf.isEmpty() && o.png.isEmpty())
        return;
    const wordengine::Document document = BillPdf::readDocument(documentPath);
    if (!o.pdf.isEmpty())
        writePdfFile(document, o.pdf);
    if (!o.png.isEmpty())
        writePngFiles(document, o.png, o.dpi);
}

} // namespace

QString usage() {
    return QStringLiteral(
               "Usage:\n"
               "  vantorel-bill RECORD.json --doc OUT.doc [--pdf OUT.pdf] [--png DIR [--dpi N]]\n"
               "  vantorel-bill - --doc OUT.doc ...     (the record from standard input)\n"
               "  vantorel-bill --render IN.doc [--pdf OUT.pdf] [--png DIR [--dpi N]]\n"
               "  vantorel-bill --batch RECORDS.jsonl --out DIR ...   (a bill for each line)\n"
               "\n"
               "Makes the Motor Vehicle Bill of Sale that Vantorel makes, without its window.\n"
               "\n"
               "RECORD.json is one JSON object whose members are the sale's values under their\n"
               "settings keys, each a string; a key left out is empty:\n"
               "  \"Name Of Buyer\", \"Name Of Seller\", \"Name Of Witness\", \"Make\", "
               "\"Model\",\n"
               "  \"Year\", \"Color\", \"VIN\", \"Style\", \"Odometer\", \"Title\",\n"
               "  \"Amount Of Motor Vehicle\", \"Down Payment\", \"Retain Down Payment\",\n"
               "  \"No Days Title Transfer\", \"No Days Vehicle Inspected\"\n"
               "Values are printed exactly as given. A record may hold at most 64 MB and may not\n"
               "name a key twice; a value may have at most 10,000,000 characters, the values\n"
               "together at most 16,775,168. A value may hold tabs and line, paragraph and page\n"
               "breaks, but no other control character, nor U+FFFE, U+FFFF or half of a\n"
               "surrogate pair standing alone.\n"
               "\n"
               "  --doc OUT.doc   write the Word document (the file Vantorel would save)\n"
               "  --render IN.doc draw a document that exists instead of making one\n"
               "  --pdf OUT.pdf   draw the pages into a PDF file\n"
               "  --png DIR       draw each page, paper and margins, as DIR/page-1.png, "
               "page-2.png, ...\n"
               "                  (pictures past the last page, left by a longer document, go)\n"
               "  --dpi N         dots per inch of the pictures (default 96)\n"
               "  --help          show this text\n"
               "  --version       show the version\n"
               "\n"
               "Exit status: 0 done; 1 the document could not be made or a file not written (each\n"
               "failure is printed in the words of the program's error report); 2 bad usage or a "
               "bad\n"
               "record file, or an output that is not a plain file, that you may not write, or "
               "that "
               "is\n"
               "the input or another output. An output that is a link is written through: the "
               "file\n"
               "it names is replaced and the link kept.\n"
               "Each output appears whole or not at all; a file it replaces stays as it was when\n"
               "writing fails. The document is made in the temporary folder (TEMP, else the "
               "system's)\n"
               "and removed from there afterwards.\n"
               "\n") +
           BillBatch::usage() +
           QStringLiteral(
               "\n"
               "Examples:\n"
               "  echo '{\"Name Of Buyer\": \"Orwen Palk\", \"Make\": \"Ford\"}' > sale.json\n"
               "  vantorel-bill sale.json --doc bill.doc --pdf bill.pdf\n"
               "  mlr --icsv --ojsonl cat sales.csv | vantorel-bill --batch - --out bills/\n");
}

std::optional<int> answerHelpOrVersion(const QStringList& arguments, QTextStream& out) {
    if (arguments.contains(QStringLiteral("--help")))
        out << usage();
    else if (arguments.contains(QStringLiteral("--version")))
        out << "vantorel-bill " << programVersion << '\n';
    else
        return std::nullopt;
    return Success;
}

int run(const QStringList& arguments, word::ApplicationFactory& engine, QTextStream& out,
        QTextStream& err, bool errIsTerminal) {
    if (const std::optional<int> answered = answerHelpOrVersion(arguments, out))
        return *answered;
    // Documents are made in the temporary folder: what killed runs left there goes first.
    removeTemporaryLeftovers();
    if (BillBatch::wanted(arguments))
        return BillBatch::run(arguments, err, errIsTerminal);
    Options options;
    FixedRecord record;
    try {
        options = parse(arguments);
        QStringList outputs;
        for (const QString& output : {options.doc, options.pdf})
            if (!output.isEmpty())
                outputs.append(output);
        BillFiles::checkPaths(options.render.isEmpty() ? options.record : options.render, outputs,
                              options.png);
        if (!options.record.isEmpty())
            record = readRecord(options.record);
    } catch (const BillFiles::Refused& e) {
        err << "vantorel-bill: " << e.message << '\n';
        return BadUsage;
    } catch (const UsageError& e) {
        err << "vantorel-bill: " << e.message << "\n(see vantorel-bill --help)\n";
        return BadUsage;
    }

    try {
        if (!options.render.isEmpty()) {
            writeOutputs(options.render, options);
            return Success;
        }
        ConsoleDialogs console(err);
        // The pictures and the PDF are drawn from the document read back, whose paragraphs
        // are those the page count was just laid out from.
        wordengine::ShapeReuse shapes;
        const wordengine::ShapeReuse::Scope reuse(shapes);
        const MotorVehicleBill::Generation generation =
            MotorVehicleBill::GenerateMotorVehicle(engine, record);
        const int failures = console.failures;
        struct RemoveAfterwards {
            QString path;
            ~RemoveAfterwards() {
                if (!path.isEmpty())
                    QFile::remove(path);
            }
        } temporary{QFileInfo(generation.path).isFile() ? generation.path : QString()};
        if (failures > 0 || temporary.path.isEmpty()) {
            err << "vantorel-bill: the document could not be made\n";
            return Failed;
        }
        copyDocument(generation.path, options.doc);
        writeOutputs(generation.path, options);
        return Success;
    } catch (const std::exception& e) {
        err << "vantorel-bill: " << QString::fromUtf8(e.what()) << '\n';
        return Failed;
    }
}

} // namespace BillCommand
