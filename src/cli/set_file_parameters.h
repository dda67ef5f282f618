// The eleven parameters of a set file and where the window shows them: the
// key a saved file writes, the place in the controller mirror that the
// configuration reply fills, and the control that shows the value with the
// caption that names it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/controller_settings.h"
#include "window/main_window.h"

namespace korvane {

struct SetFileParameter {
  std::string_view key;                   // as a saved file writes it, e.g. "KILL_RPM="
  std::int32_t ControllerSettings::*raw;  // where the configuration reply carries it
  Field TFrm_Mapping::*caption;           // its caption label, or the box of its radio group
  Field TFrm_Mapping::*field;             // the edit box that shows it; nullptr for a radio group
  std::string_view needs;                 // the key of the other value its text is worked out with, if any
};

inline constexpr std::size_t kParameterCount = 11;

// In the order the window lays them out: the nine edit boxes column by
// column, then the "Range" and "Mode" groups.
inline constexpr std::array<SetFileParameter, kParameterCount> kSetFileParameters = {{
    {"FUEL_MX =", &ControllerSettings::FuelScalerRaw, &TFrm_Mapping::Label3, &TFrm_Mapping::Fuel_mx, ""},
    {"TRG_REV =", &ControllerSettings::TrigsPerRev, &TFrm_Mapping::Label5, &TFrm_Mapping::Num_Cyls, ""},
    {"TRG_INJ =", &ControllerSettings::TrigsPerInj, &TFrm_Mapping::Label9, &TFrm_Mapping::Ign_Cycles, ""},
    {"CUT_RATE=", &ControllerSettings::CutRate, &TFrm_Mapping::Label10, &TFrm_Mapping::Rate_Cut, ""},
    {"ONE_SHOT=", &ControllerSettings::OneShotRaw, &TFrm_Mapping::Label6, &TFrm_Mapping::FS_RPM, ""},
    {"KILL_RPM=", &ControllerSettings::KillRpmRaw, &TFrm_Mapping::Label7, &TFrm_Mapping::max_rpm, "ONE_SHOT="},
    {"MIN_PRES=", &ControllerSettings::MinPressureRaw, &TFrm_Mapping::Label8, &TFrm_Mapping::Min_Pressure, "MAP_TYPE="},
    {"CUT_TIME=", &ControllerSettings::CutTimeRaw, &TFrm_Mapping::Label15, &TFrm_Mapping::Fuel_Cut_Time, ""},
    {"INH_TIME=", &ControllerSettings::InjInhibitRaw, &TFrm_Mapping::Label17, &TFrm_Mapping::Inj_Inhibit, ""},
    {"MAP_TYPE=", &ControllerSettings::MapType, &TFrm_Mapping::GroupBox1, nullptr, ""},
    {"FLG_VAL =", &ControllerSettings::FlagValue, &TFrm_Mapping::GroupBox2, nullptr, ""},
}};

// The parameter whose key is `key`, by its place in kSetFileParameters.
std::size_t parameterIndex(std::string_view key);

// The command letter a load sends for the parameter, from the reader's keys.
char commandLetterOf(const SetFileParameter& parameter);

// The key without its "=" and the blank before it: "TRG_REV", "KILL_RPM".
std::string keyName(std::string_view key);

}  // namespace korvane
