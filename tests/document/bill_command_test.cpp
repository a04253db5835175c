// vantorel-bill, in process, against the real engine.
#include "AtomicFile.h"
#include "BillCommand.h"
#include "BillFiles.h"
#include "BillRecord.h"
#include "EngineApplicationFactory.h"
#include "Package.h"
#include "ProgramIdentity.h"
#include "SaleFields.h"
#include "SmallDisk.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>
#include <map>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>

namespace {

class Bill : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        oldTemp = qgetenv("TEMP");
        qputenv("TEMP", dir.filePath(QStringLiteral("tmp")).toUtf8());
        QDir().mkpath(dir.filePath(QStringLiteral("tmp")));
    }
    void TearDown() override { qputenv("TEMP", oldTemp); }

    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QString put(const char* name, const QByteArray& bytes) { return putFile(path(name), bytes); }
    int run(const QStringList& args) {
        out.clear();
        err.clear();
        QTextStream o(&out), e(&err);
        const int code = BillCommand::run(args, engine, o, e);
        o.flush();
        e.flush();
        return code;
    }

    QTemporaryDir dir;
    QTemporaryDir registry;
    wordengine::EngineApplicationFactory engine{registry.path()};
    QByteArray oldTemp;
    QString out, err;
};

TEST_F(Bill, BadUsageAndBadRecordsExitWithTwo) {
    const QString good = put("good.json", R"({"Make": "Ford"})");
    struct {
        QStringList args;
        const char* says;
    } cases[] = {
        {{}, "either a record file"},
        {{good}, "--doc"},
        {{good, QStringLiteral("--doc")}, "needs a value"},
        {{good, QStringLiteral("--doc"), path("a.doc"), QStringLiteral("--doc"), path("b.doc")},
         "twice"},
        {{good, QStringLiteral("--doc"), path("a.doc"), QStringLiteral("--frobnicate")},
         "unknown option"},
        {{good, QStringLiteral("--doc"), path("a.doc"), QStringLiteral("--dpi"),
          QStringLiteral("96")},
         "--dpi goes with --png"},
        {{good, QStringLiteral("--doc"), path("a.doc"), QStringLiteral("--png"), path("p"),
          QStringLiteral("--dpi"), QStringLiteral("0")},
         "whole number"},
        {{QStringLiteral("--render"), path("x.doc")}, "--pdf or --png"},
        {{QStringLiteral("--render"), path("x.doc"), QStringLiteral("--doc"), path("a.doc")},
         "does not go"},
        {{good, QStringLiteral("other.json"), QStringLiteral("--doc"), path("a.doc")},
         "more than one"},
        {{path("missing.json"), QStringLiteral("--doc"), path("a.doc")}, "cannot read"},
        {{put("notjson.json", "{\"Make\": "), QStringLiteral("--doc"), path("a.doc")}, "not JSON"},
        {{put("array.json", "[\"Make\"]"), QStringLiteral("--doc"), path("a.doc")},
         "one JSON object"},
        {{put("unknown.json", R"({"Colour": "Blue"})"), QStringLiteral("--doc"), path("a.doc")},
         "unknown key \"Colour\""},
        {{put("number.json", R"({"Year": 1969})"), QStringLiteral("--doc"), path("a.doc")},
         "not a string"},
        {{put("null.json", R"({"Year": null})"), QStringLiteral("--doc"), path("a.doc")},
         "not a string"},
        {{put("twice.json", R"({"Make": "Ford", "Year": "1969", "Make": "Opel"})"),
          QStringLiteral("--doc"), path("a.doc")},
         "key \"Make\" twice"},
        {{put("escaped.json", R"({"Make": "Ford", "Ma\u006be": "Opel"})"), QStringLiteral("--doc"),
          path("a.doc")},
         "key \"Make\" twice"},
        {{put("long.json", "{\"VIN\": \"" + QByteArray(maxValueLength + 1, 'a') + "\"}"),
          QStringLiteral("--doc"), path("a.doc")},
         "a value may have at most 10000000"},
        {{put("huge.json", QByteArray(BillFiles::kMaxRecordBytes + 1, ' ')),
          QStringLiteral("--doc"), path("a.doc")},
         "larger than 64 MB"},
        {{put("nul.json", R"({"Make": "a\u0000b"})"), QStringLiteral("--doc"), path("a.doc")},
         "U+0000, a control character, at character 2"},
        {{put("lone.json", R"({"VIN": "\ud83d\ude00\ud800"})"), QStringLiteral("--doc"),
          path("a.doc")},
         "U+D800, half of a surrogate pair standing alone, at character 2"},
        {{put("nonchar.json", R"({"Title": "\t\n\u000b\f\r\uffff"})"), QStringLiteral("--doc"),
          path("a.doc")},
         "U+FFFF, a noncharacter, at character 6"},
        {{put("together.json", "{\"VIN\": \"" + QByteArray(maxValueLength, 'v') +
                                   "\", \"Title\": \"" + QByteArray(6'775'169, 't') + "\"}"),
          QStringLiteral("--doc"), path("a.doc")},
         "have 16775169 characters together; one bill holds at most 16775168"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(run(c.args), BillCommand::BadUsage) << c.args.join(u' ').toStdString();
        EXPECT_TRUE(err.contains(QString::fromUtf8(c.says))) << err.toStdString();
        EXPECT_FALSE(QFile::exists(path("a.doc")));
    }
}

TEST_F(Bill, HelpGoesToStandardOutput) {
    EXPECT_EQ(run({QStringLiteral("--help")}), BillCommand::Success);
    EXPECT_TRUE(out.contains(QStringLiteral("vantorel-bill RECORD.json --doc OUT.doc")));
    EXPECT_TRUE(out.contains(QStringLiteral("\"No Days Vehicle Inspected\"")));
    EXPECT_TRUE(err.isEmpty());
}

TEST_F(Bill, VersionIsTheProjectsOwn) {
    EXPECT_EQ(run({QStringLiteral("--version")}), BillCommand::Success);
    EXPECT_EQ(out, QStringLiteral("vantorel-bill %1\n").arg(QLatin1String(programVersion)));
    EXPECT_TRUE(err.isEmpty());
}

TEST_F(Bill, WritesTheDocumentPdfAndPagesAndLeavesNoTemporaryFile) {
    const QString record =
        put("sale.json",
            R"({"Name Of Buyer": " Orwen <&> Palk ", "Amount Of Motor Vehicle": "$2900.00"})");
    ASSERT_EQ(run({record, QStringLiteral("--doc"), path("bill.doc"), QStringLiteral("--pdf"),
                   path("bill.pdf"), QStringLiteral("--png"), path("pages"),
                   QStringLiteral("--dpi"), QStringLiteral("50")}),
              BillCommand::Success)
        << err.toStdString();
    EXPECT_TRUE(err.isEmpty()) << err.toStdString();
    const wordengine::Document document = wordengine::openPackage(path("bill.doc"));
    EXPECT_GT(document.body.size(), 10u);
    QFile pdf(path("bill.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5).startsWith("%PDF-"));
    EXPECT_TRUE(QFile::exists(path("pages/page-1.png")));
    EXPECT_TRUE(QDir(path("tmp")).isEmpty()); // the temporary document is gone
    // The bill's own text, less the record's 24 characters, fits the room kept for it: a
    // record within the bound on its values never fails in the script for its length.
    qint64 characters = -24;
    const auto count = [&](const wordengine::Paragraph& p) { characters += p.length() + 1; };
    for (const wordengine::Block& block : document.body) {
        if (const auto* paragraph = std::get_if<wordengine::Paragraph>(&block))
            count(*paragraph);
        else
            for (const wordengine::Row& row : std::get<wordengine::Table>(block).rows)
                for (const wordengine::Cell& cell : row.cells) {
                    characters += 2; // the cell's mark, and the row's
                    std::for_each(cell.paragraphs.begin(), cell.paragraphs.end(), count);
                }
    }
    EXPECT_LE(characters, BillRecord::kBillOwnCharacters);

    // The same document drawn again from the file.
    EXPECT_EQ(
        run({QStringLiteral("--render"), path("bill.doc"), QStringLiteral("--png"), path("again")}),
        BillCommand::Success);
    EXPECT_TRUE(QFile::exists(path("again/page-1.png")));
}

TEST_F(Bill, AFailureOfTheScriptIsPrintedAsTheReportAndExitsWithOne) {
    qputenv("TEMP", path("no/such/folder").toUtf8());
    EXPECT_EQ(run({put("empty.json", "{}"), QStringLiteral("--doc"), path("bill.doc")}),
              BillCommand::Failed);
    EXPECT_TRUE(err.contains(QStringLiteral(
        "\nin Qelvard2021/08/31.MotorVehicleBill.GenerateMotorVehicle at line 428\n")))
        << err.toStdString();
    EXPECT_TRUE(err.contains(QStringLiteral("Please email screenshot of this message to ")));
    EXPECT_FALSE(QFile::exists(path("bill.doc")));
}

TEST_F(Bill, DamagedDocumentsAndUnwritableOutputsExitWithOne) {
    EXPECT_EQ(run({QStringLiteral("--render"), put("garbage.doc", "not a zip at all"),
                   QStringLiteral("--pdf"), path("x.pdf")}),
              BillCommand::Failed);
    EXPECT_FALSE(err.isEmpty());
    EXPECT_EQ(run({put("empty.json", "{}"), QStringLiteral("--doc"),
                   QStringLiteral("/proc/self/bill.doc")}),
              BillCommand::Failed);
    EXPECT_TRUE(err.contains(QStringLiteral("/proc/self/bill.doc"))) << err.toStdString();
    EXPECT_TRUE(QDir(path("tmp")).isEmpty());
}

QByteArray contentsOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<absent>");
}

// The pictures of one document are a whole set, and alone: an earlier, longer document's last
// pages go with it, and a failure part-way leaves the earlier set as it was.
TEST_F(Bill, APictureSetIsWholeAndAlone) {
    const QByteArray words = "\"Name Of Buyer\": \"" + QByteArray("word ").repeated(600) + '"';
    const QString record = put("two-pages.json", '{' + words + '}');
    const QString records = put("two-pages.jsonl", "{\"file\": \"sale\", " + words + "}\n");
    ASSERT_EQ(run({record, QStringLiteral("--doc"), path("two.doc")}), BillCommand::Success);
    const QString png = QStringLiteral("--png");
    const struct {
        QStringList args;
        const char* folder;
        QString prefix;
    } cases[] = {
        {{QStringLiteral("--render"), path("two.doc"), png, path("render")}, "render", "page-"},
        {{record, QStringLiteral("--doc"), path("made.doc"), png, path("made")}, "made", "page-"},
        {{QStringLiteral("--batch"), records, QStringLiteral("--out"), path("batch"), png,
          QStringLiteral("--force")},
         "batch",
         "sale-page-"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder);
        const QDir folder(path(c.folder));
        const auto pictures = [&] {
            std::map<QString, QByteArray> found;
            for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden))
                if (!name.endsWith(QStringLiteral(".doc")))
                    found[name] = contents(folder.filePath(name));
            return found;
        };
        ASSERT_TRUE(folder.mkpath(QStringLiteral(".")));
        for (int page = 1; page <= 5; ++page)
            putFile(folder.filePath(c.prefix + QStringLiteral("%1.png").arg(page)), "old");
        const auto old = pictures();
        files::AtomicFile::setFaultHook([](files::Step step, const QString& target) {
            return step == files::Step::Publish && target.endsWith(QStringLiteral("-2.png"))
                       ? ENOSPC
                       : 0;
        });
        EXPECT_EQ(run(c.args + QStringList{QStringLiteral("--dpi"), QStringLiteral("10")}),
                  BillCommand::Failed);
        files::AtomicFile::setFaultHook({});
        EXPECT_EQ(pictures(), old);
        EXPECT_EQ(run(c.args + QStringList{QStringLiteral("--dpi"), QStringLiteral("10")}),
                  BillCommand::Success)
            << err.toStdString();
        const auto made = pictures();
        EXPECT_EQ(made.size(), 2u);
        for (const QString& page : {c.prefix + QStringLiteral("1.png"), c.prefix + "2.png"})
            EXPECT_TRUE(made.count(page) && made.at(page).startsWith("\x89PNG"))
                << page.toStdString();
    }
}

