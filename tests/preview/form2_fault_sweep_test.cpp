// Every numbered line of the preview's load handler and button handlers, failed in turn: each
// failure is reported with the procedure's id and that line, and the procedure goes on to its
// end.
#include "FaultSweep.h"
#include "FindControl.h"
#include "Form2.h"
#include "PictureBox.h"
#include "ScriptedDialogs.h"
#include "WindowEvents.h"

#include <QFile>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QString reportWhere(const QString& report) {
    return report.section(QStringLiteral("\r\n"), 1).section(QLatin1Char('\r'), 0, 0);
}

QPicture page() {
    QPicture picture;
    {
        QPainter painter(&picture);
        painter.fillRect(QRect(0, 0, 3002, 4002), Qt::white);
    }
    picture.setBoundingRect(QRect(0, 0, 3002, 4002));
    return picture;
}

struct SweepCase {
    const char* name;
    Procedure procedure;
    const char* button;    // none: the load handler
    std::size_t lineCount; // numbered lines passed without a fault
};

// Test output names the case rather than dumping its bytes.
void PrintTo(const SweepCase& c, std::ostream* os) {
    *os << c.name;
}

class PreviewFaultSweep : public ::testing::TestWithParam<SweepCase> {
protected:
    void SetUp() override { ASSERT_TRUE(temp.isValid()); }

    // A fresh preview with two pages and its temporary document; the save goes to a new file.
    void runOnce() {
        form = std::make_unique<Form2>(Form2::Services{[] {}, [] {}});
        const SweepCase& c = GetParam();
        form->Form_Load();
        if (!c.button)
            return;
        form->showPages({page(), page()}, temp.filePath(QStringLiteral("wendlo12345678.doc")));
        activate(*form);
        QFile document(form->wordFile());
        ASSERT_TRUE(document.open(QIODevice::WriteOnly));
        document.write("document");
        document.close();
        const QString target = temp.filePath(QStringLiteral("saved%1.doc").arg(++saves));
        dialogs.fileNames = {target};
        form->show();
        QTest::mouseClick(control<QPushButton>(*form, c.button), Qt::LeftButton);
    }

    QTemporaryDir temp;
    ScriptedDialogs dialogs;
    std::unique_ptr<Form2> form;
    int saves = 0;
};

TEST_P(PreviewFaultSweep, EachLineFailsAloneAndTheProcedureGoesOn) {
    const SweepCase& c = GetParam();
    const QString id = procedureId(c.procedure);
    FaultSweep sweep(id);
    const std::vector<int> baseline = sweep.linesPassed([&] { runOnce(); });
    ASSERT_EQ(FaultSweep::distinct(baseline).size(), c.lineCount);
    const auto isReport = [](const MessageRequest& m) {
        return m.title == QStringLiteral("Application Error");
    };
    ASSERT_TRUE(std::none_of(dialogs.messages.begin(), dialogs.messages.end(), isReport));
    const int lastLine = baseline.back();
    for (int line : FaultSweep::distinct(baseline)) {
        dialogs.messages.clear();
        const std::vector<int> passed = sweep.linesPassedFailingAt(line, [&] { runOnce(); });
        std::vector<MessageRequest> reports;
        std::copy_if(dialogs.messages.begin(), dialogs.messages.end(), std::back_inserter(reports),
                     isReport);
        ASSERT_FALSE(reports.empty()) << line;
        EXPECT_EQ(reportWhere(reports[0].text), id + QStringLiteral("at line %1").arg(line));
        EXPECT_TRUE(reports[0].text.startsWith(QStringLiteral("Injected\r\n")));
        for (const MessageRequest& m : reports)
            EXPECT_TRUE(reportWhere(m.text).startsWith(id)) << line;
        EXPECT_EQ(passed.back(), lastLine) << "stopped after line " << line;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Procedures, PreviewFaultSweep,
    ::testing::Values(SweepCase{"FormLoad", Procedure::Form2_Form_Load, nullptr, 6},
                      SweepCase{"ZoomIn", Procedure::Form2_PushButton1_Click, "PushButton1", 1},
                      SweepCase{"ZoomOut", Procedure::Form2_PushButton2_Click, "PushButton2", 1},
                      SweepCase{"Save", Procedure::Form2_PushButton6_Click, "PushButton6", 11},
                      SweepCase{"Back", Procedure::Form2_PushButton8_Click, "PushButton8", 5}),
    [](const auto& p) { return std::string(p.param.name); });

} // namespace
