// The upload against the emulator: field texts to frames on the line, the
// checks and their messages, the order and pacing of the commands, the echoes
// that confirm each field, and the ways an upload ends.
#include "comm/upload.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "app/startup.h"
#include "comm/upload_conversions.h"
#include "support/line_fixture.h"

namespace korvane {
namespace {

using testing::Bytes;
using testing::frame;
using testing::lettersOf;
using Frames = std::vector<Bytes>;
using Texts = std::vector<std::string>;

constexpr const char* kRevLimiterAdjusted = "The value of the fuel cut RPM was too high, it has been adjusted";
constexpr const char* kRateCutRefused =
    "The value for the MAP Rate Cut Sensitivity is zero or an illegal value, Parameter will not be updated";

// A field of the window: a named parameter field, or gain cell `cell`.
struct Target {
  Field TFrm_Mapping::*field = nullptr;
  int cell = -1;

  Field& in(TFrm_Mapping& w) const { return field ? w.*field : *w.GainCells.at(static_cast<std::size_t>(cell)); }
};

Target cell(int i) { return {nullptr, i}; }

void PrintTo(const Target& t, std::ostream* os) {
  if (t.field) {
    TFrm_Mapping w;
    *os << (w.*t.field).name();
  } else {
    *os << "cell " << t.cell;
  }
}

// Connected to the emulator's default controller (full scale 6000 RPM, the
// 1 bar sensor, max_rpm showing 4997) after a full read, with nothing marked.
class UploadTest : public testing::LineFixture {
 public:
  void SetUp() override { connect(0); }

  void connect(std::uint8_t mapType) {
    auto c = controller().configuration();
    c.mapType = mapType;
    controller().setConfiguration(c);
    ASSERT_NO_FATAL_FAILURE(connectAndReadAll());
    w().Label18.setColour(kWhite);  // as a first upload would leave it
    line().clearHistory();
    desktop().messages.clear();
  }

