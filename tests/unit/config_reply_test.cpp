// The configuration reply 'C': its fields, ranges, full scale, radio groups,
// the order of its steps and the marks it leaves.
#include <gtest/gtest.h>

#include "link/command.h"
#include "link/conversions.h"
#include "link/reply_decoder.h"
#include "support/line_bytes.h"
#include "support/recording_observer.h"
#include "support/scripted_line.h"

namespace korvane {
namespace {

using testing::Bytes;
using testing::highByte;
using testing::lowByte;
using testing::RecordingObserver;
using testing::ScriptedProgram;
using testing::twentyByteReply;

std::vector<std::string> texts(const std::array<std::unique_ptr<Field>, 9>& labels) {
  std::vector<std::string> all;
  for (const auto& label : labels) all.push_back(label->text());
  return all;
}

using Labels = std::vector<std::string>;

// What the full read does before it asks: every field blank and yellow, no
// radio button checked.
void prepareAsTheFullReadDoes(TFrm_Mapping& w) {
  for (Field* field : w.parameterFields()) {
    field->setText("");
    field->setColour(kYellow);
  }
  for (Field* radio : {&w.map_type_1, &w.map_type_2, &w.map_type_3, &w.Pulse_Mode_0, &w.Pulse_Mode_1}) {
    radio->setChecked(false);
  }
}

TEST(FullScaleRpmTest, RoundsToTheWholeRpmThenCutsDownToTens) {
  const std::pair<std::int32_t, std::int32_t> cases[] = {
      {2500, 7500}, {2900, 6460}, {3000, 6250}, {65535, 280}, {1, 18750000}};
  for (auto [oneShot, rpm] : cases) EXPECT_EQ(fullScaleRpmOf(oneShot), rpm) << oneShot;
  EXPECT_FALSE(fullScaleRpmOf(0).has_value());
}

TEST(ConversionTextTest, EdgesOfTheRangesAndTheUsersDecimalSeparator) {
  testing::HeadlessProgram p;
  EXPECT_EQ(inhibitTimeText(*p, 255), "855.6");
  EXPECT_EQ(fuelScalerText(*p, 65535, kFuelScalerPictureFull), "6710.784");
  EXPECT_EQ(cutTimeText(*p, 255), "3.340");
  p->decimalSeparator = ',';
  EXPECT_EQ(inhibitTimeText(*p, 200), "671,1");
  EXPECT_EQ(fuelScalerText(*p, 5, kFuelScalerPictureEcho), "0,512");
}

TEST(ConfigReplyTest, AllZeroPayload) {
  ScriptedProgram p;
  p.decode(twentyByteReply('C'));
  TFrm_Mapping& w = p.window();
  EXPECT_TRUE(p->ReplyReceived);
  EXPECT_EQ(p->CommState, CommState::Monitoring);
  EXPECT_EQ(w.Inj_Inhibit.text(), ".0");
  EXPECT_EQ(w.Fuel_mx.text(), ".000");
  EXPECT_TRUE(w.map_type_1.checked());
  EXPECT_EQ(p->ControllerSettings.MapSpanKpa, 115);
  EXPECT_EQ(p->ControllerSettings.MapOffsetKpa, 10);
  EXPECT_EQ(texts(w.map_lbl), (Labels{"10", "24", "38", "53", "67", "81", "96", "110", "125"}));
  EXPECT_EQ(w.Num_Cyls.text(), "0");
  EXPECT_EQ(w.Ign_Cycles.text(), "0");
  EXPECT_EQ(w.Min_Pressure.text(), "10.0");
  EXPECT_EQ(w.Flag_Value.text(), "0");
  EXPECT_TRUE(w.Pulse_Mode_0.checked());
  EXPECT_EQ(w.Rate_Cut.text(), "0");
  EXPECT_EQ(w.Fuel_Cut_Time.text(), ".000");
  EXPECT_EQ(w.Tach_usecs.text(), "0");
  EXPECT_EQ(p.desktop().messageTexts().back(), "FS RPM value is invalid, and must be changed");
  EXPECT_EQ(p.desktop().messages.back().caption, "ERROR");
  EXPECT_EQ(p->ControllerSettings.FullScaleRpm, 1000);
  EXPECT_EQ(w.FS_RPM.text(), "1000");
  EXPECT_EQ(texts(w.rpm_lbl), (Labels{"0", "125", "250", "375", "500", "625", "750", "875", "1000"}));
  EXPECT_EQ(w.max_rpm.text(), "0");
  for (Field* field : {&w.Flag_Value, &w.Min_Pressure, &w.Ign_Cycles, &w.Num_Cyls, &w.Fuel_mx, &w.Fuel_b, &w.Rate_Cut,
                       &w.FS_RPM, &w.max_rpm, &w.Fuel_Cut_Time, &w.Inj_Inhibit}) {
    EXPECT_EQ(field->colour(), kWhite) << field->name();
  }
}

TEST(ConfigReplyTest, EveryParameterLandsInTheMirrorAndItsField) {
  ScriptedProgram p;
  p.decode(twentyByteReply('C', {{3, 200},
                                 {5, 0xFF},
                                 {6, 0x03},
                                 {7, 10},
                                 {9, lowByte(512)},
                                 {10, highByte(512)},
                                 {11, 1},
                                 {12, 7},
                                 {13, 100},
                                 {14, 2},
                                 {16, 0x54},
                                 {17, 0x0B},
                                 {18, 0x41},
                                 {19, 4}}));
  TFrm_Mapping& w = p.window();
  const ControllerSettings& s = p->ControllerSettings;
  using S = ControllerSettings;
  using T = TFrm_Mapping;
  const struct {
    std::int32_t S::*mirror;
    std::int32_t raw;
    Field T::*field;
    const char* text;
  } landed[] = {
      {&S::InjInhibitRaw, 200, &T::Inj_Inhibit, "671.1"},
      {&S::KillRpmRaw, 1023, &T::max_rpm, "6460"},
      {&S::FuelScalerRaw, 10, &T::Fuel_mx, "1.024"},
      {&S::MinPressureRaw, 512, &T::Min_Pressure, "137.6"},  // converted with this reply's 2 bar range
      {&S::FlagValue, 1, &T::Flag_Value, "1"},
      {&S::CutRate, 7, &T::Rate_Cut, "7"},
      {&S::CutTimeRaw, 100, &T::Fuel_Cut_Time, "1.310"},
      {&S::TrigsPerInj, 2, &T::Ign_Cycles, "2"},
      {&S::OneShotRaw, 2900, &T::Tach_usecs, "2900"},
      {&S::FullScaleRpm, 6460, &T::FS_RPM, "6460"},
      {&S::TrigsPerRev, 4, &T::Num_Cyls, "4"},
  };
  for (const auto& l : landed) {
    EXPECT_EQ(s.*l.mirror, l.raw) << (w.*l.field).name();
    EXPECT_EQ((w.*l.field).text(), l.text) << (w.*l.field).name();
  }
  EXPECT_TRUE(w.Pulse_Mode_1.checked());
  EXPECT_EQ(texts(w.rpm_lbl), (Labels{"0", "807", "1615", "2422", "3230", "4037", "4845", "5652", "6460"}));
  EXPECT_EQ(s.MapType, 1);
  EXPECT_TRUE(p.desktop().messages.size() <= 1) << "only the start-up message";
}

struct RangeCase {
  std::uint8_t byte18;
  std::int32_t mapType;
  int button;  // 0..2 for map_type_1..3
  std::int32_t span, offset;
  Labels labels;
};

class ConfigRangeTest : public ::testing::TestWithParam<RangeCase> {};

TEST_P(ConfigRangeTest, MapTypeChoosesButtonSpanOffsetAndLabels) {
  ScriptedProgram p;
  const RangeCase& c = GetParam();
  p.decode(twentyByteReply('C', {{18, c.byte18}, {16, 0x54}, {17, 0x0B}}));
  TFrm_Mapping& w = p.window();
  const Field* buttons[] = {&w.map_type_1, &w.map_type_2, &w.map_type_3};
  for (int b = 0; b < 3; ++b) EXPECT_EQ(buttons[b]->checked(), b == c.button) << b;
  EXPECT_EQ(p->ControllerSettings.MapType, c.mapType);
  EXPECT_EQ(p->ControllerSettings.MapSpanKpa, c.span);
  EXPECT_EQ(p->ControllerSettings.MapOffsetKpa, c.offset);
  EXPECT_EQ(texts(w.map_lbl), c.labels);
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, ConfigRangeTest,
    ::testing::Values(RangeCase{0x00, 0, 0, 115, 10, {"10", "24", "38", "53", "67", "81", "96", "110", "125"}},
                      RangeCase{0x41, 1, 1, 255, 10, {"10", "41", "73", "105", "137", "169", "201", "233", "265"}},
                      RangeCase{0xFE, 2, 2, 330, 14, {"14", "55", "96", "137", "179", "220", "261", "302", "344"}},
                      RangeCase{0x03, 3, 2, 330, 14, {"14", "55", "96", "137", "179", "220", "261", "302", "344"}}));

TEST(ConfigReplyTest, ThePulseModeChecksItsButtonAndLeavesFlagValueWhite) {
  // (byte 11, button checked before, Pulse_Mode_0 after, Pulse_Mode_1 after)
  const struct {
    std::uint8_t flag;
    bool zeroBefore, zero, one;
  } cases[] = {{1, true, false, true}, {0, false, true, false}, {2, false, false, false}, {2, true, false, false}};
  for (const auto& c : cases) {
    ScriptedProgram p;
    TFrm_Mapping& w = p.window();
    (c.zeroBefore ? w.Pulse_Mode_0 : w.Pulse_Mode_1).setChecked(true);
    p.decode(twentyByteReply('C', {{11, c.flag}, {16, 0x54}, {17, 0x0B}}));
    EXPECT_EQ(w.Pulse_Mode_0.checked(), c.zero) << int{c.flag};
    EXPECT_EQ(w.Pulse_Mode_1.checked(), c.one) << int{c.flag};
    EXPECT_EQ(w.Flag_Value.text(), std::to_string(c.flag));
    EXPECT_EQ(w.Flag_Value.colour(), kWhite);
    EXPECT_EQ(p->ControllerSettings.FlagValue, c.flag);
  }
}

TEST(ConfigReplyTest, AfterAFullReadOnlyTheRangeMarkStaysYellow) {
  ScriptedProgram p;
  TFrm_Mapping& w = p.window();
  prepareAsTheFullReadDoes(w);
  w.Fuel_b.setText("7");
  w.Fuel_b.setColour(kYellow);
  w.Label18.setColour(kWhite);
  w.GainCells[3]->setText("1.00");
  p.decode(twentyByteReply('C', {{19, 4}, {14, 1}, {16, 0x54}, {17, 0x0B}}));
  EXPECT_EQ(w.Label18.colour(), kYellow) << "the range is sent again by the next upload";
  EXPECT_EQ(w.Fuel_b.text(), "7");
  EXPECT_EQ(w.GainCells[3]->text(), "1.00");
  EXPECT_EQ(w.GainCells[3]->colour(), kYellow);
  for (Field* field : w.parameterFields()) EXPECT_EQ(field->colour(), kWhite) << field->name();
  EXPECT_EQ(w.Fuel_b.colour(), kWhite);
  EXPECT_EQ(w.Flag_Value.colour(), kWhite);
}

TEST(ConfigReplyTest, TheMarksAreClearedThenRedrawnInOrder) {
  ScriptedProgram p;
  TFrm_Mapping& w = p.window();
  RecordingObserver observer;
  w.model.setObserver(&observer);
  p.decode(twentyByteReply('C', {{16, 0x54}, {17, 0x0B}}));
  const std::vector<Field*> expected = {&w.heartbeat, &w.Flag_Value, &w.Min_Pressure,  &w.Ign_Cycles,
                                        &w.Num_Cyls,  &w.Fuel_mx,    &w.Fuel_b,        &w.Rate_Cut,
                                        &w.FS_RPM,    &w.max_rpm,    &w.Fuel_Cut_Time, &w.Inj_Inhibit};
  EXPECT_EQ(observer.repaints, expected);
}

TEST(ConfigReplyTest, TheInvalidFullScaleMessageComesWithEarlierFieldsFilledAndLivePollingOn) {
  ScriptedProgram p;
  TFrm_Mapping& w = p.window();
  p.line.queue(twentyByteReply('C', {{3, 200}, {12, 9}, {18, 1}, {5, 0xFF}, {6, 0x03}}));
  p.line.queue(twentyByteReply('A', {{3, 0x00}, {4, 0x02}, {7, 0x00}, {8, 0x02}, {11, 100}}));
  bool sawBox = false;
  p.desktop().whileMessageBoxOpen = [&](const testing::RecordedMessage&) {
    sawBox = true;
    EXPECT_EQ(p->CommState, CommState::Monitoring);
    EXPECT_EQ(w.Inj_Inhibit.text(), "671.1");
    EXPECT_EQ(w.Rate_Cut.text(), "9");
    EXPECT_EQ(w.Tach_usecs.text(), "0");
    EXPECT_EQ(w.FS_RPM.text(), "0") << "not yet";
    EXPECT_EQ(w.rpm_lbl[8]->text(), "00000") << "not yet";
    // A live-data tick inside the box: the full scale is still unknown.
    SendCommand(*p, makeCommand('A'));
    EXPECT_EQ(w.map_dpy.text(), "137.6");
    EXPECT_EQ(w.rpm_dpy.text(), "0 RPM");
    EXPECT_EQ(w.map_r_ptr.left(), 96);
  };
  DecodeReply(*p);
  ASSERT_TRUE(sawBox);
  EXPECT_EQ(w.FS_RPM.text(), "1000");
  EXPECT_EQ(w.max_rpm.text(), "1000");
  EXPECT_EQ(w.rpm_lbl[8]->text(), "1000");
  EXPECT_EQ(w.Inj_Inhibit.colour(), kWhite);
}

TEST(ConfigReplyTest, AVeryHighFullScaleGivesAnUnwrappedRevLimiter) {
  ScriptedProgram p;
  p.decode(twentyByteReply('C', {{5, 0xFF}, {6, 0x03}, {16, 1}, {17, 0}}));
  EXPECT_EQ(p.window().FS_RPM.text(), "18750000");
  EXPECT_EQ(p.window().max_rpm.text(), "18750000");
}

}  // namespace
}  // namespace korvane
