// vantorel-bill, in process, against the real engine.
#include "BillCommand.h"
#include "EngineApplicationFactory.h"
#include "Package.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>

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
    QString put(const char* name, const QByteArray& bytes) {
        QFile f(path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path(name);
    }
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

} // namespace