// An output that is the input or another output, also through a link, is refused before any
// work, and every file stays as it was.
TEST_F(Bill, OnePathForTwoThingsIsRefused) {
    const QString record = put("sale.json", R"({"Make": "Ford"})");
    ASSERT_EQ(run({record, QStringLiteral("--doc"), path("bill.doc")}), BillCommand::Success);
    ASSERT_TRUE(QFile::link(record, path("link-to-record.json")));
    ASSERT_EQ(::link(QFile::encodeName(path("bill.doc")).constData(),
                     QFile::encodeName(path("hard.doc")).constData()),
              0);
    const QByteArray recordBytes = contentsOf(record), docBytes = contentsOf(path("bill.doc"));
    const QString doc = QStringLiteral("--doc"), pdf = QStringLiteral("--pdf"),
                  render = QStringLiteral("--render"), png = QStringLiteral("--png");
    const QStringList cases[] = {
        {record, doc, record},
        {record, doc, path("link-to-record.json")},
        {record, doc, path("x.doc"), pdf, path("x.doc")},
        {record, doc, path("x.doc"), pdf, path("./x.doc")},
        {render, path("bill.doc"), pdf, path("bill.doc")},
        {render, path("bill.doc"), pdf, path("hard.doc")},
        {record, doc, path("pages/page-1.png"), png, path("pages")},
        {render, path("bill.doc"), png, dir.path(), QStringLiteral("--dpi"), QStringLiteral("10")},
    };
    QFile::rename(path("bill.doc"), path("page-7.png")); // the last case: input named as a page
    QFile::rename(path("page-7.png"), path("bill.doc"));
    for (QStringList args : cases) {
        if (args.contains(dir.path()))
            args[1] = path("page-2.png"), QFile::copy(path("bill.doc"), path("page-2.png"));
        EXPECT_EQ(run(args), BillCommand::BadUsage) << args.join(u' ').toStdString();
        EXPECT_FALSE(err.isEmpty());
        EXPECT_EQ(contentsOf(record), recordBytes);
        EXPECT_EQ(contentsOf(path("bill.doc")), docBytes);
        EXPECT_FALSE(QFile::exists(path("x.doc")));
        EXPECT_FALSE(QFile::exists(path("pages")));
    }
    EXPECT_EQ(contentsOf(path("page-2.png")), docBytes);
}

