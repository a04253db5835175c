// The bill-of-sale script against a recording fake of the automation interface.
#include "ErrorReport.h"
#include "GoldenFile.h"
#include "MotorVehicleBill.h"
#include "RecordingWord.h"
#include "SaleRecordSource.h"
#include "ScopedTemp.h"
#include "ScriptedDialogs.h"
#include "Trap.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <deque>
#include <gtest/gtest.h>

using namespace MotorVehicleBill;

namespace {

const QString scriptId =
    QStringLiteral("in Qelvard2021/08/31.MotorVehicleBill.GenerateMotorVehicle ");

QString where(const QString& report) {
    return report.section(QStringLiteral("\r\n"), 1).section(QLatin1Char('\r'), 0, 0);
}

int reportedLine(const QString& report) {
    return where(report).section(QLatin1Char(' '), -1).toInt();
}

// Digits handed out in order, for names the test can predict.
DigitSource fixedDigits(std::deque<int> digits) {
    auto queue = std::make_shared<std::deque<int>>(std::move(digits));
    return [queue] {
        const int d = queue->front();
        queue->pop_front();
        return d;
    };
}

class Generate : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(temp.isValid()); }

    Generation run(const SaleRecordSource& record,
                   DigitSource digits = fixedDigits({1, 2, 3, 4, 5, 6, 7, 8})) {
        return GenerateMotorVehicle(word, record, {}, digits);
    }

    ScopedTemp temp;
    ScriptedDialogs dialogs;
    RecordingWord word;
};

QString typed(const QString& text) {
    return QStringLiteral("Selection.TypeText(") + text + u')';
}