  // Runs the upload and returns the virtual time it took.
  long long upload() {
    const long long start = now();
    Button1Click(program());
    return now() - start;
  }
};

struct WorkedExample {
  const char* name;
  Target target;
  const char* text;
  Frames frames;
  const char* echoed;  // the field's text once the controller has confirmed it
  Texts messages = {};
  std::uint8_t mapType = 0;
};

void PrintTo(const WorkedExample& e, std::ostream* os) { *os << e.name << " " << e.text; }

class WorkedExampleTest : public UploadTest, public ::testing::WithParamInterface<WorkedExample> {
 public:
  void SetUp() override { connect(GetParam().mapType); }
};

TEST_P(WorkedExampleTest, SendsTheFrameAndTheEchoConfirmsTheField) {
  const WorkedExample& e = GetParam();
  Field& field = e.target.in(w());
  edit(field, e.text);
  upload();
  EXPECT_EQ(line().writtenFrames(), e.frames);
  EXPECT_EQ(desktop().messageTexts(), e.messages);
  EXPECT_EQ(field.text(), e.echoed);
  EXPECT_EQ(field.colour(), kWhite);
  EXPECT_EQ(program().CommState, CommState::Monitoring);
}

using T = TFrm_Mapping;

INSTANTIATE_TEST_SUITE_P(
    Fields, WorkedExampleTest,
    ::testing::Values(
        WorkedExample{"scaler", {&T::Fuel_mx}, "10.240", {frame('m', 100, 0)}, "10.240"},
        WorkedExample{"scaler", {&T::Fuel_mx}, "1.000", {frame('m', 9, 0)}, "0.922"},
        WorkedExample{"scaler", {&T::Fuel_mx}, "25", {frame('m', 244, 0)}, "24.986"},
        WorkedExample{"scaler", {&T::Fuel_mx}, "-0.05", {frame('m', 0, 0)}, "0.000"},
        WorkedExample{"cell 5", cell(5), "1.50", {frame('e', 5, 1, 192)}, "1.50"},
        WorkedExample{"cell 0", cell(0), "1.01", {frame('e', 0, 1, 129)}, "1.01"},
        WorkedExample{"cell 3", cell(3), ".50", {frame('e', 3, 1, 64)}, ".50"},
        WorkedExample{"cell 127", cell(127), "0", {frame('e', 127, 1, 0)}, ".00"},
        // A new full scale sends the rev limiter again, against the new scale.
        WorkedExample{"full scale", {&T::FS_RPM}, "6000", {frame('q', 53, 12), frame('i', 83, 3)}, "6000"},
        WorkedExample{"full scale", {&T::FS_RPM}, "8000", {frame('q', 39, 9), frame('i', 126, 2)}, "8000"},
        WorkedExample{"full scale",
                      {&T::FS_RPM},
                      "999.5",
                      {frame('q', 0x3E, 0x49), frame('i', 255, 3)},
                      "1000",
                      {kRevLimiterAdjusted}},
        WorkedExample{"rev limiter", {&T::max_rpm}, "5000", {frame('i', 84, 3)}, "4997"},
        WorkedExample{"rev limiter", {&T::max_rpm}, "7000", {frame('i', 255, 3)}, "6000", {kRevLimiterAdjusted}},
        WorkedExample{"rev limiter", {&T::max_rpm}, "-100", {frame('i', 0, 0)}, "0"},
        WorkedExample{"trigs per inj", {&T::Ign_Cycles}, "2.5", {frame('j', 2)}, "2"},
        WorkedExample{"trigs per inj", {&T::Ign_Cycles}, "3.5", {frame('j', 4)}, "4"},
        WorkedExample{
            "trigs per rev", {&T::Num_Cyls}, "6", {frame('q', 53, 12), frame('i', 83, 3), frame('k', 6)}, "6"},
        WorkedExample{"pressure", {&T::Min_Pressure}, "30", {frame('p', 177, 0)}, "29.9"},
        WorkedExample{"pressure", {&T::Min_Pressure}, "100", {frame('p', 105, 1)}, "100.0", {}, 1},
        WorkedExample{"pressure", {&T::Min_Pressure}, "5", {frame('p', 0, 0)}, "10.0"},
        WorkedExample{"rate cut", {&T::Rate_Cut}, "254", {frame('z', 254)}, "254"},
        WorkedExample{"rate cut", {&T::Rate_Cut}, "1", {frame('z', 1)}, "1"},
        WorkedExample{"rate cut", {&T::Rate_Cut}, "254.5", {frame('z', 254)}, "254"},
        WorkedExample{"cut time", {&T::Fuel_Cut_Time}, "1.5", {frame('t', 114)}, "1.493"},
        WorkedExample{"cut time", {&T::Fuel_Cut_Time}, "3.34", {frame('t', 255)}, "3.340"},
        WorkedExample{"cut time", {&T::Fuel_Cut_Time}, "0", {frame('t', 1)}, ".013"},
        WorkedExample{"cut time", {&T::Fuel_Cut_Time}, "0.01", {frame('t', 0)}, ".000"},
        WorkedExample{"cut time", {&T::Fuel_Cut_Time}, "10", {frame('t', 255)}, "3.340"},
        WorkedExample{"inhibit", {&T::Inj_Inhibit}, "100", {frame('u', 30)}, "100.7"},
        WorkedExample{"inhibit", {&T::Inj_Inhibit}, "-1", {frame('u', 0)}, ".0"},
        WorkedExample{"inhibit", {&T::Inj_Inhibit}, "1000", {frame('u', 255)}, "855.6"}));

struct Refusal {
  const char* name;
  Target target;
  const char* text;
  const char* message;
  std::string sent = {};  // letters sent besides the refused value
};

void PrintTo(const Refusal& r, std::ostream* os) { *os << r.name << " " << r.text; }

class RefusalTest : public UploadTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(RefusalTest, ShowsTheMessageKeepsTheEditAndGoesOn) {
  const Refusal& r = GetParam();
  Field& field = r.target.in(w());
  edit(field, r.text);
  edit(w().Inj_Inhibit, "100");  // a later step, which still runs
  upload();
  ASSERT_EQ(desktop().messages.size(), 1u);
  EXPECT_EQ(desktop().messages[0].text, r.message);
  EXPECT_EQ(desktop().messages[0].caption, "ERROR");
  EXPECT_EQ(lettersOf(line().writtenFrames()), r.sent + "u");
  EXPECT_EQ(field.text(), r.text);
  EXPECT_EQ(field.colour(), kYellow);
  EXPECT_EQ(program().CommState, CommState::Monitoring);
}

constexpr const char* kTrigsPerInjNotPositive =
    "The value for the Number of Triggers per Injection is zero or negative, Parameter will not be updated";
constexpr const char* kTrigsPerRevNotPositive =
    "The value for the Number of Triggers per revolution is zero or negative, Parameter will not be updated";

INSTANTIATE_TEST_SUITE_P(
    Values, RefusalTest,
    ::testing::Values(
        Refusal{"scaler", {&T::Fuel_mx}, "-0.2", "The value for the Fuel Scaler is negative, it will not be updated"},
        Refusal{"scaler", {&T::Fuel_mx}, "6710.9", "The value for the Fuel Scaler is too high, it will not be updated"},
        Refusal{"cell", cell(9), "2.00", "A MAP Gain cell has been found that is too high, it will not be updated"},
        Refusal{"cell", cell(9), "-0.01", "A MAP Gain cell has been found that is negative, it will not be updated"},
        Refusal{"full scale",
                {&T::FS_RPM},
                "999.4",
                "The value for the Full Scale RPM is too low, Parameter will not be updated"},
        Refusal{"full scale",
                {&T::FS_RPM},
                "18750001",
                "The value for the Full Scale RPM is too high, Parameter will not be updated"},
        Refusal{"trigs per inj", {&T::Ign_Cycles}, "0", kTrigsPerInjNotPositive},
        Refusal{"trigs per inj", {&T::Ign_Cycles}, "0.5", kTrigsPerInjNotPositive},
        Refusal{"trigs per inj",
                {&T::Ign_Cycles},
                "256",
                "The value for the Number of Triggers per Injection is too high, Parameter will not be updated"},
        Refusal{"trigs per rev", {&T::Num_Cyls}, "-2", kTrigsPerRevNotPositive, "qi"},
        Refusal{"trigs per rev",
                {&T::Num_Cyls},
                "300",
                "The value for the Number of Triggers per revolution is too high, Parameter will not be updated",
                "qi"},
        Refusal{"rate cut", {&T::Rate_Cut}, "0", kRateCutRefused},
        Refusal{"rate cut", {&T::Rate_Cut}, "255", kRateCutRefused},
        Refusal{"rate cut", {&T::Rate_Cut}, "-3", kRateCutRefused},
        Refusal{"rate cut", {&T::Rate_Cut}, "254.6", kRateCutRefused}));

TEST_F(UploadTest, EachRefusedCellHasItsOwnMessage) {
  edit(*w().GainCells[9], "2.00");
  edit(*w().GainCells[10], "1.00");
  edit(*w().GainCells[11], "3");
  upload();
  EXPECT_EQ(line().writtenFrames(), Frames{frame('e', 10, 1, 128)});
  EXPECT_EQ(desktop().messages.size(), 2u);
}

TEST_F(UploadTest, BlankCellsAreNeverSentAndOneMessageSaysHowMany) {
  // A read that stopped at a silent cell leaves cells 40 and on blank.
  controller().faults().deadCells = {40};
  program().CommState = CommState::ReadingAll;
  tick();
  controller().faults().deadCells.clear();
  desktop().messages.clear();
  line().clearHistory();
  w().Label18.setColour(kWhite);
  const std::uint8_t before = controller().gain(50);

  edit(*w().GainCells[5], "1.50");
  upload();
  EXPECT_EQ(line().writtenFrames(), Frames{frame('e', 5, 1, 192)});
  EXPECT_EQ(desktop().messageTexts(), Texts{"88 blank MAP Gain cell(s) have been found, they will not be updated. "
                                            "Read the controller again to fill them."});
  EXPECT_EQ(controller().gain(50), before) << "no zero fuel written into an unread cell";
  for (int i = 40; i < 128; ++i) {
    EXPECT_EQ(w().GainCells[i]->text(), "") << i;
    EXPECT_EQ(w().GainCells[i]->colour(), kYellow) << i;
  }
}

TEST_F(UploadTest, NothingMarkedOnlyWaits) {
  program().CommState = CommState::Idle;
  EXPECT_EQ(upload(), 200);
  EXPECT_TRUE(line().written().empty());
  EXPECT_TRUE(desktop().messages.empty());
  EXPECT_EQ(program().CommState, CommState::Monitoring);
}

TEST_F(UploadTest, AllCellsTakeSixteenSecondsAfterTheFirstWait) {
  for (auto& c : w().GainCells) edit(*c, "1.00");
  // 128 exchanges of 125 ms and the 5 ms the read waits after the reply,
  // with no extra pause between cells.
  EXPECT_EQ(upload(), 200 + 128 * 130);
  EXPECT_EQ(lettersOf(line().writtenFrames()), std::string(128, 'e'));
  EXPECT_EQ(controller().gain(77), 128);
}

TEST_F(UploadTest, EveryStepInOrderWithItsPause) {
  edit(w().Fuel_mx, "10.240");
  for (auto& c : w().GainCells) edit(*c, "1.00");
  edit(w().FS_RPM, "6000");
  edit(w().max_rpm, "5000");
  edit(w().Ign_Cycles, "2");
  edit(w().Num_Cyls, "4");
  w().map_type_2.click();
  edit(w().Min_Pressure, "30");
  edit(w().Rate_Cut, "20");
  w().Pulse_Mode_0.click();
  edit(w().Fuel_Cut_Time, "1.5");
  edit(w().Inj_Inhibit, "100");
  const long long start = now();
  const long long took = upload();

  const auto& frames = line().written();
  const std::string letters = lettersOf(line().writtenFrames());
  ASSERT_EQ(letters, "m" + std::string(128, 'e') + "qijkvpzftu");
  EXPECT_EQ(frames.front().atMs - start, 200);
  // Parameters the controller stores get 200 ms after their exchange.
  const std::string settles = "ijkvpzftu";
  for (std::size_t k = 0; k + 1 < frames.size(); ++k) {
    const bool settle = settles.find(letters[k]) != std::string::npos;
    EXPECT_EQ(frames[k + 1].atMs - frames[k].atMs, 130 + (settle ? 200 : 0)) << "after frame " << k;
  }
  EXPECT_EQ(took, frames.back().atMs - start + 130 + 200);
  EXPECT_TRUE(desktop().messages.empty());
}

TEST_F(UploadTest, RangeIsSentBeforeThePressureIsEncodedWithIt) {
  w().map_type_2.click();
  edit(w().Min_Pressure, "100");
  upload();
  EXPECT_EQ(line().writtenFrames(), (Frames{frame('v', 1), frame('p', 105, 1)}));
  EXPECT_EQ(w().Label18.colour(), kWhite);
  EXPECT_EQ(w().Min_Pressure.colour(), kWhite);
}

// A radio group marked by clicks, then left with one button checked or none.
struct Choice {
  const char* name;
  std::vector<Field TFrm_Mapping::*> clicks;  // mark the group; the last one is then unchecked
  Field TFrm_Mapping::*mark;                  // the field that carries the group's mark
  Field TFrm_Mapping::*checked;               // none: every button of the group clear
  Bytes frame;
};

void PrintTo(const Choice& c, std::ostream* os) { *os << c.name; }

class ChoiceTest : public UploadTest, public ::testing::WithParamInterface<Choice> {};

TEST_P(ChoiceTest, SendsTheCheckedButton) {
  const Choice& c = GetParam();
  for (Field TFrm_Mapping::*button : c.clicks) (w().*button).click();
  (w().*c.clicks.back()).setChecked(false);
  if (c.checked) (w().*c.checked).setChecked(true);
  ASSERT_TRUE((w().*c.mark).marked());
  upload();
  EXPECT_EQ(line().writtenFrames(), Frames{c.frame});
}

const std::vector<Field TFrm_Mapping::*> kPulseClicks = {&T::Pulse_Mode_0, &T::Pulse_Mode_1};
const std::vector<Field TFrm_Mapping::*> kRangeClicks = {&T::map_type_2};

INSTANTIATE_TEST_SUITE_P(
    Groups, ChoiceTest,
    ::testing::Values(Choice{"PulseMode0", kPulseClicks, &T::Flag_Value, &T::Pulse_Mode_0, frame('f', 0)},
                      Choice{"PulseMode1", kPulseClicks, &T::Flag_Value, &T::Pulse_Mode_1, frame('f', 1)},
                      Choice{"NoPulseMode", kPulseClicks, &T::Flag_Value, nullptr, frame('f', 2)},
                      Choice{"Range1", kRangeClicks, &T::Label18, &T::map_type_1, frame('v', 0)},
                      Choice{"Range2", kRangeClicks, &T::Label18, &T::map_type_2, frame('v', 1)},
                      Choice{"Range3", kRangeClicks, &T::Label18, &T::map_type_3, frame('v', 2)},
                      Choice{"NoRange", kRangeClicks, &T::Label18, nullptr, frame('v', 0)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(UploadBeforeTheConfiguration, RefusesWhatCannotBeEncodedYet) {
  testing::ProgramOnLine on;
  Program& p = *on.program;
  TFrm_Mapping& w = on.program.window();
  Begin_CommClick(p);
  testing::LineFixture::edit(w.max_rpm, "5000");
  testing::LineFixture::edit(w.Min_Pressure, "30");
  Button1Click(p);
  EXPECT_EQ(lettersOf(on.line.writtenFrames()), "");
  EXPECT_EQ(on.program.desktop.messageTexts(),
            (Texts{"The Full Scale RPM is not known yet, the Rev Limiter will not be updated",
                   "The MAP sensor range is not known yet, the Cut Fuel Below pressure will not be updated"}));

  // Their echoes make the full scale and the range known within the upload.
  on.program.desktop.messages.clear();
  testing::LineFixture::edit(w.FS_RPM, "6000");
  w.map_type_2.click();
  Button1Click(p);
  EXPECT_EQ(lettersOf(on.line.writtenFrames()), "qivp");
  EXPECT_TRUE(on.program.desktop.messages.empty());
  EXPECT_EQ(on.line.written()[1].bytes, testing::frame('i', 84, 3));
  EXPECT_EQ(on.line.written()[3].bytes, testing::frame('p', 80, 0));
}

struct Unreadable {
  const char* name;
  Target target;
  const char* text;
  std::string sent;  // letters sent before the upload stopped
};

void PrintTo(const Unreadable& u, std::ostream* os) { *os << u.name << " '" << u.text << "'"; }

class UnreadableTest : public UploadTest, public ::testing::WithParamInterface<Unreadable> {};

TEST_P(UnreadableTest, EndsTheUploadAndLivePollingGoesOn) {
  const Unreadable& u = GetParam();
  edit(w().Fuel_mx, "10.240");
  edit(w().Inj_Inhibit, "100");
  Field& field = u.target.in(w());
  edit(field, u.text);
  guarded(program(), [&] { Button1Click(program()); });
  EXPECT_EQ(desktop().exceptions, Texts{"Invalid variant type conversion."});
  EXPECT_EQ(lettersOf(line().writtenFrames()), u.sent) << "nothing after the field is sent";
  EXPECT_EQ(field.colour(), kYellow);
  EXPECT_EQ(w().Inj_Inhibit.colour(), kYellow);
  EXPECT_EQ(program().CommState, CommState::Monitoring);
  line().clearHistory();
  tick();
  EXPECT_EQ(lettersOf(line().writtenFrames()), "A");
}

INSTANTIATE_TEST_SUITE_P(Values, UnreadableTest,
                         ::testing::Values(Unreadable{"full scale", {&T::FS_RPM}, "12x", "m"},
                                           Unreadable{"full scale", {&T::FS_RPM}, "", "m"},
                                           Unreadable{"full scale", {&T::FS_RPM}, "3e9", "m"},
                                           Unreadable{"cell of blanks", cell(7), "  ", "m"},
                                           Unreadable{"cell", cell(7), "1,5", "m"},
                                           Unreadable{"trigs per rev", {&T::Num_Cyls}, "1e10", "mqi"},
                                           Unreadable{"rate cut", {&T::Rate_Cut}, "fast", "m"},
                                           Unreadable{"scaler", {&T::Fuel_mx}, "ten", ""}));

TEST_F(UploadTest, UnconfirmedFieldKeepsItsMark) {
  controller().faults().silent = true;
  edit(w().Fuel_mx, "25");
  // The exchange waits 125 ms and the read gives up after 105 ms.
  EXPECT_EQ(upload(), 200 + 230);
  EXPECT_EQ(line().writtenFrames(), Frames{frame('m', 244, 0)});
  EXPECT_EQ(w().Fuel_mx.colour(), kYellow);
  EXPECT_EQ(w().Fuel_mx.text(), "25");
}

// The rev limiter is sent as a fraction of the full scale and the pressure
// against the MAP range. When the controller has not echoed a new full scale
// or range, the program cannot know which one it holds, so the dependent
// value is refused rather than encoded against what may be the old one.
struct Unconfirmed {
  const char* name;
  std::function<void(sim::Faults&)> fault;
};

void PrintTo(const Unconfirmed& u, std::ostream* os) { *os << u.name; }

// The value that depends on the full scale or the range, and what the user
// changes so that both are sent.
struct Dependent {
  const char* name;
  std::function<void(TFrm_Mapping&)> edit;
  Bytes sent;  // the only frame that goes out
  const char* message;
  Field TFrm_Mapping::*unsent;  // keeps its mark for the next upload
};

void PrintTo(const Dependent& d, std::ostream* os) { *os << d.name; }

const Dependent kDependents[] = {
    {"RevLimiterOnFullScale", [](TFrm_Mapping& w) { testing::LineFixture::edit(w.FS_RPM, "8000"); }, frame('q', 39, 9),
     "The Full Scale RPM was not confirmed by the controller, the Rev Limiter will not be updated", &T::max_rpm},
    {"PressureOnRange",
     [](TFrm_Mapping& w) {
       w.map_type_2.click();
       testing::LineFixture::edit(w.Min_Pressure, "100");
     },
     frame('v', 1),
     "The MAP sensor range was not confirmed by the controller, the Cut Fuel Below pressure will not be updated",
     &T::Min_Pressure},
};

class UnconfirmedDependency : public UploadTest,
                              public ::testing::WithParamInterface<std::tuple<Dependent, Unconfirmed>> {};

TEST_P(UnconfirmedDependency, LeavesTheDependentValueUnsent) {
  const auto& [dependent, unconfirmed] = GetParam();
  unconfirmed.fault(controller().faults());
  dependent.edit(w());
  upload();
  EXPECT_EQ(line().writtenFrames(), Frames{dependent.sent});
  EXPECT_EQ(desktop().messageTexts(), Texts{dependent.message});
  EXPECT_EQ((w().*dependent.unsent).colour(), kYellow) << "sent with the next upload";
}

INSTANTIATE_TEST_SUITE_P(
    Echoes, UnconfirmedDependency,
    ::testing::Combine(::testing::ValuesIn(kDependents),
                       ::testing::Values(Unconfirmed{"Silent", [](sim::Faults& f) { f.silent = true; }},
                                         Unconfirmed{"Late", [](sim::Faults& f) { f.lateMs = 300; }},
                                         Unconfirmed{"Garbled",
                                                     [](sim::Faults& f) { f.garbage = sim::Garbage::After; }})),
    [](const auto& info) { return std::string(std::get<0>(info.param).name) + std::get<1>(info.param).name; });

class EnterKeyTest : public UploadTest, public ::testing::WithParamInterface<Target> {};

TEST_P(EnterKeyTest, RunsTheUploadOnce) {
  edit(w().Rate_Cut, "30");
  Field& field = GetParam().in(w());
  int key = '5';
  field.onKeyPress(key);
  EXPECT_EQ(key, '5') << "other keys are typed";
  EXPECT_TRUE(line().written().empty());
  key = kKeyReturn;
  field.onKeyPress(key);
  EXPECT_EQ(key, 0) << "Enter is consumed";
  EXPECT_EQ(line().writtenFrames(), Frames{frame('z', 30)});
}

INSTANTIATE_TEST_SUITE_P(Fields, EnterKeyTest,
                         ::testing::Values(Target{&T::Fuel_mx}, Target{&T::Num_Cyls}, Target{&T::Ign_Cycles},
                                           Target{&T::Rate_Cut}, Target{&T::FS_RPM}, Target{&T::max_rpm},
                                           Target{&T::Min_Pressure}, Target{&T::Fuel_Cut_Time}, Target{&T::Inj_Inhibit},
                                           cell(0), cell(127)));

}  // namespace
}  // namespace korvane
