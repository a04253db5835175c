#pragma once
// The procedures that run under a reporting trap, and the id each one's reports quote.

#include <QString>

enum class Procedure {
    Form1_Form_Load,
    Form1_PushButton1_Click,
    Form1_PushButton2_Click,
    Form1_PushButton3_Click,
    MotorVehicleBill_GenerateMotorVehicle,
    Form2_Form_Activate,
    Form2_Form_Load,
    Form2_Form_QueryUnload,
    Form2_PushButton1_Click,
    Form2_PushButton2_Click,
    Form2_PushButton6_Click,
    Form2_PushButton8_Click,
    Form2_Picture1_MouseDown,
    Form2_Picture1_MouseMove,
    Form2_Picture1_MouseUp,
    Form2_RedrawImage,
};

inline constexpr int procedureCount = 16;

// The exact id text, trailing blank included.
QString procedureId(Procedure procedure);
