// Gain-cell replies and the parameter echoes, and where they differ from the
// configuration reply.
#include <gtest/gtest.h>

#include "support/line_bytes.h"
#include "support/recording_observer.h"
#include "support/scripted_line.h"

namespace korvane {
namespace {

using testing::Bytes;
using testing::reply;
using testing::ScriptedProgram;

// A program after a configuration with the 2 bar range and a 2900 tach
// period, every field white.
class EchoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    p.decode(testing::twentyByteReply('C', {{18, 1}, {16, 0x54}, {17, 0x0B}, {19, 4}, {5, 0x00}, {6, 0x02}}));
    p.window().Label18.setColour(kWhite);
    p->ReplyReceived = false;
  }
  TFrm_Mapping& w() { return p.window(); }
  ScriptedProgram p;
};

struct GainCase {
  std::uint8_t value;
  const char* text;
};

class GainCellTest : public EchoTest, public ::testing::WithParamInterface<GainCase> {};

TEST_P(GainCellTest, ShowsTheFactorInWhite) {
  for (char letter : {'E', 'e'}) {
    w().GainCells[5]->setText("x");
    p.decode(reply(letter, {0x05, 0x01, GetParam().value}));
    EXPECT_EQ(w().GainCells[5]->text(), GetParam().text) << letter;
    EXPECT_EQ(w().GainCells[5]->colour(), kWhite) << letter;
    EXPECT_EQ(p->ControllerSettings.LastCellValue, GetParam().value);
    EXPECT_TRUE(p->ReplyReceived);
  }
}

INSTANTIATE_TEST_SUITE_P(Values, GainCellTest,
                         ::testing::Values(GainCase{0, ".00"}, GainCase{1, ".01"}, GainCase{16, ".13"},
                                           GainCase{64, ".50"}, GainCase{128, "1.00"}, GainCase{200, "1.56"},
                                           GainCase{255, "1.99"}));

TEST_F(EchoTest, AGainCellOutsideTheMapChangesNoCell) {
  for (auto [low, high] : {std::pair<std::uint8_t, std::uint8_t>{0x80, 0x01}, {0xFF, 0x00}}) {
    p->ReplyReceived = false;
    p.decode(reply('e', {low, high, 77}));
    EXPECT_TRUE(p->ReplyReceived);
    EXPECT_EQ(p->ControllerSettings.LastCellValue, 77);
  }
  for (const auto& cell : w().GainCells) EXPECT_EQ(cell->text(), "") << cell->name();
  EXPECT_EQ(w().GainCells[127]->colour(), kWhite);
  p.decode(reply('E', {0x7F, 0x01, 128}));
  EXPECT_EQ(w().GainCells[127]->text(), "1.00") << "address 383 is the last cell";
}

struct EchoCase {
  const char* name;
  Bytes bytes;
  Field TFrm_Mapping::*field;
  const char* text;
};

class ParameterEchoTest : public EchoTest, public ::testing::WithParamInterface<EchoCase> {};

TEST_P(ParameterEchoTest, RewritesTheFieldAndClearsItsMark) {
  const EchoCase& c = GetParam();
  Field& field = w().*c.field;
  field.setText("typed");
  ASSERT_EQ(field.colour(), kYellow);
  testing::RecordingObserver observer;
  w().model.setObserver(&observer);
  p.decode(c.bytes);
  EXPECT_TRUE(p->ReplyReceived);
  EXPECT_EQ(field.text(), c.text);
  EXPECT_EQ(field.colour(), kWhite);
  EXPECT_TRUE(observer.repainted(field));
}

