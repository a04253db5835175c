// vantorel-bill --batch, in process, against the real engine: naming, bad lines, exit
// statuses, no overwriting, no partial files, the same bytes on any number of workers.
#include "AtomicFile.h"
#include "BillCommand.h"
#include "EngineApplicationFactory.h"
#include "Package.h"
#include "ScopedTemp.h"
#include "SmallDisk.h"
#include "TestFiles.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>
#include <map>
#include <unistd.h>

namespace {

class Batch : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid() && temp.isValid());
        qputenv("SOURCE_DATE_EPOCH", "1700000000");
    }
    void TearDown() override {
        qunsetenv("SOURCE_DATE_EPOCH");
        files::AtomicFile::setFaultHook({});
    }

    QString path(const QString& name) const { return dir.filePath(name); }
    QString put(const QString& name, const QByteArray& bytes) { return putFile(path(name), bytes); }
    int run(QStringList args) {
        out.clear();
        err.clear();
        QTextStream o(&out), e(&err);
        const int code = BillCommand::run(args, engine, o, e);
        o.flush();
        e.flush();
        return code;
    }
    // The output folder's files by name, with their bytes' digest; temporary files included.
    std::map<QString, QByteArray> filesIn(const QString& folder) const {
        std::map<QString, QByteArray> found;
        const QDir d(folder);
        for (const QString& name : d.entryList(QDir::Files | QDir::Hidden)) {
            QFile f(d.filePath(name));
            f.open(QIODevice::ReadOnly);
            found[name] = QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1);
        }
        return found;
    }
    std::vector<QString> names(const QString& folder) const {
        std::vector<QString> list;
        for (const auto& [name, digest] : filesIn(folder))
            list.push_back(name);
        return list;
    }

    QTemporaryDir dir;
    ScopedTemp temp;
    QTemporaryDir registry;
    wordengine::EngineApplicationFactory engine{registry.path()};
    QString out, err;
};

QStringList batch(const QString& input, const QString& folder, QStringList more = {}) {
    return QStringList{QStringLiteral("--batch"), input, QStringLiteral("--out"), folder} + more;
}