// Devices, pipes, sockets and folders are never replaced by an output.
TEST_F(Bill, AnOutputThatIsNotAPlainFileIsRefusedAndLeftAlone) {
    const QString record = put("sale.json", R"({"Make": "Ford"})");
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("fifo")).constData(), 0600), 0);
    ASSERT_TRUE(QDir().mkpath(path("folder")));
    ASSERT_TRUE(QFile::link(path("fifo"), path("link-to-fifo")));
    QStringList nodes{path("fifo"), path("folder"), path("link-to-fifo")};
    // A socket, and as root a character device like /dev/full.
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray socketPath = QFile::encodeName(path("socket"));
    if (sock >= 0 && socketPath.size() < qsizetype(sizeof address.sun_path)) {
        std::memcpy(address.sun_path, socketPath.constData(), size_t(socketPath.size()));
        if (::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
            nodes.append(path("socket"));
    }
    if (::mknod(QFile::encodeName(path("full")).constData(), S_IFCHR | 0600, makedev(1, 7)) == 0)
        nodes.append(path("full"));
    for (const QString& node : nodes) {
        for (const char* option : {"--doc", "--pdf"}) {
            QStringList args{record, QStringLiteral("--doc"), path("ok.doc")};
            if (QByteArray(option) == "--doc")
                args[2] = node;
            else
                args << QStringLiteral("--pdf") << node;
            EXPECT_EQ(run(args), BillCommand::BadUsage) << args.join(u' ').toStdString();
            EXPECT_TRUE(err.contains(node)) << err.toStdString();
            const QFileInfo info(node);
            EXPECT_TRUE(info.exists() && !info.isFile()) << node.toStdString();
            EXPECT_FALSE(QFile::exists(path("ok.doc")));
        }
    }
    EXPECT_EQ(run({record, QStringLiteral("--doc"), path("ok.doc"), QStringLiteral("--png"),
                   path("sale.json")}),
              BillCommand::BadUsage);
    if (sock >= 0)
        ::close(sock);
}

