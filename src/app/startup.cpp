// Start-up of the main window, its marking handlers, exit and the guard.
#include "app/startup.h"

#include <exception>

#include "app/port_selection.h"
#include "comm/comm_control.h"
#include "comm/upload.h"
#include "datalog/data_log.h"
#include "gain/gain_grid.h"
#include "setfile/set_file_transfer.h"

namespace korvane {
namespace {

void mark(Field& field) { field.setColour(kYellow); }

void markPulseMode(Program& program, const char* value) {
  program.Frm_Mapping.Flag_Value.setText(value);
  mark(program.Frm_Mapping.Flag_Value);
}

void attachHandlers(Program& program) {
  TFrm_Mapping& w = program.Frm_Mapping;
  Program* p = &program;
  w.Fuel_mx.onChange = [p] { Scaler_change(*p); };
  w.Num_Cyls.onChange = [p] { num_cyls_change(*p); };
  w.Ign_Cycles.onChange = [p] { Ign_Cycles_change(*p); };
  w.Rate_Cut.onChange = [p] { Rate_Cut_change(*p); };
  w.FS_RPM.onChange = [p] { FS_RPM_change(*p); };
  w.max_rpm.onChange = [p] { max_rpm_change(*p); };
  w.Min_Pressure.onChange = [p] { Min_Pressure_change(*p); };
  w.Fuel_Cut_Time.onChange = [p] { Fuel_Cut_TimeChange(*p); };
  w.Inj_Inhibit.onChange = [p] { Inj_Inhibit_change(*p); };
  for (Field* field : w.parameterFields()) {
    field->onKeyPress = [p, field](int& key) { Fuel_mxKeyPress(*p, *field, key); };
  }
  w.map_type_1.onClick = [p] { map_type_1Click(*p); };
  w.map_type_2.onClick = [p] { map_type_2Click(*p); };
  w.map_type_3.onClick = [p] { map_type_3Click(*p); };
  w.Pulse_Mode_0.onClick = [p] { Pulse_Mode_0Click(*p); };
  w.Pulse_Mode_1.onClick = [p] { Pulse_Mode_1Click(*p); };

  w.Begin_Comm.onClick = [p] { Begin_CommClick(*p); };
  w.Halt_Comm.onClick = [p] { Halt_CommClick(*p); };
  w.BitBtn2.onClick = [p] { Button1Click(*p); };

  w.Exit1.onClick = [p] { GetDataFromController(*p); };
  w.Putdataincontroller1.onClick = [p] { Putdataincontroller1Click(*p); };
  w.Exit2.onClick = [p] { Exit2Click(*p); };
  w.COM11.onClick = [p] { COM11Click(*p); };
  w.COM21.onClick = [p] { COM21Click(*p); };
  w.COM31.onClick = [p] { COM31Click(*p); };
  w.COM41.onClick = [p] { COM41Click(*p); };
}

}  // namespace

void FormCreate(Program& program) {
  TFrm_Mapping& w = program.Frm_Mapping;
  attachHandlers(program);
  w.setHeight(kCollapsedHeight);
  const int groupHeight = w.Gain_Table_Group.height();
  w.SW_Rev.setText(kSoftwareRevision);
  program.SelectedPort = 0;
  readCommIni(program);
  setPortMenuChecks(program);
  createGainCells(program, groupHeight);
  attachDataLog(program);
}

void Scaler_change(Program& program) { mark(program.Frm_Mapping.Fuel_mx); }

void num_cyls_change(Program& program) {
  // The full scale and the rev limiter depend on the trigger count, so they
  // are sent again with it.
  mark(program.Frm_Mapping.Num_Cyls);
  mark(program.Frm_Mapping.FS_RPM);
  mark(program.Frm_Mapping.max_rpm);
}

void Ign_Cycles_change(Program& program) { mark(program.Frm_Mapping.Ign_Cycles); }
void Rate_Cut_change(Program& program) { mark(program.Frm_Mapping.Rate_Cut); }
void FS_RPM_change(Program& program) { mark(program.Frm_Mapping.FS_RPM); }
void max_rpm_change(Program& program) { mark(program.Frm_Mapping.max_rpm); }
void Min_Pressure_change(Program& program) { mark(program.Frm_Mapping.Min_Pressure); }
void Fuel_Cut_TimeChange(Program& program) { mark(program.Frm_Mapping.Fuel_Cut_Time); }
void Inj_Inhibit_change(Program& program) { mark(program.Frm_Mapping.Inj_Inhibit); }

// The MAP range buttons carry their mark on the hidden label Label18.
void map_type_1Click(Program& program) { mark(program.Frm_Mapping.Label18); }
void map_type_2Click(Program& program) { mark(program.Frm_Mapping.Label18); }
void map_type_3Click(Program& program) { mark(program.Frm_Mapping.Label18); }

void Pulse_Mode_0Click(Program& program) { markPulseMode(program, "0"); }
void Pulse_Mode_1Click(Program& program) { markPulseMode(program, "1"); }

void Fuel_mxKeyPress(Program& program, Field&, int& key) {
  if (key != kKeyReturn) return;
  key = 0;  // the edit box neither inserts nor beeps
  Button1Click(program);
}

void Exit2Click(Program& program) { endProgram(program, 0); }
void FormOnClose(Program& program) { endProgram(program, 0); }

void guarded(Program& program, const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& error) {
    program.desktop.exceptionBox(exceptionBoxText(error.what()));
  }
}

}  // namespace korvane