// Every kind of line in one input: what is made, under which name, and what is reported.
TEST_F(Batch, GoodLinesAreMadeAndBadOnesReportedByNumber) {
    struct Line {
        QByteArray text;
        const char* made;   // the outputs' name, or nullptr
        const char* report; // what the message on stderr says, or nullptr
    } lines[] = {
        {"\xEF\xBB\xBF{\"Make\": \"Ford\"}\r", "000001", nullptr}, // a byte-order mark, CRLF
        {"", nullptr, nullptr},                                    // blank lines are skipped
        {"  \t ", nullptr, nullptr},
        {R"({"file": "smith", "Name Of Buyer": "Orwen Palk"})", "smith", nullptr},
        {R"({"file": "jones.doc"})", "jones", nullptr}, // ".doc" is the name's own suffix
        {R"({"file": "Jones"})", "Jones", nullptr},     // names are told apart by case
        {R"({"file": "smith"})", nullptr, "\"smith\" is the name of an earlier line's outputs"},
        {R"({"file": "jones"})", nullptr, "earlier line"},
        {R"({"file": "../x"})", nullptr, "names a folder"},
        {R"({"file": ".hidden"})", nullptr, "begins with a dot"},
        {R"({"file": "42"})", nullptr, "digits alone"},
        {R"({"file": ""})", nullptr, "is empty"},
        {R"({"file": "a\tb"})", nullptr, "control character"},
        {"{\"file\": \"" + QByteArray(201, 'n') + "\"}", nullptr, "longer than 200 bytes"},
        {R"({"file": 7})", nullptr, "the value of \"file\" in the record is not a string"},
        {"not json", nullptr, "the record is not JSON"},
        {"{\"Make\": \"\xff\xfe\"}", nullptr, "not JSON"}, // invalid UTF-8
        {R"(["Make"])", nullptr, "one JSON object"},
        {R"({"Colour": "Blue"})", nullptr, "unknown key \"Colour\""},
        {R"({"Year": null})", nullptr, "\"Year\" in the record is not a string or a number"},
        {R"({"Down Payment": {"$": 1}})", nullptr, "not a string or a number"},
        {R"({"Make": "A", "Make": "B"})", nullptr, "key \"Make\" twice"},
        {R"({"Model": "T"})", "000023", nullptr},
        {R"({"file": "numbers", "Amount Of Motor Vehicle": 2900.00, "Year": 1969})", "numbers",
         nullptr}, // as a spreadsheet's export writes them
        {R"({"file": "\ufffd"})", "\xEF\xBF\xBD", nullptr},
        // Its UTF-8 would be U+FFFD's: the same file on the disk.
        {R"({"file": "\ud800"})", nullptr, "holds U+D800, half of a surrogate pair standing alone"},
        {R"({"file": "breaks", "Make": "a\tb\nc\u000bd\fe\r\n"})", "breaks", nullptr},
        {R"({"Make": "a\u001fb"})", nullptr,
         "\"Make\" in the record has U+001F, a control character, at character 2"},
        {R"({"Year": "1969"})", "000029", nullptr}, // the last line, without a line end
    };
    QByteArray input;
    for (const Line& line : lines)
        input += line.text + '\n';
    input.chop(1);
    const QString folder = path(QStringLiteral("made/bills")); // made with its parents

    EXPECT_EQ(run(batch(put(QStringLiteral("sales.jsonl"), input), folder)), 1);

    std::vector<QString> expected;
    int failed = 0;
    for (size_t i = 0; i < std::size(lines); ++i) {
        const QString prefix = QStringLiteral("vantorel-bill: line %1: ").arg(i + 1);
        if (lines[i].made)
            expected.push_back(QString::fromUtf8(lines[i].made) + QStringLiteral(".doc"));
        if (lines[i].report) {
            ++failed;
            const qsizetype at = err.indexOf(prefix);
            ASSERT_GE(at, 0) << prefix.toStdString() << err.toStdString();
            EXPECT_TRUE(
                err.mid(at).section(u'\n', 0, 0).contains(QString::fromUtf8(lines[i].report)))
                << err.toStdString();
        } else {
            EXPECT_FALSE(err.contains(prefix)) << err.toStdString();
        }
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names(folder), expected); // nothing else, no temporary file
    EXPECT_TRUE(
        err.contains(QStringLiteral("made %1, failed %2, in ").arg(expected.size()).arg(failed)))
        << err.toStdString();
    // Numbers are taken as written.
    const wordengine::Document numbers =
        wordengine::openPackage(QDir(folder).filePath(QStringLiteral("numbers.doc")));
    EXPECT_TRUE(std::get<wordengine::Paragraph>(numbers.body[2])
                    .text()
                    .contains(QStringLiteral("$  2900.00  ,")));
    EXPECT_GT(
        wordengine::openPackage(QDir(folder).filePath(QStringLiteral("smith.doc"))).body.size(),
        10u);
    EXPECT_TRUE(QDir(temp.path()).isEmpty()); // the temporary documents are gone
}

TEST_F(Batch, ExitStatusesForUsageInputAndFolder) {
    const QString good = put(QStringLiteral("good.jsonl"), "{\"Make\": \"Ford\"}\n");
    const QString folder = path(QStringLiteral("out"));
    put(QStringLiteral("a-file"), "x");
    struct Case {
        QStringList args;
        int status;
        const char* says;
    } cases[] = {
        {{QStringLiteral("--batch"), good}, 2, "--out DIR is needed"},
        {{QStringLiteral("--batch")}, 2, "needs a value"},
        {batch(good, folder, {QStringLiteral("--pdf"), path(QStringLiteral("x.pdf"))}), 2,
         "take no file name in a batch"},
        {batch(good, folder, {QStringLiteral("--dpi"), QStringLiteral("50")}), 2,
         "--dpi goes with --png"},
        {batch(good, folder, {QStringLiteral("--jobs"), QStringLiteral("0")}), 2,
         "--jobs takes a whole number"},
        {batch(good, folder, {QStringLiteral("--doc"), path(QStringLiteral("x.doc"))}), 2,
         "does not go with --batch"},
        {batch(good, folder, {QStringLiteral("--frobnicate")}), 2, "unknown option"},
        {batch(path(QStringLiteral("missing.jsonl")), folder), 2, "cannot read the records"},
        {batch(dir.path(), folder), 2, "cannot read the records"},
        {batch(good, path(QStringLiteral("a-file"))), 1, "is not a folder"},
        {batch(good, QStringLiteral("/proc/self/bills")), 1, "cannot be made"},
        {batch(good, folder, {QStringLiteral("--jobs"), QStringLiteral("3")}), 0, "made 1, "},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(run(c.args), c.status) << c.args.join(u' ').toStdString();
        EXPECT_TRUE(err.contains(QString::fromUtf8(c.says))) << err.toStdString();
        EXPECT_EQ(QDir(folder).exists(), c.status == 0) << c.args.join(u' ').toStdString();
    }
}

