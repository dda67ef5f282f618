// The main window's controls with their positions, fonts and initial states.
#include "window/main_window.h"

#include <algorithm>
#include <string>

namespace korvane {
namespace {

const Font kWindowFont{11, false, kBlack};

FieldSpec description(std::string name, FieldKind kind, Field* parent, int left, int top, int width, int height,
                      std::string text, Font font = kWindowFont, Colour colour = kButtonFace,
                      Alignment alignment = Alignment::Left) {
  FieldSpec s;
  s.name = std::move(name);
  s.kind = kind;
  s.parent = parent;
  s.left = left;
  s.top = top;
  s.width = width;
  s.height = height;
  s.text = std::move(text);
  s.font = font;
  s.colour = colour;
  s.alignment = alignment;
  return s;
}

FieldSpec hidden(FieldSpec s) {
  s.visible = false;
  return s;
}

FieldSpec disabled(FieldSpec s) {
  s.enabled = false;
  return s;
}

const Font kParamFont{13, false, kBlack};
const Font kCaptionFont{11, true, kBlack};
const Font kBigBold{16, true, kBlack};
const Font kBigBoldBlue{16, true, kBlue};

FieldSpec parameter(std::string name, Field* group, int left, int top) {
  return description(std::move(name), FieldKind::Edit, group, left, top, 57, 24, "0", kParamFont, kWhite);
}

FieldSpec caption(std::string name, Field* group, int left, int top, std::string text) {
  return description(std::move(name), FieldKind::Label, group, left, top, 0, 0, std::move(text), kCaptionFont,
                     kButtonFace, Alignment::Right);
}

FieldSpec radio(std::string name, Field* box, int left, int top, std::string text) {
  return description(std::move(name), FieldKind::Radio, box, left, top, 58, 17, std::move(text), kCaptionFont);
}

FieldSpec menuItem(std::string name, Field* menu, std::string text) {
  return description(std::move(name), FieldKind::MenuItem, menu, 0, 0, 0, 0, std::move(text));
}

FieldSpec liveValue(std::string name, Field* group, int left, int top, int width, std::string text) {
  return description(std::move(name), FieldKind::Label, group, left, top, width, 20, std::move(text), kBigBoldBlue,
                     kButtonFace, Alignment::Centre);
}

FieldSpec bar(std::string name, Field* group, int left, int top, int width, int height, Colour colour) {
  return description(std::move(name), FieldKind::Rectangle, group, left, top, width, height, "", kWindowFont, colour);
}

}  // namespace

TFrm_Mapping::TFrm_Mapping()
    : form(model, description("Frm_Mapping", FieldKind::Form, nullptr, 214, 84, kClientWidth + kWindowFrameWidth,
                              kExpandedHeight, "Korvane")),
      File1(model, description("File1", FieldKind::Menu, &form, 0, 0, 0, 0, "&File")),
      Exit1(model, menuItem("Exit1", &File1, "&Get data from controller")),
      Putdataincontroller1(model, menuItem("Putdataincontroller1", &File1, "&Put data in controller")),
      Exit2(model, menuItem("Exit2", &File1, "E&xit")),
      Port1(model, description("Port1", FieldKind::Menu, &form, 0, 0, 0, 0, "&Port")),
      COM11(model, menuItem("COM11", &Port1, "COM&1")),
      COM21(model, menuItem("COM21", &Port1, "COM&2")),
      COM31(model, menuItem("COM31", &Port1, "COM&3")),
      COM41(model, menuItem("COM41", &Port1, "COM&4")),
      // Mark and Stop are for while a log is being written.
      Log1(model, description("Log1", FieldKind::Menu, &form, 0, 0, 0, 0, "&Log")),
      Startlogging1(model, menuItem("Startlogging1", &Log1, "&Start logging\u2026")),
      Mark1(model, disabled(menuItem("Mark1", &Log1, "&Mark"))),
      Stoplogging1(model, disabled(menuItem("Stoplogging1", &Log1, "S&top logging"))),
      Begin_Comm(model, description("Begin_Comm", FieldKind::ImageButton, &form, 8, 8, 75, 75, "")),
      Halt_Comm(model, disabled(description("Halt_Comm", FieldKind::ImageButton, &form, 82, 8, 75, 75, ""))),
      stat(model, description("stat", FieldKind::Label, &form, 11, 16, 141, 13, "")),
      Image1(model, description("Image1", FieldKind::Picture, &form, 272, -4, 300, 90, "")),
      Label11(model, description("Label11", FieldKind::Label, &form, 624, 0, 0, 0, "Ctrl Rev", {13, true, kBlack})),
      FW_Rev(model, description("FW_Rev", FieldKind::Label, &form, 696, 0, 55, 16, "Unknown", {13, false, kBlack})),
      Label13(model, description("Label13", FieldKind::Label, &form, 624, 16, 0, 0, "SW Rev", {13, true, kBlack})),
      SW_Rev(model, description("SW_Rev", FieldKind::Label, &form, 696, 16, 55, 16, "Unknown", {13, false, kBlack})),
      Label18(model, hidden(description("Label18", FieldKind::Label, &form, 184, 56, 38, 13, "Label18"))),
      Fuel_b(model, hidden(description("Fuel_b", FieldKind::Edit, &form, 640, 48, 57, 21, " ", kWindowFont, kWhite))),
      Gain_Table_Group(
          model, hidden(description("Gain_Table_Group", FieldKind::GroupBox, &form, 8, 85, 777, 460, "", kBigBold))),
      Fuel_mx(model, parameter("Fuel_mx", &Gain_Table_Group, 186, 16)),
      Label3(model, caption("Label3", &Gain_Table_Group, 92, 24, "Inj. Scaler [MS]")),
      Num_Cyls(model, parameter("Num_Cyls", &Gain_Table_Group, 186, 40)),
      Label5(model, caption("Label5", &Gain_Table_Group, 95, 48, "#Trigs per Rev")),
      Ign_Cycles(model, parameter("Ign_Cycles", &Gain_Table_Group, 186, 64)),
      Label9(model, caption("Label9", &Gain_Table_Group, 100, 72, "#Trigs per Inj.")),
      Rate_Cut(model, parameter("Rate_Cut", &Gain_Table_Group, 186, 88)),
      Label10(model, caption("Label10", &Gain_Table_Group, 100, 96, "MAP Rate Cut")),
      FS_RPM(model, parameter("FS_RPM", &Gain_Table_Group, 377, 16)),
      Label6(model, caption("Label6", &Gain_Table_Group, 287, 24, "Tach FS [RPM]")),
      max_rpm(model, parameter("max_rpm", &Gain_Table_Group, 377, 40)),
      Label7(model, caption("Label7", &Gain_Table_Group, 271, 48, "Rev Limiter [RPM]")),
      Min_Pressure(model, parameter("Min_Pressure", &Gain_Table_Group, 377, 64)),
      Label8(model, caption("Label8", &Gain_Table_Group, 254, 72, "Cut Fuel Below [KPa]")),
      Fuel_Cut_Time(model, parameter("Fuel_Cut_Time", &Gain_Table_Group, 377, 88)),
      Label15(model, caption("Label15", &Gain_Table_Group, 252, 96, "Fuel Cut Time [SECS]")),
      Inj_Inhibit(model, parameter("Inj_Inhibit", &Gain_Table_Group, 553, 16)),
      Label17(model, caption("Label17", &Gain_Table_Group, 458, 24, "Inj. Inhibit Timer")),
      GroupBox1(model, description("GroupBox1", FieldKind::GroupBox, &Gain_Table_Group, 624, 16, 73, 81, "Range",
                                   {11, true, kBlue})),
      map_type_1(model, radio("map_type_1", &GroupBox1, 8, 24, "1 Bar")),
      map_type_2(model, radio("map_type_2", &GroupBox1, 8, 40, "2 Bar")),
      map_type_3(model, radio("map_type_3", &GroupBox1, 8, 56, "3 bar")),
      GroupBox2(model, description("GroupBox2", FieldKind::GroupBox, &Gain_Table_Group, 704, 16, 65, 81, "Mode",
                                   {11, true, kBlue})),
      Pulse_Mode_0(model, radio("Pulse_Mode_0", &GroupBox2, 8, 24, "Cont.")),
      Pulse_Mode_1(model, radio("Pulse_Mode_1", &GroupBox2, 8, 40, "Trig.")),
      Flag_Value(model, hidden(description("Flag_Value", FieldKind::Label, &Gain_Table_Group, 656, 434, 41, 17, "",
                                           kWindowFont, kWhite))),
      Tach_usecs(model, hidden(description("Tach_usecs", FieldKind::Label, &Gain_Table_Group, 552, 432, 97, 20,
                                           "Tach_usecs", kWindowFont, kWhite))),
      map_dpy(model, liveValue("map_dpy", &Gain_Table_Group, 24, 88, 57, "?")),
      Label14(model, liveValue("Label14", &Gain_Table_Group, 8, 104, 84, "MAP KPa")),
      rpm_dpy(model, liveValue("rpm_dpy", &Gain_Table_Group, 352, 436, 129, "? RPM")),
      Label12(model, description("Label12", FieldKind::Label, &Gain_Table_Group, 512, 104, 99, 20, "Inj. PW [MS]",
                                 kBigBold, kButtonFace, Alignment::Right)),
      inj_dpy(model, liveValue("inj_dpy", &Gain_Table_Group, 624, 104, 57, "?")),
      heartbeat(model, description("heartbeat", FieldKind::Circle, &Gain_Table_Group, 3, 441, 17, 15, "", kWindowFont,
                                   kSilver)),
      Label16(model,
              description("Label16", FieldKind::Label, &Gain_Table_Group, 20, 442, 0, 0, "Active", {11, true, kGrey})),
      BitBtn2(model, description("BitBtn2", FieldKind::ImageButton, &Gain_Table_Group, 5, 14, 75, 75, "")),
      map_p_ptr(model, bar("map_p_ptr", &Gain_Table_Group, 32, 389, 713, 5, kRed)),
      map_r_ptr(model, bar("map_r_ptr", &Gain_Table_Group, 96, 128, 4, 321, kRed)),
      map_beg(model, hidden(bar("map_beg", &Gain_Table_Group, 72, 390, 25, 3, kBlue))),
      map_end(model, bar("map_end", &Gain_Table_Group, 72, 144, 25, 3, kBlue)),
      rpm_beg(model, hidden(bar("rpm_beg", &Gain_Table_Group, 95, 120, 3, 25, kBlue))),
      rpm_end(model, hidden(bar("rpm_end", &Gain_Table_Group, 728, 120, 3, 25, kBlue))) {
  for (int k = 0; k < 9; ++k) {
    rpm_lbl[k] = std::make_unique<Field>(
        model, description("rpm_lbl_" + std::to_string(k), FieldKind::Label, &Gain_Table_Group, 72 + 80 * k, 412, 51,
                           20, "00000", kBigBold, kButtonFace, Alignment::Centre));
  }
  for (int k = 0; k < 9; ++k) {
    map_lbl[k] = std::make_unique<Field>(
        model, description("map_lbl_" + std::to_string(k), FieldKind::Label, &Gain_Table_Group, 52, 389 - 32 * k, 31,
                           20, "000", kBigBold, kButtonFace, Alignment::Right));
  }
}

std::array<Field*, 9> TFrm_Mapping::parameterFields() {
  std::array<Field*, 9> fields{};
  std::ranges::transform(parameterCaptions(), fields.begin(), &CaptionedField::field);
  return fields;
}

std::array<CaptionedField, 9> TFrm_Mapping::parameterCaptions() {
  return {{{&Fuel_mx, &Label3},
           {&Num_Cyls, &Label5},
           {&Ign_Cycles, &Label9},
           {&Rate_Cut, &Label10},
           {&FS_RPM, &Label6},
           {&max_rpm, &Label7},
           {&Min_Pressure, &Label8},
           {&Fuel_Cut_Time, &Label15},
           {&Inj_Inhibit, &Label17}}};
}

}  // namespace korvane
