#include "ProcedureIds.h"

#include <array>

namespace {

// Spelled exactly as the reports show them: note the lower-case "picture1" of the
// mouse-down and mouse-move handlers, and the blank that ends every id.
constexpr std::array<const char*, procedureCount> ids = {
    "in Qelvard2021/08/31.Form1.Form_Load ",
    "in Qelvard2021/08/31.Form1.PushButton1_Click ",
    "in Qelvard2021/08/31.Form1.PushButton2_Click ",
    "in Qelvard2021/08/31.Form1.PushButton3_Click ",
    "in Qelvard2021/08/31.MotorVehicleBill.GenerateMotorVehicle ",
    "in Qelvard2021/08/31.Form2.Form_Activate ",
    "in Qelvard2021/08/31.Form2.Form_Load ",
    "in Qelvard2021/08/31.Form2.Form_QueryUnload ",
    "in Qelvard2021/08/31.Form2.PushButton1_Click ",
    "in Qelvard2021/08/31.Form2.PushButton2_Click ",
    "in Qelvard2021/08/31.Form2.PushButton6_Click ",
    "in Qelvard2021/08/31.Form2.PushButton8_Click ",
    "in Qelvard2021/08/31.Form2.picture1_MouseDown ",
    "in Qelvard2021/08/31.Form2.picture1_MouseMove ",
    "in Qelvard2021/08/31.Form2.Picture1_MouseUp ",
    "in Qelvard2021/08/31.Form2.RedrawImage ",
};

} // namespace

QString procedureId(Procedure procedure) {
    return QString::fromLatin1(ids.at(static_cast<std::size_t>(procedure)));
}