// A folder the user may not write (meaningless to root: see the unprivileged run).
TEST_F(Batch, UnwritableFolderIsOneErrorBeforeAnyWork) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes anywhere";
    const QString folder = path(QStringLiteral("locked"));
    ASSERT_TRUE(QDir().mkpath(folder));
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(run(batch(put(QStringLiteral("two.jsonl"), "{}\n{}\n"), folder)), 1);
    EXPECT_EQ(err.count(u'\n'), 1) << err.toStdString();
    EXPECT_TRUE(err.contains(QStringLiteral("cannot write into the output folder")));
}

TEST_F(Batch, OutputsAreReplacedOnlyWithForce) {
    const QString input = put(QStringLiteral("sales.jsonl"), "{\"Make\": \"Ford\"}\n"
                                                             "{\"file\": \"b\"}\n");
    const QString folder = path(QStringLiteral("out"));
    const QStringList outputs{QStringLiteral("--pdf"), QStringLiteral("--png"),
                              QStringLiteral("--dpi"), QStringLiteral("20")};
    ASSERT_EQ(run(batch(input, folder, outputs)), 0) << err.toStdString();
    const auto first = filesIn(folder);
    EXPECT_EQ(first.size(), 6u);                // .doc, .pdf, -page-1.png of each
    qputenv("SOURCE_DATE_EPOCH", "1800000000"); // the documents would differ

    EXPECT_EQ(run(batch(input, folder, outputs)), 1);
    EXPECT_TRUE(err.contains(QStringLiteral("line 1: ")) &&
                err.contains(QStringLiteral("line 2: ")) &&
                err.contains(QStringLiteral("exists (--force replaces it)")))
        << err.toStdString();
    EXPECT_EQ(filesIn(folder), first);

    EXPECT_EQ(run(batch(input, folder, outputs + QStringList{QStringLiteral("--force")})), 0);
    const auto forced = filesIn(folder);
    EXPECT_EQ(forced.size(), 6u);
    EXPECT_NE(forced.at(QStringLiteral("b.doc")), first.at(QStringLiteral("b.doc")));
}

