// The decoder's dispatch, the acknowledgements, live data and the firmware
// revision.
#include "link/reply_decoder.h"

#include <gtest/gtest.h>

#include "link/command.h"
#include "support/line_bytes.h"
#include "support/recording_observer.h"
#include "support/scripted_line.h"

namespace korvane {
namespace {

using testing::Bytes;
using testing::highByte;
using testing::lowByte;
using testing::RecordingObserver;
using testing::reply;
using testing::ScriptedProgram;
using testing::twentyByteReply;

struct DroppedRead {
  const char* name;
  Bytes bytes;
};

Bytes repeated(Bytes one, int times) {
  Bytes all;
  for (int i = 0; i < times; ++i) all.insert(all.end(), one.begin(), one.end());
  return all;
}

class DroppedReadTest : public ::testing::TestWithParam<DroppedRead> {};

TEST_P(DroppedReadTest, BlinksTheLampAndChangesNothingElse) {
  ScriptedProgram p;
  p->CommState = CommState::Connecting;
  p.decode(GetParam().bytes);
  EXPECT_EQ(p.window().heartbeat.colour(), kGrey);
  EXPECT_FALSE(p->ReplyReceived);
  EXPECT_EQ(p->CommState, CommState::Connecting);
  EXPECT_EQ(p.window().FW_Rev.text(), "Unknown");
  EXPECT_EQ(p.window().rpm_dpy.text(), "? RPM");
  EXPECT_EQ(p.window().Fuel_mx.text(), "0");
  EXPECT_TRUE(p.desktop().messages.size() <= 1) << "only the start-up message";
}

INSTANTIATE_TEST_SUITE_P(Reads, DroppedReadTest,
                         ::testing::Values(DroppedRead{"LiveDataOfFourBytes", reply('A', {0})},
                                           DroppedRead{"AckOfFiveBytes", reply('+', {0, 0})},
                                           DroppedRead{"RevisionOfSixBytes", reply('R', {1, 2, 3})},
                                           DroppedRead{"UnknownLetter", reply('x', {0})},
                                           DroppedRead{"TwoAcksInOneRead", repeated(reply('+', {0}), 2)},
                                           DroppedRead{"ReplyAndItsSuccessor", repeated(reply('R', {0x22, 0x28}), 2)},
                                           DroppedRead{"FullHundredBytes", repeated(twentyByteReply('C'), 5)},
                                           DroppedRead{"TwoBytes", {0x02, 0x06}}, DroppedRead{"OneByte", {'R'}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DecodeReplyTest, AnEmptyReadChangesNothingNotEvenTheLamp) {
  ScriptedProgram p;
  p->ReplyReceived = true;
  DecodeReply(*p);
  EXPECT_EQ(p.window().heartbeat.colour(), kSilver);
  EXPECT_TRUE(p->ReplyReceived);
  EXPECT_EQ(p.line.reads(), 1);
}

TEST(DecodeReplyTest, TheLampAlternatesAndIsRedrawnOnEveryRead) {
  ScriptedProgram p;
  RecordingObserver observer;
  p.window().model.setObserver(&observer);
  std::vector<Colour> seen;
  for (int i = 0; i < 3; ++i) {
    p.decode(reply('x', {}));
    seen.push_back(p.window().heartbeat.colour());
  }
  EXPECT_EQ(seen, (std::vector<Colour>{kGrey, kSilver, kGrey}));
  EXPECT_EQ(observer.repaints.size(), 3u);
  p.window().heartbeat.setColour(kRed);
  p.decode(reply('x', {}));
  EXPECT_EQ(p.window().heartbeat.colour(), kSilver) << "any other colour becomes silver";
}

TEST(DecodeReplyTest, AcknowledgementsAllSatisfyTheCaller) {
  for (const Bytes& ack : {reply('+', {9}), reply('-', {9, 9, 9}), reply('o', {9, 9})}) {
    ScriptedProgram p;
    p.decode(ack);
    EXPECT_TRUE(p->ReplyReceived) << ack[2];
    EXPECT_EQ(p->CommState, CommState::Idle);
  }
}

TEST(DecodeReplyTest, TheHeaderBytesAreNotExamined) {
  ScriptedProgram p;
  p.decode({0xFF, 0x00, '+', 0x00});
  EXPECT_TRUE(p->ReplyReceived);
}

// Live data with the sensor range and full scale of a 2 bar sensor and a
// 2900 tach period.
class LiveDataTest : public ::testing::Test {
 protected:
  void SetUp() override {
    p->ControllerSettings.MapSpanKpa = 255;
    p->ControllerSettings.MapOffsetKpa = 10;
    p->ControllerSettings.FullScaleRpm = 6460;
    p.window().model.setObserver(&observer);
  }
  static Bytes liveData(int map, int rpm, int pulse) {
    return twentyByteReply('A', {{3, lowByte(map)},
                                 {4, highByte(map)},
                                 {7, lowByte(rpm)},
                                 {8, highByte(rpm)},
                                 {11, lowByte(pulse)},
                                 {12, highByte(pulse)}});
  }
  ScriptedProgram p;
  RecordingObserver observer;
};

TEST_F(LiveDataTest, ShowsTheReadingsAndMovesBothBars) {
  p.decode(liveData(512, 512, 100));
  TFrm_Mapping& w = p.window();
  EXPECT_TRUE(p->ReplyReceived);
  EXPECT_EQ(w.map_dpy.text(), "137.6");
  EXPECT_EQ(w.rpm_dpy.text(), "3233 RPM");
  EXPECT_EQ(w.inj_dpy.text(), "10.24");
  EXPECT_FLOAT_EQ(p->ControllerSettings.InjectorPulseWidth, 0.01024f);
  EXPECT_EQ(w.map_p_ptr.top(), 267);
  EXPECT_EQ(w.map_r_ptr.left(), 411);
  EXPECT_EQ(p->LastMapCursorOffset, -123);
  EXPECT_EQ(p->LastRpmCursorOffset, 316);
  EXPECT_TRUE(observer.repainted(w.map_p_ptr));
  EXPECT_TRUE(observer.repainted(w.map_r_ptr));
}

TEST_F(LiveDataTest, TheSameReadingsTwiceMoveNoBarTheSecondTime) {
  p.decode(liveData(512, 512, 100));
  p.window().rpm_dpy.setText("stale");
  observer.clear();
  p.decode(liveData(512, 512, 100));
  EXPECT_EQ(p.window().rpm_dpy.text(), "3233 RPM");
  EXPECT_FALSE(observer.changed(p.window().map_p_ptr, Property::Geometry));
  EXPECT_FALSE(observer.changed(p.window().map_r_ptr, Property::Geometry));
  EXPECT_FALSE(observer.repainted(p.window().map_p_ptr));
  EXPECT_FALSE(observer.repainted(p.window().map_r_ptr));
}

TEST_F(LiveDataTest, AnRpmOffsetOfOneAtFirstDoesNotMoveTheBar) {
  p.decode(liveData(512, 2, 0));  // 12 RPM: 12 x 633 / 6460 = 1.2 pixels
  EXPECT_EQ(p.window().rpm_dpy.text(), "12 RPM");
  EXPECT_EQ(p->LastRpmCursorOffset, 1);
  EXPECT_FALSE(observer.repainted(p.window().map_r_ptr));
  EXPECT_TRUE(observer.repainted(p.window().map_p_ptr));
}

TEST_F(LiveDataTest, BarsAreNotClampedBeyondTheirMarkers) {
  p.decode(liveData(1023 * 2, 1023 * 2, 0));
  EXPECT_EQ(p.window().map_p_ptr.top(), 390 - 492);
  EXPECT_EQ(p.window().map_r_ptr.left(), 95 + 1266);
}

TEST_F(LiveDataTest, BeforeTheFirstConfigurationTheTextsUpdateAndTheBarsStay) {
  p->ControllerSettings = {};
  p.decode(liveData(512, 512, 100));
  EXPECT_EQ(p.window().map_dpy.text(), "0.0");
  EXPECT_EQ(p.window().rpm_dpy.text(), "0 RPM");
  EXPECT_EQ(p.window().inj_dpy.text(), "10.24");
  EXPECT_EQ(p.window().map_p_ptr.top(), 389);
  EXPECT_EQ(p.window().map_r_ptr.left(), 96);
  EXPECT_EQ(p->LastMapCursorOffset, 1);

  p->ControllerSettings.MapSpanKpa = 255;  // range known, full scale not yet
  p->ControllerSettings.MapOffsetKpa = 10;
  p.decode(liveData(512, 512, 100));
  EXPECT_EQ(p.window().map_p_ptr.top(), 267);
  EXPECT_EQ(p.window().map_r_ptr.left(), 96);
}

TEST_F(LiveDataTest, AVeryHighFullScaleShowsTheTrueRpm) {
  p->ControllerSettings.FullScaleRpm = 18750000;  // a tach period of 1
  p.decode(liveData(0, 65535, 0));
  EXPECT_EQ(p.window().rpm_dpy.text(), "1201154692 RPM");
  EXPECT_EQ(p.window().map_r_ptr.left(), 95 + 40550);
}

struct RevisionCase {
  std::uint8_t low, high;
  const char* text;
};

class RevisionTest : public ::testing::TestWithParam<RevisionCase> {};

TEST_P(RevisionTest, ShowsTheFirmwareRevisionAndStartsTheFullRead) {
  ScriptedProgram p;
  p->CommState = CommState::Monitoring;
  RecordingObserver observer;
  p.window().model.setObserver(&observer);
  p.decode(reply('R', {GetParam().low, GetParam().high}));
  EXPECT_EQ(p.window().FW_Rev.text(), GetParam().text);
  EXPECT_TRUE(observer.repainted(p.window().FW_Rev));
  EXPECT_EQ(p->CommState, CommState::ReadingAll);
  EXPECT_TRUE(p->ReplyReceived);
}

INSTANTIATE_TEST_SUITE_P(Revisions, RevisionTest,
                         ::testing::Values(RevisionCase{0x22, 0x28, "v1.02.74"}, RevisionCase{5, 0, "v0.00.05"},
                                           RevisionCase{0xFF, 0xFF, "v6.55.35"}, RevisionCase{0, 0, "v0.00.00"}));

}  // namespace
}  // namespace korvane
