// Start-up, the marking handlers, exit and the guard around every handler.
#pragma once

#include <functional>

#include "window/program.h"

namespace korvane {

// This program's own revision, shown in SW_Rev.
inline constexpr const char* kSoftwareRevision = "v1.04.02";

// The creation handler of the main window: collapsed layout, SW_Rev, the port
// from comm.ini with the Port menu's check marks, the 128 gain cells, and
// every handler attached, the data log's among them.
void FormCreate(Program& program);

// Marking handlers: each puts the yellow modified mark on what was edited.
void Scaler_change(Program& program);
void num_cyls_change(Program& program);
void Ign_Cycles_change(Program& program);
void Rate_Cut_change(Program& program);
void FS_RPM_change(Program& program);
void max_rpm_change(Program& program);
void Min_Pressure_change(Program& program);
void Fuel_Cut_TimeChange(Program& program);
void Inj_Inhibit_change(Program& program);
void map_type_1Click(Program& program);
void map_type_2Click(Program& program);
void map_type_3Click(Program& program);
void Pulse_Mode_0Click(Program& program);
void Pulse_Mode_1Click(Program& program);

// Enter in any parameter field: consumes the key and runs the upload.
void Fuel_mxKeyPress(Program& program, Field& sender, int& key);

// File > Exit and closing the window end the process with status 0, asking
// nothing and saving nothing.
void Exit2Click(Program& program);
void FormOnClose(Program& program);

// Runs a handler the way the event loop does: an exception that escapes it
// is shown in the exception box and the program goes on.
void guarded(Program& program, const std::function<void()>& handler);

}  // namespace korvane