TEST_F(Generate, DrivesTheApplicationStatementByStatement) {
    const FixedRecord record = FixedRecord::sample();
    const Generation result = run(record);
    const QString path = temp.path() + QStringLiteral("/wendlo12345678.doc");
    EXPECT_FALSE(result.abandoned);
    EXPECT_EQ(result.path, path);

    // Every call in order, from the golden file beside this test; the two long paragraphs are
    // checked on their own below.
    const QString longText = QStringLiteral("<checked below>");
    QStringList expected = goldenLines(QStringLiteral("document/generate_test.calls.txt"));
    expected.replaceInStrings(QStringLiteral("$TEMP"), temp.path());
    const int longTexts = int(expected.indexOf(longText));
    ASSERT_EQ(expected.lastIndexOf(longText), longTexts + 4);

    ASSERT_EQ(word.log.size(), expected.size()) << word.log.join(u'\n').toStdString();
    for (int i = 0; i < expected.size(); ++i) {
        if (i == longTexts || i == longTexts + 4)
            continue;
        EXPECT_EQ(word.log[i], expected[i]) << "call " << i;
    }
    const QString inspection = word.log[longTexts];
    EXPECT_TRUE(inspection.startsWith(
        typed(QStringLiteral("days to have the Vehicle inspected")).chopped(1)));
    EXPECT_TRUE(inspection.endsWith(
        QStringLiteral("Buyer.\r\n\r\nIf the sale is not completed, the Seller will retain $)")));

    // The certification paragraphs, typed as one piece with the closing sentence.
    const QString crlf = QStringLiteral("\r\n");
    const QStringList paragraphs = word.log[longTexts + 4].chopped(1).section(u'(', 1).split(crlf);
    ASSERT_EQ(paragraphs.size(), 9);
    EXPECT_EQ(paragraphs[0],
              QStringLiteral("of the down payment to cover costs and effort in re-advertising."));
    EXPECT_EQ(paragraphs[2].size(), 316);
    EXPECT_EQ(paragraphs[4].size(), 275);
    EXPECT_EQ(paragraphs[6].size(), 260);
    EXPECT_TRUE(paragraphs[6].contains(QStringLiteral("\"as is\"")));
    EXPECT_EQ(paragraphs[8], QString());
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(Generate, AnEmptyRecordStillTypesEverySlot) {
    run(FixedRecord());
    EXPECT_EQ(word.entries(QStringLiteral("Selection.TypeText(    )")).size(), 7);
    EXPECT_TRUE(word.log.contains(typed(QStringLiteral("Make: "))));
    EXPECT_TRUE(word.log.contains(typed(QStringLiteral("Print name of witness: "))));
}

TEST_F(Generate, ValuesAreTypedVerbatimInsideTheirBlanks) {
    FixedRecord record;
    record.set(QStringLiteral("txtNameOfSeller"), QStringLiteral(" Ann \"Ax\" <&> 😀 "));
    run(record);
    EXPECT_TRUE(word.log.contains(typed(QStringLiteral("   Ann \"Ax\" <&> 😀   "))));
}

struct RunningCase {
    const char* name;
    const char* runningName; // "" none
    std::optional<Answer> answer;
    bool abandoned;
};

// Test output names the case rather than dumping its bytes.
void PrintTo(const RunningCase& c, std::ostream* os) {
    *os << c.name;
}

class RunningWord : public Generate, public ::testing::WithParamInterface<RunningCase> {};

TEST_P(RunningWord, AsksOnlyWhenWordRunsAndStopsOnNo) {
    const RunningCase& c = GetParam();
    word.runningName = QString::fromUtf8(c.runningName);
    if (c.answer)
        dialogs.answers = {*c.answer};
    const Generation result = run(FixedRecord::sample());
    EXPECT_EQ(result.abandoned, c.abandoned);
    EXPECT_EQ(dialogs.messages.size(), c.answer ? 1u : 0u);
    if (c.answer) {
        EXPECT_EQ(dialogs.messages[0].text, wordOpenWarning());
        EXPECT_EQ(dialogs.messages[0].buttons, Buttons::YesNo);
        EXPECT_EQ(dialogs.messages[0].icon, Icon::None);
    }
    if (c.abandoned) {
        EXPECT_TRUE(word.entries(QStringLiteral("CreateNew")).isEmpty());
        EXPECT_TRUE(QDir(temp.path()).isEmpty());
    } else {
        EXPECT_EQ(word.entries(QStringLiteral("CreateNew")).size(), 1);
        EXPECT_EQ(word.entries(QStringLiteral("Quit")).size(), 1); // only ours quits
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RunningWord,
    ::testing::Values(RunningCase{"NotRunning", "", std::nullopt, false},
                      RunningCase{"RunningAnswerNo", "Microsoft Word", Answer::No, true},
                      RunningCase{"RunningAnswerYes", "Microsoft Word", Answer::Yes, false},
                      RunningCase{"OtherName", "Microsoft Word 2", std::nullopt, false},
                      RunningCase{"LowerCase", "microsoft word", std::nullopt, false}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(Generate, AFailedRunningTestIsReportedAtLine100AndTheRunGoesOn) {
    word.runningName = QStringLiteral("Microsoft Word");
    // The warning box itself fails: the failure reaches the script's trap.
    struct FailingDialogs : ScriptedDialogs {
        Answer message(const MessageRequest& r) override {
            if (r.buttons == Buttons::YesNo)
                throw std::runtime_error("Out of stack space");
            return ScriptedDialogs::message(r);
        }
    } failing;
    const Generation result = run(FixedRecord::sample());
    EXPECT_FALSE(result.abandoned);
    ASSERT_EQ(failing.messages.size(), 1u);
    EXPECT_EQ(where(failing.messages[0].text), scriptId + QStringLiteral("at line 100"));
    EXPECT_EQ(word.entries(QStringLiteral("CreateNew")).size(), 1);
}

TEST_F(Generate, WithoutAnApplicationEveryLaterStatementReportsAndTheNameIsStillDrawn) {
    word.failWhen = [](const QString& op) { return op == QStringLiteral("CreateNew"); };
    const Generation result = run(FixedRecord::sample());
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("/wendlo12345678\\.doc$")).match(result.path).hasMatch());
    std::vector<int> lines;
    for (const QString& text : dialogs.texts()) {
        EXPECT_EQ(where(text).section(QStringLiteral("at line"), 0, 0), scriptId);
        lines.push_back(reportedLine(text));
    }
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), 102);
    EXPECT_TRUE(std::is_sorted(lines.begin(), lines.end()));
    // Every statement that uses the application or its document reports, save and quit too.
    for (int line :
         {104, 106, 108, 154, 156, 200, 202, 218, 220, 298, 344, 346, 410, 428, 430, 432, 434})
        EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line;
    // The naming lines and the releases never fail.
    for (int line = 412; line <= 426; line += 2)
        EXPECT_EQ(std::find(lines.begin(), lines.end(), line), lines.end()) << line;
    EXPECT_EQ(std::count(lines.begin(), lines.end(), 436) +
                  std::count(lines.begin(), lines.end(), 438),
              0);
}