INSTANTIATE_TEST_SUITE_P(
    Echoes, ParameterEchoTest,
    ::testing::Values(EchoCase{"RevLimiter", reply('i', {0xFF, 0x03}), &TFrm_Mapping::max_rpm, "6460"},
                      EchoCase{"TrigsPerInj", reply('j', {3}), &TFrm_Mapping::Ign_Cycles, "3"},
                      EchoCase{"TrigsPerRev", reply('k', {6}), &TFrm_Mapping::Num_Cyls, "6"},
                      EchoCase{"FuelScalerWithLeadingZero", reply('m', {0x05, 0x00}), &TFrm_Mapping::Fuel_mx, "0.512"},
                      EchoCase{"MinPressureInTheCurrentRange", reply('p', {0x00, 0x02}), &TFrm_Mapping::Min_Pressure,
                               "137.6"},
                      EchoCase{"OneShot", reply('q', {0x54, 0x0B}), &TFrm_Mapping::FS_RPM, "6460"},
                      EchoCase{"CutTime", reply('t', {255}), &TFrm_Mapping::Fuel_Cut_Time, "3.340"},
                      EchoCase{"InhibitTime", reply('u', {200}), &TFrm_Mapping::Inj_Inhibit, "671.1"},
                      EchoCase{"RateCut", reply('z', {200}), &TFrm_Mapping::Rate_Cut, "200"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EchoTest, OnlySomeEchoesUpdateTheMirror) {
  const ControllerSettings before = p->ControllerSettings;
  for (const Bytes& echo : {reply('f', {1}), reply('t', {99}), reply('u', {99}), reply('z', {99})}) {
    p.decode(echo);
  }
  EXPECT_EQ(p->ControllerSettings.FlagValue, before.FlagValue);
  EXPECT_EQ(p->ControllerSettings.CutTimeRaw, before.CutTimeRaw);
  EXPECT_EQ(p->ControllerSettings.InjInhibitRaw, before.InjInhibitRaw);
  EXPECT_EQ(p->ControllerSettings.CutRate, before.CutRate);

  using S = ControllerSettings;
  const struct {
    Bytes echo;
    std::int32_t S::*mirror;
    std::int32_t raw;
  } updating[] = {{reply('i', {0x10, 0x00}), &S::KillRpmRaw, 0x10},
                  {reply('j', {3}), &S::TrigsPerInj, 3},
                  {reply('k', {6}), &S::TrigsPerRev, 6},
                  {reply('m', {0x05, 0x00}), &S::FuelScalerRaw, 5},
                  {reply('p', {0x34, 0x01}), &S::MinPressureRaw, 0x134}};
  for (const auto& u : updating) p.decode(u.echo);
  // Checked once all are in, so an echo that also writes another's value is seen.
  for (const auto& u : updating) EXPECT_EQ(p->ControllerSettings.*u.mirror, u.raw) << u.echo[2];
}

TEST_F(EchoTest, OneShotUpdatesTheAxisButNotTheRevLimiter) {
  p.decode(reply('q', {0xB8, 0x0B}));  // 3000: 6250 RPM
  EXPECT_EQ(p->ControllerSettings.OneShotRaw, 3000);
  EXPECT_EQ(p->ControllerSettings.FullScaleRpm, 6250);
  EXPECT_EQ(w().Tach_usecs.text(), "3000");
  EXPECT_EQ(w().FS_RPM.text(), "6250");
  EXPECT_EQ(w().rpm_lbl[8]->text(), "6250");
  EXPECT_EQ(w().max_rpm.text(), "3233") << "512 of the old 6460";
  EXPECT_EQ(w().max_rpm.colour(), kWhite);
}

TEST_F(EchoTest, AZeroOneShotShowsTheMessageAndFallsBackTo1000) {
  p.decode(reply('q', {0, 0}));
  EXPECT_EQ(p.desktop().messageTexts().back(), "FS RPM value is invalid, and must be changed");
  EXPECT_EQ(w().FS_RPM.text(), "1000");
  EXPECT_EQ(w().rpm_lbl[1]->text(), "125");
  EXPECT_EQ(w().rpm_lbl[8]->text(), "1000");
}

TEST_F(EchoTest, MapTypeKeepsTheWholeByteAndClearsTheRangeMark) {
  p.decode(reply('v', {0x06}));
  EXPECT_EQ(p->ControllerSettings.MapType, 6);
  EXPECT_TRUE(w().map_type_3.checked());
  EXPECT_FALSE(w().map_type_2.checked());
  EXPECT_EQ(p->ControllerSettings.MapSpanKpa, 330);
  EXPECT_EQ(p->ControllerSettings.MapOffsetKpa, 14);
  EXPECT_EQ(w().map_lbl[8]->text(), "344");
  EXPECT_EQ(w().Label18.colour(), kWhite) << "its click handler ran before the mark was cleared";
}

TEST_F(EchoTest, APulseModeThatChangesTheButtonLeavesFlagValueYellow) {
  w().Pulse_Mode_0.setChecked(true);
  w().Flag_Value.setColour(kWhite);
  p.decode(reply('f', {1}));
  EXPECT_TRUE(w().Pulse_Mode_1.checked());
  EXPECT_FALSE(w().Pulse_Mode_0.checked());
  EXPECT_EQ(w().Flag_Value.text(), "1");
  EXPECT_EQ(w().Flag_Value.colour(), kYellow);

  p.decode(reply('f', {1}));
  EXPECT_EQ(w().Flag_Value.colour(), kWhite) << "the same mode again confirms it";
}

TEST_F(EchoTest, AZeroTriggerCountIsRefusedAndTheFieldKeepsTheUsersValue) {
  w().Num_Cyls.setText("5");
  p.decode(reply('k', {0}));
  EXPECT_EQ(p.desktop().messageTexts().back(),
            "An innappropriate value for Number of Cylinders was retrieved, You must correct this.");
  EXPECT_EQ(p.desktop().messages.back().caption, "ERROR");
  EXPECT_EQ(w().Num_Cyls.text(), "5");
  EXPECT_EQ(w().Num_Cyls.colour(), kYellow);
  EXPECT_EQ(p->ControllerSettings.TrigsPerRev, 0);
  EXPECT_TRUE(p->ReplyReceived);
}

TEST_F(EchoTest, ANewTriggerCountLeavesFullScaleAndRevLimiterToBeSentAgain) {
  p.decode(reply('k', {6}));
  EXPECT_EQ(w().Num_Cyls.text(), "6");
  EXPECT_EQ(w().Num_Cyls.colour(), kWhite);
  EXPECT_EQ(w().FS_RPM.colour(), kYellow);
  EXPECT_EQ(w().max_rpm.colour(), kYellow);
}

TEST_F(EchoTest, TheSameTriggerCountRunsNoHandler) {
  p.decode(reply('k', {4}));
  EXPECT_EQ(w().Num_Cyls.colour(), kWhite);
  EXPECT_EQ(w().FS_RPM.colour(), kWhite);
  EXPECT_EQ(w().max_rpm.colour(), kWhite);
}

}  // namespace
}  // namespace korvane
