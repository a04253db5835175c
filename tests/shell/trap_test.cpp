#include "ErrorReport.h"
#include "Failure.h"
#include "ScriptedDialogs.h"
#include "Trap.h"

#include <gtest/gtest.h>
#include <new>
#include <string>
#include <vector>

namespace {

// The second line of a report: the procedure id, "at line " and the number.
QString whereOf(const QString& reportText) {
    return reportText.section(QStringLiteral("\r\n"), 1).section(QLatin1Char('\r'), 0, 0);
}

const QString load = procedureId(Procedure::Form1_Form_Load);

void fail(const char* what) {
    throw Failure(QString::fromUtf8(what));
}

TEST(Trap, GoesOnAfterAFailureAndReportsEachInStatementOrder) {
    ScriptedDialogs dialogs;
    std::vector<int> ran;
    Trap trap(Procedure::Form1_Form_Load);
    trap.line(100, [&] { ran.push_back(100); });
    trap.line(102, [&] {
        fail("first");
        ran.push_back(-1);
    });
    trap.line(104, [&] { ran.push_back(104); });
    trap.line(106, [&] { fail("second"); });
    trap.line(108, [&] { ran.push_back(108); });

    EXPECT_EQ(ran, (std::vector<int>{100, 104, 108}));
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_TRUE(dialogs.messages[0].text.startsWith(QStringLiteral("first\r\n")));
    EXPECT_EQ(whereOf(dialogs.messages[0].text), load + QStringLiteral("at line 102"));
    EXPECT_TRUE(dialogs.messages[1].text.startsWith(QStringLiteral("second\r\n")));
    EXPECT_EQ(whereOf(dialogs.messages[1].text), load + QStringLiteral("at line 106"));
    EXPECT_EQ(trap.reportCount(), 2);
}

TEST(Trap, SeveralStatementsOnOneLineShareItsNumberAndTheNextStillRuns) {
    ScriptedDialogs dialogs;
    std::vector<std::string> ran;
    Trap trap(Procedure::Form1_Form_Load);
    trap.line(
        104, [&] { ran.push_back("caption"); }, [&] { fail("icon"); },
        [&] { ran.push_back("title"); });
    EXPECT_EQ(ran, (std::vector<std::string>{"caption", "title"}));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(whereOf(dialogs.messages[0].text), load + QStringLiteral("at line 104"));
}

struct ConditionalCase {
    const char* name;
    bool blockForm; // guarded steps on lines of their own
    bool testFails;
    bool testValue;
    bool expectGuarded; // whether the guarded steps run
};

// Test output names the case rather than dumping its bytes.
void PrintTo(const ConditionalCase& c, std::ostream* os) {
    *os << c.name;
}

class TrapConditional : public ::testing::TestWithParam<ConditionalCase> {};

TEST_P(TrapConditional, FailedTestRunsGuardedLinesButSkipsASameLineAction) {
    const ConditionalCase& c = GetParam();
    ScriptedDialogs dialogs;
    Trap trap(Procedure::Form2_PushButton6_Click);
    auto test = [&] {
        if (c.testFails)
            fail("Bad file name or number");
        return c.testValue;
    };
    const bool guarded = c.blockForm ? trap.blockTest(118, test) : trap.inlineTest(118, test);
    EXPECT_EQ(guarded, c.expectGuarded);
    EXPECT_EQ(dialogs.messages.size(), c.testFails ? 1u : 0u);
    if (c.testFails) {
        EXPECT_EQ(whereOf(dialogs.messages[0].text),
                  procedureId(Procedure::Form2_PushButton6_Click) + QStringLiteral("at line 118"));
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, TrapConditional,
                         ::testing::Values(ConditionalCase{"BlockFails", true, true, false, true},
                                           ConditionalCase{"InlineFails", false, true, true, false},
                                           ConditionalCase{"BlockTrue", true, false, true, true},
                                           ConditionalCase{"BlockFalse", true, false, false, false},
                                           ConditionalCase{"InlineTrue", false, false, true, true},
                                           ConditionalCase{"InlineFalse", false, false, false,
                                                           false}),
                         [](const auto& param) { return std::string(param.param.name); });

// An untrapped procedure's failure abandons the rest of it and is reported by the caller's
// trap with the caller's line; a nested trapped procedure reports under its own id.
TEST(Trap, FailuresOfCalledProceduresAreReportedWhereTheyAreTrapped) {
    ScriptedDialogs dialogs;
    std::vector<std::string> ran;
    auto untrapped = [&] {
        ran.push_back("untrapped-start");
        fail("inner");
        ran.push_back("untrapped-rest");
    };
    auto trapped = [&] {
        Trap inner(Procedure::MotorVehicleBill_GenerateMotorVehicle);
        inner.line(102, [&] { fail("Word failed"); });
        inner.line(104, [&] { ran.push_back("script-104"); });
    };
    Trap outer(Procedure::Form1_PushButton1_Click);
    outer.line(104, untrapped);
    outer.line(106, trapped);
    outer.line(108, [&] { ran.push_back("108"); });

    EXPECT_EQ(ran, (std::vector<std::string>{"untrapped-start", "script-104", "108"}));
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(whereOf(dialogs.messages[0].text),
              procedureId(Procedure::Form1_PushButton1_Click) + QStringLiteral("at line 104"));
    EXPECT_EQ(whereOf(dialogs.messages[1].text),
              procedureId(Procedure::MotorVehicleBill_GenerateMotorVehicle) +
                  QStringLiteral("at line 102"));
    EXPECT_EQ(outer.reportCount(), 1);
}

TEST(Trap, DescribesEveryKindOfFailure) {
    ScriptedDialogs dialogs;
    Trap trap(Procedure::Form2_RedrawImage);
    trap.line(100, [] { throw std::bad_alloc(); });
    trap.line(102, [] { throw std::runtime_error("Overflow"); });
    trap.line(104, [] { throw 42; });
    trap.line(106, [] { throw Failure(QString()); });
    const auto texts = dialogs.texts();
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_TRUE(texts[0].startsWith(QStringLiteral("Out of memory\r\n")));
    EXPECT_TRUE(texts[1].startsWith(QStringLiteral("Overflow\r\n")));
    EXPECT_TRUE(texts[2].startsWith(QStringLiteral("Unexpected failure\r\n")));
    EXPECT_TRUE(texts[3].startsWith(QStringLiteral("\r\nin Qelvard")));
}

TEST(Trap, ANewRunStartsWithoutAMarker) {
    ScriptedDialogs dialogs;
    {
        Trap first(Procedure::Form2_PushButton1_Click);
        first.line(100, [] {});
        EXPECT_EQ(first.lastLine(), 100);
    }
    Trap second(Procedure::Form2_PushButton1_Click);
    EXPECT_EQ(second.lastLine(), 0);
    EXPECT_EQ(second.reportCount(), 0);
}

} // namespace

namespace {

TEST(Trap, AnInjectedFaultReplacesTheLinesFirstStatement) {
    ScriptedDialogs dialogs;
    Trap::setFaultInjector([](const QString& id, int line) {
        if (id == procedureId(Procedure::Form1_PushButton2_Click) && (line == 102 || line == 106))
            throw Failure(QStringLiteral("Injected"));
    });
    std::vector<int> ran;
    Trap trap(Procedure::Form1_PushButton2_Click);
    trap.line(100, [&] { ran.push_back(100); });
    trap.line(
        102, [&] { ran.push_back(102); }, [&] { ran.push_back(1020); });
    trap.line(104, [&] { ran.push_back(104); });
    const bool guarded = trap.blockTest(106, [] { return false; });
    Trap::setFaultInjector({});
    EXPECT_EQ(ran, (std::vector<int>{100, 1020, 104}));
    EXPECT_TRUE(guarded);
    EXPECT_EQ(dialogs.messages.size(), 2u);
}

} // namespace