// The records file is never an output, by any name or link, even with --force: its line fails.
TEST_F(Batch, TheRecordsFileIsNeverAnOutput) {
    const QString folder = path(QStringLiteral("out"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString elsewhere = put(QStringLiteral("sales.jsonl"), "{\"file\": \"hard\"}\n");
    ASSERT_EQ(::link(QFile::encodeName(elsewhere), QFile::encodeName(folder + "/hard.doc")), 0);
    const QString linked = put(QStringLiteral("linked.jsonl"), "{\"file\": \"soft\"}\n");
    ASSERT_TRUE(QFile::link(linked, folder + QStringLiteral("/soft.pdf")));
    const struct {
        QString input;
        QStringList more;
    } cases[] = {
        {put(QStringLiteral("out/sales.doc"), "{\"file\": \"sales\"}\n"), {}},
        {put(QStringLiteral("out/000001.pdf"), "{\"Make\": \"Ford\"}\n"), {"--pdf"}},
        {elsewhere, {}},
        {linked, {"--pdf"}},
    };
    for (const auto& c : cases) {
        const QByteArray before = contents(c.input);
        EXPECT_EQ(run(batch(c.input, folder, c.more + QStringList{QStringLiteral("--force")})), 1);
        EXPECT_TRUE(err.contains(QStringLiteral("is the records file being read")))
            << err.toStdString();
        EXPECT_EQ(contents(c.input), before);
    }
    EXPECT_EQ(names(folder),
              (std::vector<QString>{"000001.pdf", "hard.doc", "sales.doc", "soft.pdf"}));
}

TEST_F(Batch, TheBytesDoNotDependOnTheNumberOfWorkers) {
    QByteArray input;
    for (int i = 0; i < 12; ++i)
        input += QStringLiteral("{\"Name Of Buyer\": \"Buyer %1\", \"Odometer\": \"%2\"}\n")
                     .arg(i)
                     .arg(i * 1000)
                     .toUtf8();
    const QString records = put(QStringLiteral("sales.jsonl"), input);
    const QStringList outputs{QStringLiteral("--pdf"), QStringLiteral("--png"),
                              QStringLiteral("--dpi"), QStringLiteral("15")};
    std::map<QString, QByteArray> made[3];
    const int jobs[] = {1, 2, 5};
    for (int i = 0; i < 3; ++i) {
        const QString folder = path(QStringLiteral("jobs-%1").arg(jobs[i]));
        ASSERT_EQ(
            run(batch(records, folder,
                      outputs + QStringList{QStringLiteral("--jobs"), QString::number(jobs[i])})),
            0)
            << err.toStdString();
        made[i] = filesIn(folder);
    }
    EXPECT_EQ(made[0].size(), 36u);
    EXPECT_EQ(made[0], made[1]);
    EXPECT_EQ(made[0], made[2]);
}

// The line over the most a record may hold is skipped without being held, and the lines
// around it are made.
TEST_F(Batch, AnOverlongLineIsSkipped) {
    QFile f(path(QStringLiteral("long.jsonl")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("{\"Make\": \"Ford\"}\n{\"VIN\": \"");
    const QByteArray mega(1 << 20, 'v');
    for (int i = 0; i < 65; ++i)
        f.write(mega);
    f.write("\"}\n{\"Make\": \"Opel\"}\n");
    f.close();
    const QString folder = path(QStringLiteral("out"));
    EXPECT_EQ(run(batch(f.fileName(), folder)), 1);
    EXPECT_TRUE(err.contains(QStringLiteral("line 2: the line is longer than 64 MB")))
        << err.toStdString();
    EXPECT_EQ(names(folder),
              (std::vector<QString>{QStringLiteral("000001.doc"), QStringLiteral("000003.doc")}));
}

// On a disk that fills part way, each output is whole or absent, a record that could not
// write all its files leaves none, and the failing lines are reported.
TEST_F(Batch, OnAFullDiskEveryFileIsWholeOrAbsent) {
    QByteArray input;
    constexpr int count = 16;
    for (int i = 0; i < count; ++i)
        input += "{\"Name Of Seller\": \"Tobin Harl\"}\n";
    const QString records = put(QStringLiteral("sales.jsonl"), input);
    auto check = [&](const QString& folder, const char* how) {
        SCOPED_TRACE(how);
        EXPECT_EQ(run(batch(records, folder, {QStringLiteral("--pdf")})), 1);
        const std::vector<QString> left = names(folder);
        int docs = 0;
        for (const QString& name : left) {
            EXPECT_FALSE(name.startsWith(u'.')) << name.toStdString();
            const QString base = name.section(u'.', 0, 0);
            // A record's files come in pairs: both made, or neither.
            EXPECT_TRUE(std::count(left.begin(), left.end(), base + QStringLiteral(".doc")) &&
                        std::count(left.begin(), left.end(), base + QStringLiteral(".pdf")))
                << name.toStdString();
            if (name.endsWith(QStringLiteral(".doc"))) {
                ++docs;
                EXPECT_NO_THROW(wordengine::openPackage(QDir(folder).filePath(name)));
            }
        }
        EXPECT_LT(docs, count);
        EXPECT_EQ(err.count(QStringLiteral("vantorel-bill: line ")), count - docs);
        EXPECT_TRUE(err.contains(QStringLiteral("made %1, failed %2").arg(docs).arg(count - docs)));
    };
    SmallDisk disk(160 * 1024);
    if (disk.available())
        check(disk.path(), "a real full disk");
    // The same at each step of a write, for the PDFs of every third record only.
    for (const files::Step step : {files::Step::Write, files::Step::Sync, files::Step::Publish}) {
        files::AtomicFile::setFaultHook([&](files::Step s, const QString& target) {
            const int number = target.section(u'/', -1).left(6).toInt();
            return s == step && target.endsWith(QStringLiteral(".pdf")) && number % 3 == 0 ? ENOSPC
                                                                                           : 0;
        });
        check(path(QStringLiteral("faults-%1").arg(int(step))), "a fault");
        files::AtomicFile::setFaultHook({});
    }
}

// With --force, a record whose later output fails keeps every file it would have replaced
// exactly as it was: none of its new files is put in place until all are whole, and one put in
// place before another fails to take its name is taken back.
TEST_F(Batch, AFailedRecordUnderForceKeepsTheOldFiles) {
    const QString input = put(QStringLiteral("sale.jsonl"), "{\"file\": \"sale\"}\n");
    const std::map<QString, QByteArray> old{
        {QStringLiteral("sale.doc"), "an older bill"},
        {QStringLiteral("sale.pdf"), "an older PDF"},
        {QStringLiteral("sale-page-1.png"), "an older page"},
    };
    struct Case {
        const char* failing; // the output that fails, by the end of its name
        files::Step step;
        const char* says;
    } cases[] = {
        {".pdf", files::Step::Write, "cannot write the PDF file: "},
        {".pdf", files::Step::Sync, "cannot write the PDF file: "},
        {".pdf", files::Step::Publish, "cannot write the PDF file: "},
        {".png", files::Step::Close, "cannot write the pictures: "},
        {".png", files::Step::Publish, "cannot write the pictures: "},
        {".doc", files::Step::Write, "cannot write "},
        {".doc", files::Step::Sync, "cannot write "},
        {".doc", files::Step::Publish, "cannot write "},
    };
    int number = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.failing + std::to_string(int(c.step)));
        const QString folder = path(QStringLiteral("out-%1").arg(++number));
        ASSERT_TRUE(QDir().mkpath(folder));
        for (const auto& [name, bytes] : old)
            putFile(QDir(folder).filePath(name), bytes);
        files::AtomicFile::setFaultHook([&](files::Step s, const QString& target) {
            return s == c.step && target.startsWith(folder) &&
                           target.endsWith(QString::fromLatin1(c.failing))
                       ? ENOSPC
                       : 0;
        });
        EXPECT_EQ(
            run(batch(input, folder,
                      {QStringLiteral("--force"), QStringLiteral("--pdf"), QStringLiteral("--png"),
                       QStringLiteral("--dpi"), QStringLiteral("10")})),
            1);
        files::AtomicFile::setFaultHook({});
        EXPECT_TRUE(err.contains(QStringLiteral("line 1: ") + QString::fromLatin1(c.says)))
            << err.toStdString();
        std::map<QString, QByteArray> left;
        for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden))
            left[name] = contents(QDir(folder).filePath(name));
        EXPECT_EQ(left, old);
    }
}

// The same on a disk that is really full: the new document fits beside the old one, its PDF
// does not.
TEST_F(Batch, OnAFullDiskAForcedRecordKeepsTheOldDocument) {
    SmallDisk disk(256 * 1024);
    if (!disk.available())
        GTEST_SKIP() << "no tmpfs can be mounted here; the injected faults above stand for it";
    const QString doc = disk.filePath(QStringLiteral("sale.doc"));
    putFile(doc, QByteArray(3000, 'o'));
    disk.fill(8 * 1024);
    const QString input = put(QStringLiteral("sale.jsonl"), "{\"file\": \"sale\"}\n");
    EXPECT_EQ(run(batch(input, disk.path(), {QStringLiteral("--force"), QStringLiteral("--pdf")})),
              1);
    EXPECT_TRUE(err.contains(QStringLiteral("line 1: cannot write the PDF file: ")))
        << err.toStdString();
    EXPECT_EQ(contents(doc), QByteArray(3000, 'o'));
    EXPECT_EQ(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{QStringLiteral(".filler"), QStringLiteral("sale.doc")}));
}

} // namespace