TEST_F(Generate, EachFailingStatementIsReportedAtItsLineAndTheRestRuns) {
    const QStringList failing = {
        QStringLiteral("PageSetup.Gutter=0"), QStringLiteral("Selection.Font.Size=16"),
        typed(QStringLiteral("Year: 1969")), QStringLiteral("Selection.MoveRight(1,2)"),
        QStringLiteral("Document.SaveAs(") + temp.path() + QStringLiteral("/wendlo12345678.doc)")};
    word.failWhen = [&](const QString& op) { return failing.contains(op); };
    run(FixedRecord::sample());
    std::vector<int> lines;
    for (const QString& text : dialogs.texts())
        lines.push_back(reportedLine(text));
    // MoveRight(1,2) follows the second cell of each row: lines 238, 258, 278, 298, then the
    // signature rows 372, 382, 392, 402.
    EXPECT_EQ(lines,
              (std::vector<int>{120, 160, 238, 246, 258, 278, 298, 372, 382, 392, 402, 428}));
    // Close and quit still ran after the failed save.
    EXPECT_EQ(word.log.mid(word.log.size() - 3),
              (QStringList{QStringLiteral("DisplayAlerts=false"), QStringLiteral("Document.Close"),
                           QStringLiteral("Quit")}));
}

TEST_F(Generate, AnExistingNameIsDrawnAgainWithEightNewDigits) {
    QFile existing(temp.path() + QStringLiteral("/wendlo11111111.doc"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();
    const Generation result =
        run(FixedRecord(), fixedDigits({1, 1, 1, 1, 1, 1, 1, 1, 9, 8, 7, 6, 5, 4, 3, 2}));
    EXPECT_EQ(result.path, temp.path() + QStringLiteral("/wendlo98765432.doc"));
    EXPECT_EQ(existing.size(), 0); // never overwritten
}

TEST_F(Generate, DrawnNamesHaveEightDigitsFromOneToNine) {
    const QRegularExpression form(QStringLiteral("^wendlo[1-9]{8}\\.doc$"));
    std::set<QString> names;
    for (int i = 0; i < 200; ++i) {
        RecordingWord fresh;
        const Generation result = GenerateMotorVehicle(fresh, FixedRecord());
        const QString name = QFileInfo(result.path).fileName();
        EXPECT_TRUE(form.match(name).hasMatch()) << name.toStdString();
        names.insert(name);
    }
    EXPECT_GT(names.size(), 190u); // independent digits: repeats are rare
}

TEST_F(Generate, TheHandOffRunsUnderTheScriptsTrapWithThePath) {
    QString handedPath;
    GenerateMotorVehicle(
        word, FixedRecord(),
        [&](Trap& trap, const QString& path) {
            handedPath = path;
            trap.line(440, [] { throw std::runtime_error("Rendering failed"); });
            trap.line(442, [&] { handedPath += QStringLiteral("+442"); });
        },
        fixedDigits({1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(handedPath, temp.path() + QStringLiteral("/wendlo12345678.doc+442"));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(where(dialogs.messages[0].text), scriptId + QStringLiteral("at line 440"));
}

} // namespace
