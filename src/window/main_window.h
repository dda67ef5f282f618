// The main window Frm_Mapping: every named control of the window as a field
// of the model, in its initial state. Handlers are attached at start-up.
#pragma once

#include <array>
#include <memory>
#include <vector>

#include "window/window_model.h"

namespace korvane {

// A label's background when nothing has set it; it is never the yellow mark.
constexpr Colour kButtonFace = 0xF0F0F0;

// Outer heights of the two layouts; the client area below the menu bar is
// the outer height less the title bar, menu bar and borders.
constexpr int kCollapsedHeight = 140;
constexpr int kExpandedHeight = 600;
constexpr int kWindowFrameHeight = 46;
constexpr int kWindowFrameWidth = 8;
constexpr int kClientWidth = 791;

// An edit box and the label that captions it in the window.
struct CaptionedField {
  Field* field;
  Field* caption;
};

class TFrm_Mapping {
 public:
  TFrm_Mapping();
  TFrm_Mapping(const TFrm_Mapping&) = delete;
  TFrm_Mapping& operator=(const TFrm_Mapping&) = delete;

  WindowModel model;

  // The window itself: caption, position and outer size.
  Field form;

  // Menu bar.
  Field File1, Exit1, Putdataincontroller1, Exit2;
  Field Port1, COM11, COM21, COM31, COM41;
  Field Log1, Startlogging1, Mark1, Stoplogging1;

  // Top strip.
  Field Begin_Comm, Halt_Comm, stat, Image1, Label11, FW_Rev, Label13, SW_Rev, Label18, Fuel_b;
  Field Gain_Table_Group;

  // Parameter fields and their captions.
  Field Fuel_mx, Label3, Num_Cyls, Label5, Ign_Cycles, Label9, Rate_Cut, Label10;
  Field FS_RPM, Label6, max_rpm, Label7, Min_Pressure, Label8, Fuel_Cut_Time, Label15;
  Field Inj_Inhibit, Label17;

  // Choices.
  Field GroupBox1, map_type_1, map_type_2, map_type_3;
  Field GroupBox2, Pulse_Mode_0, Pulse_Mode_1;

  // Hidden holders.
  Field Flag_Value, Tach_usecs;

  // Live displays.
  Field map_dpy, Label14, rpm_dpy, Label12, inj_dpy, heartbeat, Label16, BitBtn2;

  // Map axes and cursor bars.
  Field map_p_ptr, map_r_ptr, map_beg, map_end, rpm_beg, rpm_end;
  std::array<std::unique_ptr<Field>, 9> rpm_lbl;
  std::array<std::unique_ptr<Field>, 9> map_lbl;

  // The 128 gain cells, created by FormCreate.
  std::vector<std::unique_ptr<Field>> GainCells;

  // The nine parameter edit boxes, in the order of the window's table.
  std::array<Field*, 9> parameterFields();

  // The same nine, each with its caption label.
  std::array<CaptionedField, 9> parameterCaptions();

  int height() const { return form.height(); }
  void setHeight(int height) { form.setHeight(height); }
};

}  // namespace korvane