// A read-only output, also behind a link, is refused before any work and left as it was:
// permissions do not bind root, so this runs as an ordinary user (ctest label "unprivileged").
TEST_F(Bill, UnwritableOutputIsRefusedAndLeftAlone) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind root";
    const QString record = put("sale.json", R"({"Make": "Ford"})");
    const QString readOnly = put("ro.doc", "theirs");
    ASSERT_TRUE(QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ReadGroup));
    ASSERT_TRUE(QFile::link(readOnly, path("link.pdf")));
    const QStringList cases[] = {{record, QStringLiteral("--doc"), readOnly},
                                 {record, QStringLiteral("--doc"), path("ok.doc"),
                                  QStringLiteral("--pdf"), path("link.pdf")}};
    for (const QStringList& args : cases) {
        EXPECT_EQ(run(args), BillCommand::BadUsage) << args.join(u' ').toStdString();
        EXPECT_TRUE(err.contains(args.last()) && err.contains(QStringLiteral("read-only")))
            << err.toStdString();
        EXPECT_EQ(contentsOf(readOnly), QByteArray("theirs"));
        EXPECT_FALSE(QFile::exists(path("ok.doc")));
        EXPECT_TRUE(QDir(path("tmp")).isEmpty());
    }
}

// On a full disk every output is whole or absent, a file it would replace stays as it was,
// and the exit status says it failed.
TEST_F(Bill, OnAFullDiskOutputsAreWholeOrAbsentAndTheOldOnesKept) {
    const QString record = put("sale.json", R"({"Make": "Ford", "Name Of Buyer": "Orwen Palk"})");
    struct Output {
        const char* option;
        const char* name;
    };
    const Output outputs[] = {{"--doc", "bill.doc"}, {"--pdf", "bill.pdf"}, {"--png", "pages"}};
    auto oldFile = [](const QString& folder, const Output& output) {
        const QString target = folder + QLatin1Char('/') + QLatin1String(output.option + 2) +
                               QLatin1Char('/') + QLatin1String(output.name);
        const bool pages = output.option == QByteArray("--png");
        return std::pair{target, pages ? target + QStringLiteral("/page-1.png") : target};
    };
    auto prepare = [&](const QString& folder) {
        for (const Output& output : outputs) {
            const QString old = oldFile(folder, output).second;
            QDir().mkpath(QFileInfo(old).path());
            QFile f(old);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write("the old file");
        }
    };
    auto check = [&](const QString& folder, const QString& how) {
        for (const Output& output : outputs) {
            SCOPED_TRACE((how + QLatin1Char(' ') + QLatin1String(output.option)).toStdString());
            const auto [target, old] = oldFile(folder, output);
            QStringList args{record, QStringLiteral("--doc"), path("full.doc")};
            if (output.option == QByteArray("--doc"))
                args[2] = target;
            else
                args << QLatin1String(output.option) << target;
            EXPECT_EQ(run(args), BillCommand::Failed) << err.toStdString();
            EXPECT_EQ(contentsOf(old), QByteArray("the old file"));
            const QStringList left =
                QDir(QFileInfo(old).path()).entryList(QDir::Files | QDir::Hidden);
            EXPECT_EQ(left, QStringList{QFileInfo(old).fileName()}) << "nothing half-written";
            QFile::remove(path("full.doc"));
        }
    };

    SmallDisk disk(64 * 1024);
    if (disk.available()) {
        prepare(disk.path());
        disk.fill(4096);
        check(disk.path(), QStringLiteral("a real full disk"));
    }
    for (const files::Step step : {files::Step::Write, files::Step::Sync, files::Step::Publish}) {
        files::AtomicFile::setFaultHook([&](files::Step s, const QString& target) {
            // Only the outputs under test fail; the temporary document is written as usual.
            return s == step && target.contains(QStringLiteral("/faults/")) ? ENOSPC : 0;
        });
        prepare(path("faults"));
        check(path("faults"), QStringLiteral("a fault at step %1").arg(int(step)));
        files::AtomicFile::setFaultHook({});
    }
}

TEST(BillRecord, RepeatedKeysAreFoundWhereverTheyAre) {
    struct Case {
        QByteArray json;
        std::optional<QString> repeated;
    };
    const Case cases[] = {
        {R"({"Make": "Ford", "Model": "T"})", std::nullopt},
        {R"({"Make": "Ford", "Make": "Ford"})", QStringLiteral("Make")},
        {"\xef\xbb\xbf { \"A\" : [1, {\"A\": 2}], \"B\": {\"A\": \"}\"} }", std::nullopt},
        {R"({"A": "\"A\": x, \"A\"", "B": "A", "A": null})", QStringLiteral("A")},
        {R"({"a\\": 1, "a\u005c": 2})", QStringLiteral("a\\")},
        {R"({})", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BillFiles::repeatedKey(c.json), c.repeated) << c.json.data();
}

} // namespace
