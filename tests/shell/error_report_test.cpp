#include "ErrorReport.h"
#include "ProcedureIds.h"
#include "ScriptedDialogs.h"

#include <gtest/gtest.h>
#include <set>

namespace {

const QString tail = QStringLiteral("\r\rPlease email screenshot of this message to ") +
                     QString::fromLatin1(supportAddress);

struct ReportCase {
    const char* description;
    Procedure procedure;
    int line;
    const char* expectedHead; // everything before the CR CR
};

// Test output names the case rather than dumping its bytes.
void PrintTo(const ReportCase& c, std::ostream* os) {
    *os << c.description;
}

class ReportText : public ::testing::TestWithParam<ReportCase> {};

TEST_P(ReportText, IsExactToTheByte) {
    const ReportCase& c = GetParam();
    EXPECT_EQ(errorReportText(QString::fromUtf8(c.description), procedureId(c.procedure), c.line),
              QString::fromUtf8(c.expectedHead) + tail);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReportText,
    ::testing::Values(
        ReportCase{"Object required", Procedure::Form1_PushButton1_Click, 104,
                   "Object required\r\nin Qelvard2021/08/31.Form1.PushButton1_Click at line 104"},
        ReportCase{"", Procedure::MotorVehicleBill_GenerateMotorVehicle, 100,
                   "\r\nin Qelvard2021/08/31.MotorVehicleBill.GenerateMotorVehicle at line 100"},
        ReportCase{"Invalid procedure call", Procedure::Form2_Picture1_MouseDown, 102,
                   "Invalid procedure call\r\nin Qelvard2021/08/31.Form2.picture1_MouseDown at "
                   "line 102"},
        ReportCase{"x", Procedure::Form2_Picture1_MouseMove, 124,
                   "x\r\nin Qelvard2021/08/31.Form2.picture1_MouseMove at line 124"},
        ReportCase{"Division by zero", Procedure::Form2_Picture1_MouseUp, 100,
                   "Division by zero\r\nin Qelvard2021/08/31.Form2.Picture1_MouseUp at line 100"},
        ReportCase{"Überlauf ✓", Procedure::Form2_RedrawImage, 132,
                   "Überlauf ✓\r\nin Qelvard2021/08/31.Form2.RedrawImage at line 132"}));

TEST(ProcedureIds, AreSixteenDistinctIdsOfOneForm) {
    std::set<QString> seen;
    for (int i = 0; i < procedureCount; ++i) {
        const QString id = procedureId(static_cast<Procedure>(i));
        EXPECT_TRUE(id.startsWith(QStringLiteral("in Qelvard2021/08/31."))) << id.toStdString();
        EXPECT_TRUE(id.endsWith(QLatin1Char(' '))) << id.toStdString();
        EXPECT_FALSE(id.endsWith(QStringLiteral("  "))) << id.toStdString();
        seen.insert(id);
    }
    EXPECT_EQ(seen.size(), std::size_t(procedureCount));
}

TEST(ReportApplicationError, ShowsAModalWarningTitledApplicationError) {
    ScriptedDialogs dialogs;
    ReportApplicationError(procedureId(Procedure::Form1_Form_Load), 108,
                           QStringLiteral("Bad cursor"));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    const MessageRequest& box = dialogs.messages[0];
    EXPECT_EQ(box.title, QStringLiteral("Application Error"));
    EXPECT_EQ(box.buttons, Buttons::Ok);
    EXPECT_EQ(box.icon, Icon::Warning);
    EXPECT_EQ(box.text,
              QStringLiteral("Bad cursor\r\nin Qelvard2021/08/31.Form1.Form_Load at line 108") +
                  tail);
}

} // namespace
