// The full configuration reply 'C': every parameter into the mirror and the
// window, both axes, both radio groups, and the marks cleared at the end; and
// the same layout filled in from a mirror, so that a set file's values can be
// shown through this very applier.
//
// The steps run in a fixed order. The pressure text is converted with the
// range this reply brings, the rev limiter with the full scale it brings, and
// the message about an invalid full scale is shown with the earlier fields
// already filled in. The change and click handlers that the writes run put
// marks on; the last step takes them all off again.
#include "base/format_float.h"
#include "link/controller_replies.h"
#include "link/conversions.h"
#include "link/reply_appliers.h"

namespace korvane {
namespace {

// The reply's layout.
constexpr int kInjInhibit = 3;
constexpr int kKillRpm = 5;      // u16
constexpr int kFuelScaler = 7;   // u16
constexpr int kMinPressure = 9;  // u16
constexpr int kFlagValue = 11;
constexpr int kCutRate = 12;
constexpr int kCutTime = 13;
constexpr int kTrigsPerInj = 14;
constexpr int kOneShot = 16;  // u16
constexpr int kMapType = 18;
constexpr int kTrigsPerRev = 19;

void putByte(std::array<std::uint8_t, 20>& bytes, int position, std::int32_t value) {
  bytes[static_cast<std::size_t>(position)] = static_cast<std::uint8_t>(value & 0xFF);
}

void putWord(std::array<std::uint8_t, 20>& bytes, int position, std::int32_t value) {
  putByte(bytes, position, value);
  putByte(bytes, position + 1, value >> 8);
}

void clearMarks(TFrm_Mapping& w) {
  Field* const confirmed[] = {&w.Flag_Value, &w.Min_Pressure, &w.Ign_Cycles, &w.Num_Cyls,      &w.Fuel_mx,    &w.Fuel_b,
                              &w.Rate_Cut,   &w.FS_RPM,       &w.max_rpm,    &w.Fuel_Cut_Time, &w.Inj_Inhibit};
  for (Field* field : confirmed) field->setColour(kWhite);
  for (Field* field : confirmed) field->repaint();
}

}  // namespace

std::array<std::uint8_t, 20> configurationReplyOf(const ControllerSettings& s) {
  std::array<std::uint8_t, 20> bytes{0x02, 20, 'C'};
  putByte(bytes, kInjInhibit, s.InjInhibitRaw);
  putWord(bytes, kKillRpm, s.KillRpmRaw);
  putWord(bytes, kFuelScaler, s.FuelScalerRaw);
  putWord(bytes, kMinPressure, s.MinPressureRaw);
  putByte(bytes, kFlagValue, s.FlagValue);
  putByte(bytes, kCutRate, s.CutRate);
  putByte(bytes, kCutTime, s.CutTimeRaw);
  putByte(bytes, kTrigsPerInj, s.TrigsPerInj);
  putWord(bytes, kOneShot, s.OneShotRaw);
  putByte(bytes, kMapType, s.MapType & 3);
  putByte(bytes, kTrigsPerRev, s.TrigsPerRev);
  return bytes;
}

void applyConfiguration(Program& program, const Reply& reply) {
  ControllerSettings& s = program.ControllerSettings;
  TFrm_Mapping& w = program.Frm_Mapping;

  // 1. Whoever asked, live polling follows a configuration.
  program.ReplyReceived = true;
  program.CommState = CommState::Monitoring;

  // 2-3. Inhibit time and injector scaler.
  s.InjInhibitRaw = reply.byte(kInjInhibit);
  w.Inj_Inhibit.setText(inhibitTimeText(program, s.InjInhibitRaw));
  s.FuelScalerRaw = reply.word(kFuelScaler);
  w.Fuel_mx.setText(fuelScalerText(program, s.FuelScalerRaw, kFuelScalerPictureFull));

  // 4-5. The sensor range before anything that is measured in kPa.
  s.MapType = reply.byte(kMapType) & 3;
  checkMapRangeButton(program, s.MapType);
  setMapRange(program, s.MapType);
  setMapAxisLabels(program);

  // 6-7. Trigger counts; a count of 0 is shown as it is.
  s.TrigsPerRev = reply.byte(kTrigsPerRev);
  w.Num_Cyls.setText(triggersText(s.TrigsPerRev));
  s.TrigsPerInj = reply.byte(kTrigsPerInj);
  w.Ign_Cycles.setText(triggersText(s.TrigsPerInj));

  // 8. The rev limiter waits for the full scale (step 15).
  s.KillRpmRaw = reply.word(kKillRpm);

  // 9. Cut-fuel pressure, in the range of step 4.
  s.MinPressureRaw = reply.word(kMinPressure);
  w.Min_Pressure.setText(minPressureText(program, s.MinPressureRaw));

  // 10. Pulse mode: the text first, then the buttons.
  s.FlagValue = reply.byte(kFlagValue);
  w.Flag_Value.setText(decimalText(s.FlagValue));
  w.Flag_Value.setColour(kWhite);
  setPulseModeButtons(program, s.FlagValue);

  // 11-12. Rate cut and fuel cut time.
  w.Rate_Cut.setText(decimalText(reply.byte(kCutRate)));
  s.CutRate = reply.byte(kCutRate);
  s.CutTimeRaw = reply.byte(kCutTime);
  w.Fuel_Cut_Time.setText(cutTimeText(program, s.CutTimeRaw));

  // 13. The tach period and the full scale it gives; a period of 0 shows its
  // message here, with everything above already in the window.
  w.Tach_usecs.setText(decimalText(reply.word(kOneShot)));
  s.OneShotRaw = reply.word(kOneShot);
  deriveFullScaleRpm(program);

  // 14-15. Everything that depends on the full scale.
  setRpmAxisLabels(program);
  w.FS_RPM.setText(FormatFloat("####0", s.FullScaleRpm));
  w.max_rpm.setText(revLimiterText(program));

  // 16. The window now shows what the controller holds.
  clearMarks(w);
}

}  // namespace korvane
