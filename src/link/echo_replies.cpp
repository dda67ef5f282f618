// The short replies: a gain cell ('E' to a read request, 'e' echoing a write,
// and built here too, for showing a set file's gains through the same
// applier) and the echo of each parameter command. Each writes the value the
// controller now holds into its field and only then takes the modified mark
// off, so a field turns white only once the controller has confirmed it.
//
// They differ from the configuration reply in ways other code relies on: the
// echoes of 'f', 't', 'u' and 'z' leave the mirror alone, 'm' shows a leading
// zero, 'q' leaves the rev limiter text as it was, 'k' refuses a trigger count
// of 0, and 'v' clears the MAP range's mark on Label18.
#include "base/format_float.h"
#include "link/command.h"
#include "link/controller_replies.h"
#include "link/conversions.h"
#include "link/reply_appliers.h"

namespace korvane {
namespace {

constexpr int kValue = 3;
constexpr int kCellAddress = 3;  // u16
constexpr int kCellValue = 5;
constexpr int kLastCellAddress = kFirstGainCellAddress + 127;
constexpr float kGainPerCount = 1.0f / 128;

void showConfirmed(Field& field, const std::string& text) {
  field.setText(text);      // its change handler marks it ...
  field.setColour(kWhite);  // ... and the controller's word takes the mark off
  field.repaint();
}

}  // namespace

std::array<std::uint8_t, 6> gainCellReplyOf(int cell, std::uint8_t gain) {
  const int address = kFirstGainCellAddress + cell;
  std::array<std::uint8_t, 6> bytes{0x02, 6, 'E'};
  bytes[kCellAddress] = static_cast<std::uint8_t>(address & 0xFF);
  bytes[kCellAddress + 1] = static_cast<std::uint8_t>(address >> 8);
  bytes[kCellValue] = gain;
  return bytes;
}

void applyGainCell(Program& program, const Reply& reply) {
  program.ReplyReceived = true;
  const std::uint8_t value = reply.byte(kCellValue);
  program.ControllerSettings.LastCellValue = value;
  const int address = reply.word(kCellAddress);
  program.LastCellAddress = address;
  if (address < kFirstGainCellAddress || address > kLastCellAddress) return;

  auto& cells = program.Frm_Mapping.GainCells;
  const auto index = static_cast<std::size_t>(address - kFirstGainCellAddress);
  if (index >= cells.size()) return;  // no grid yet
  showConfirmed(*cells[index], FormatFloat("#.00", value * kGainPerCount, program.decimalSeparator));
}

void applyPulseModeEcho(Program& program, const Reply& reply) {
  program.ReplyReceived = true;
  TFrm_Mapping& w = program.Frm_Mapping;
  const std::int32_t flag = reply.byte(kValue);
  showConfirmed(w.Flag_Value, decimalText(flag));
  // A button that changes here runs its click handler after the mark was
  // cleared, so Flag_Value then stays yellow and the mode is sent again.
  setPulseModeButtons(program, flag);
  w.Pulse_Mode_0.repaint();
  w.Pulse_Mode_1.repaint();
}

void applyRevLimiterEcho(Program& program, const Reply& reply) {
  program.ReplyReceived = true;
  program.ControllerSettings.KillRpmRaw = reply.word(kValue);
  showConfirmed(program.Frm_Mapping.max_rpm, revLimiterText(program));
}

void applyTrigsPerInjEcho(Program& program, const Reply& reply) {
  program.ReplyReceived = true;
  program.ControllerSettings.TrigsPerInj = reply.byte(kValue);
  showConfirmed(program.Frm_Mapping.Ign_Cycles, triggersText(program.ControllerSettings.TrigsPerInj));
}

void applyTrigsPerRevEcho(Program& program, const Reply& reply) {
  program.ReplyReceived = true;
  program.ControllerSettings.TrigsPerRev = reply.byte(kValue);
  if (program.ControllerSettings.TrigsPerRev == 0) {
    // The field keeps the user's value and its mark, to be corrected and sent again.
    program.desktop.messageBox("An innappropriate value for Number of Cylinders was retrieved, You must correct this.",
                               "ERROR");
    return;
  }
  // A changed count marks FS_RPM and max_rpm too; only Num_Cyls is confirmed.
  showConfirmed(program.Frm_Mapping.Num_Cyls, triggersText(program.ControllerSettings.TrigsPerRev));
}

void applyFuelScalerEcho(Program& program, const Reply& reply) {
  program.ReplyReceived = true;
  program.ControllerSettings.FuelScalerRaw = reply.word(kValue);
  showConfirmed(program.Frm_Mapping.Fuel_mx,
                fuelScalerText(program, program.ControllerSettings.FuelScalerRaw, kFuelScalerPictureEcho));
}

void applyMinPressureEcho(Program& program, const Reply& reply) {
  program.ReplyReceived = true;
  program.ControllerSettings.MinPressureRaw = reply.word(kValue);
  showConfirmed(program.Frm_Mapping.Min_Pressure, minPressureText(program, program.ControllerSettings.MinPressureRaw));
}

void applyOneShotEcho(Program& program, const Reply& reply) {
  program.ReplyReceived = true;
  TFrm_Mapping& w = program.Frm_Mapping;
  w.Tach_usecs.setText(decimalText(reply.word(kValue)));
  program.ControllerSettings.OneShotRaw = reply.word(kValue);
  deriveFullScaleRpm(program);
  showConfirmed(w.FS_RPM, FormatFloat("####0", program.ControllerSettings.FullScaleRpm));
  // The rev limiter text follows with its own echo or the next configuration.
  setRpmAxisLabels(program);
}

void applyCutTimeEcho(Program& program, const Reply& reply) {
  program.ReplyReceived = true;
  showConfirmed(program.Frm_Mapping.Fuel_Cut_Time, cutTimeText(program, reply.byte(kValue)));
}

void applyInhibitTimeEcho(Program& program, const Reply& reply) {
  program.ReplyReceived = true;
  showConfirmed(program.Frm_Mapping.Inj_Inhibit, inhibitTimeText(program, reply.byte(kValue)));
}

void applyMapTypeEcho(Program& program, const Reply& reply) {
  program.ReplyReceived = true;
  // The whole byte is kept; only bits 0-1 choose the range.
  program.ControllerSettings.MapType = reply.byte(kValue);
  setMapRange(program, program.ControllerSettings.MapType);
  setMapAxisLabels(program);
  checkMapRangeButton(program, program.ControllerSettings.MapType);
  program.Frm_Mapping.Label18.setColour(kWhite);
}

void applyRateCutEcho(Program& program, const Reply& reply) {
  program.ReplyReceived = true;
  showConfirmed(program.Frm_Mapping.Rate_Cut, decimalText(reply.byte(kValue)));
}

}  // namespace korvane
