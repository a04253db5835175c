// Every numbered line of the entry window's start-up and button handlers, failed in turn:
// each failure is reported with the procedure's id and that line, and the procedure goes on
// to its end.
#include "FaultSweep.h"
#include "FindControl.h"
#include "Form1.h"
#include "ScriptedDialogs.h"

#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QString reportWhere(const QString& report) {
    return report.section(QStringLiteral("\r\n"), 1).section(QLatin1Char('\r'), 0, 0);
}

struct SweepCase {
    const char* name;
    Procedure procedure;
    const char* button;    // none: the start-up sequence
    std::size_t lineCount; // numbered lines passed without a fault
};

// Test output names the case rather than dumping its bytes.
void PrintTo(const SweepCase& c, std::ostream* os) {
    *os << c.name;
}

class EntryFaultSweep : public ::testing::TestWithParam<SweepCase> {
protected:
    // A fresh window each run; the start-up runs first (swept itself when no button is given).
    void runOnce() {
        Form1::Services s;
        s.readSetting = [](const QString& key) { return QStringLiteral("v ") + key; };
        s.writeSetting = [](const QString&, const QString&) {};
        s.checkWordInstalled = [this] { ++wordChecks; };
        s.generate = [this](const SaleRecordSource&) { ++generations; };
        s.endProgram = [] {};
        form = std::make_unique<Form1>(s);
        const SweepCase& c = GetParam();
        if (!c.button) {
            form->Form_Load();
            return;
        }
        form->Form_Load();
        form->show();
        QTest::mouseClick(control<QPushButton>(*form, c.button), Qt::LeftButton);
    }

    ScriptedDialogs dialogs;
    std::unique_ptr<Form1> form;
    int wordChecks = 0, generations = 0;
};

TEST_P(EntryFaultSweep, EachLineFailsAloneAndTheProcedureGoesOn) {
    const SweepCase& c = GetParam();
    const QString id = procedureId(c.procedure);
    FaultSweep sweep(id);
    const std::vector<int> baseline = sweep.linesPassed([&] { runOnce(); });
    ASSERT_EQ(FaultSweep::distinct(baseline).size(), c.lineCount);
    ASSERT_TRUE(dialogs.messages.empty());
    const int lastLine = baseline.back();
    for (int line : FaultSweep::distinct(baseline)) {
        dialogs.messages.clear();
        const std::vector<int> passed = sweep.linesPassedFailingAt(line, [&] { runOnce(); });
        ASSERT_FALSE(dialogs.messages.empty()) << line;
        EXPECT_EQ(reportWhere(dialogs.messages[0].text),
                  id + QStringLiteral("at line %1").arg(line));
        EXPECT_TRUE(dialogs.messages[0].text.startsWith(QStringLiteral("Injected\r\n")));
        EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("Application Error"));
        for (const MessageRequest& m : dialogs.messages)
            EXPECT_TRUE(reportWhere(m.text).startsWith(id)) << line;
        EXPECT_EQ(passed.back(), lastLine) << "stopped after line " << line;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Procedures, EntryFaultSweep,
    ::testing::Values(SweepCase{"FormLoad", Procedure::Form1_Form_Load, nullptr, 20},
                      SweepCase{"Start", Procedure::Form1_PushButton1_Click, "PushButton1", 6},
                      SweepCase{"Clear", Procedure::Form1_PushButton2_Click, "PushButton2", 16},
                      SweepCase{"Sample", Procedure::Form1_PushButton3_Click, "PushButton3", 16}),
    [](const auto& p) { return std::string(p.param.name); });

} // namespace
