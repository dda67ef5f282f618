// The road of a connection: Begin_Comm, the identify polls of one attempt,
// the timer's work in each state, Halt_Comm, the port chosen in comm.ini, and
// ticks that fall due inside a message box of a handler that talks to the
// controller.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "app/startup.h"
#include "comm/upload.h"
#include "support/line_fixture.h"

namespace korvane {
namespace {

using testing::lettersOf;
using testing::LineFixture;
using testing::MemoryLine;

const std::string kFullRead = "C" + std::string(128, 'E');
constexpr const char* kNoPortSelected = "A Comm port has not yet been specified, cannot begin communications";
constexpr const char* kCannotOpen = "Couldnt open specified COMPORT, aborting";

class ConnectionTest : public LineFixture {
 protected:
  // The window and port as Halt_Comm leaves them.
  void expectCollapsed() {
    EXPECT_FALSE(program().ControllerPort.IsOpen);
    EXPECT_FALSE(line().held());
    EXPECT_EQ(w().height(), kCollapsedHeight);
    EXPECT_FALSE(w().Gain_Table_Group.visible());
    EXPECT_TRUE(w().Begin_Comm.enabled());
    EXPECT_FALSE(w().Halt_Comm.enabled());
  }
};

TEST_F(ConnectionTest, BeginOpensTheSelectedPortAndExpandsTheWindow) {
  Begin_CommClick(program());
  EXPECT_EQ(program().CommState, CommState::Connecting);
  EXPECT_TRUE(program().ControllerPort.IsOpen);
  EXPECT_EQ(program().ControllerPort.PortNumber, 1);
  EXPECT_EQ(line().lineSettings().baudRate, 19200);
  EXPECT_EQ(w().height(), kExpandedHeight);
  EXPECT_TRUE(w().Gain_Table_Group.visible());
  EXPECT_FALSE(w().Begin_Comm.enabled());
  EXPECT_TRUE(w().Halt_Comm.enabled());
  EXPECT_TRUE(line().written().empty()) << "the first poll waits for the timer";
}

TEST_F(ConnectionTest, SilentControllerGetsSixPollsAndTheAttemptIsGivenUp) {
  controller().faults().silent = true;
  Begin_CommClick(program());
  const long long start = now();
  tick(10);
  EXPECT_EQ(lettersOf(line().writtenFrames()), "RRRRRR");
  ASSERT_EQ(desktop().messages.size(), 1u);
  EXPECT_EQ(desktop().messages[0].text, "Failure to connect to attached controller (Non Response)");
  EXPECT_EQ(desktop().messages[0].caption, "ERROR");
  EXPECT_EQ(program().CommState, CommState::Idle);
  expectCollapsed();
  // Each unanswered poll is the 125 ms wait and a read that gives up after
  // 105 ms: about 1.4 s for the attempt.
  EXPECT_EQ(desktop().messages[0].atMs - start, 6 * 230);
}

struct AnsweredPoll {
  int poll;  // the first poll the controller answers
};

void PrintTo(const AnsweredPoll& a, std::ostream* os) { *os << "poll " << a.poll; }

class AnsweredPollTest : public ConnectionTest, public ::testing::WithParamInterface<AnsweredPoll> {};

TEST_P(AnsweredPollTest, EndsTheAttemptAndTheNextTickReadsEverything) {
  const int answered = GetParam().poll;
  Begin_CommClick(program());
  for (int poll = 1; poll <= answered; ++poll) {
    controller().faults().silent = poll < answered;
    tick();
  }
  EXPECT_EQ(program().CommState, CommState::ReadingAll);
  EXPECT_EQ(w().FW_Rev.text(), "v1.02.74");
  tick();
  EXPECT_EQ(lettersOf(line().writtenFrames()), std::string(static_cast<std::size_t>(answered), 'R') + kFullRead);
  EXPECT_EQ(program().CommState, CommState::Monitoring);
  EXPECT_TRUE(desktop().messages.empty());
  EXPECT_TRUE(program().ControllerPort.IsOpen);
}

INSTANTIATE_TEST_SUITE_P(Polls, AnsweredPollTest, ::testing::Values(AnsweredPoll{1}, AnsweredPoll{3}, AnsweredPoll{6}));

TEST_F(ConnectionTest, EveryAttemptCountsItsOwnPolls) {
  // Three polls per attempt: counted across attempts, the second attempt
  // would reach six on a silent poll and fail.
  for (int attempt = 0; attempt < 4; ++attempt) {
    line().clearHistory();
    Begin_CommClick(program());
    for (int poll = 1; poll <= 3; ++poll) {
      controller().faults().silent = poll < 3;
      tick();
    }
    tick();
    EXPECT_EQ(lettersOf(line().writtenFrames()), "RRR" + kFullRead) << "attempt " << attempt;
    Halt_CommClick(program());
  }
  EXPECT_TRUE(desktop().messages.empty());
}

TEST_F(ConnectionTest, AfterHaltTicksSendNothingUntilBeginStartsAgain) {
  ASSERT_NO_FATAL_FAILURE(connectAndReadAll());
  Halt_CommClick(program());
  EXPECT_EQ(program().CommState, CommState::Monitoring) << "Halt_Comm leaves the state alone";
  expectCollapsed();
  line().clearHistory();
  tick(5);
  EXPECT_EQ(lettersOf(line().writtenFrames()), "");
  Begin_CommClick(program());
  EXPECT_EQ(program().CommState, CommState::Connecting);
  tick();
  EXPECT_EQ(lettersOf(line().writtenFrames()), "R");
}

TEST_F(ConnectionTest, IdentifyReplyWhileMonitoringLeadsToAFullReadOnTheNextTick) {
  ASSERT_NO_FATAL_FAILURE(connectAndReadAll());
  line().clearHistory();
  // A late identify reply, and no answer to the live-data poll that takes it.
  controller().faults().silent = true;
  line().arrive(now(), testing::reply('R', {0x01, 0x02}));
  tick();
  EXPECT_EQ(program().CommState, CommState::ReadingAll);
  EXPECT_EQ(w().FW_Rev.text(), "v0.05.13");
  controller().faults().silent = false;
  tick();
  EXPECT_EQ(lettersOf(line().writtenFrames()), "A" + kFullRead);
  EXPECT_EQ(program().CommState, CommState::Monitoring);
}

class UploadDuringConnection : public ConnectionTest, public ::testing::WithParamInterface<int> {};

TEST_P(UploadDuringConnection, EndsInMonitoringWithoutTheRestOfTheAttempt) {
  Begin_CommClick(program());
  tick(GetParam());  // 0 polls: Connecting; 1 answered poll: ReadingAll
  line().clearHistory();
  Button1Click(program());
  EXPECT_EQ(program().CommState, CommState::Monitoring);
  tick(2);
  EXPECT_EQ(lettersOf(line().writtenFrames()), "AA");
}

INSTANTIATE_TEST_SUITE_P(States, UploadDuringConnection, ::testing::Values(0, 1));

TEST_F(ConnectionTest, FileTransferTakesThePortOverWithoutTouchingTheLayout) {
  ASSERT_NO_FATAL_FAILURE(connectAndReadAll());
  line().clearHistory();
  program().ConnectAttempts = 4;
  EXPECT_TRUE(OpenForFileTransfer(program()));
  EXPECT_TRUE(program().ControllerPort.IsOpen);
  EXPECT_EQ(line().opens(), 2);
  EXPECT_EQ(program().CommState, CommState::Idle);
  EXPECT_TRUE(w().Begin_Comm.enabled());
  EXPECT_FALSE(w().Halt_Comm.enabled());
  EXPECT_EQ(w().height(), kExpandedHeight);
  EXPECT_TRUE(w().Gain_Table_Group.visible());
  tick(2);
  EXPECT_EQ(lettersOf(line().writtenFrames()), "") << "an idle tick only forgets the polls";
  EXPECT_EQ(program().ConnectAttempts, 0);
}

TEST(FileTransferPort, OpensTheSelectedPortNumber) {
  testing::ProgramOnLine on("Com3", 3);
  testing::HeadlessProgram& p = on.program;
  EXPECT_TRUE(OpenForFileTransfer(*p));
  EXPECT_TRUE(p->ControllerPort.IsOpen);
  EXPECT_EQ(p->ControllerPort.PortNumber, 3);
  EXPECT_EQ(on.line.lineSettings().baudRate, 19200);
  EXPECT_EQ(p.window().height(), kCollapsedHeight);
  EXPECT_FALSE(p.window().Gain_Table_Group.visible());
}

// What stays as it was when no port has been chosen.
struct Snapshot {
  CommState state;
  bool open, beginEnabled, haltEnabled, groupVisible;
  int height, opens;

  friend bool operator==(const Snapshot&, const Snapshot&) = default;
};

Snapshot snapshot(testing::HeadlessProgram& p, const MemoryLine& line) {
  TFrm_Mapping& w = p.window();
  return {p->CommState,          p->ControllerPort.IsOpen,     w.Begin_Comm.enabled(),
          w.Halt_Comm.enabled(), w.Gain_Table_Group.visible(), w.height(),
          line.opens()};
}

struct Opener {
  const char* name;
  std::function<void(Program&)> open;
};

void PrintTo(const Opener& o, std::ostream* os) { *os << o.name; }

const Opener kOpeners[] = {
    {"Begin_Comm", [](Program& p) { Begin_CommClick(p); }},
    {"file transfer", [](Program& p) { EXPECT_FALSE(OpenForFileTransfer(p)); }},
};

class NoPortChosen : public ::testing::TestWithParam<Opener> {};

TEST_P(NoPortChosen, SaysSoAndChangesNothing) {
  testing::ProgramOnLine on("Com1", 0);
  testing::HeadlessProgram& p = on.program;
  p.desktop.messages.clear();  // start-up's word about the missing comm.ini
  p->CommState = CommState::Monitoring;
  const Snapshot before = snapshot(p, on.line);
  GetParam().open(*p);
  ASSERT_EQ(p.desktop.messages.size(), 1u);
  EXPECT_EQ(p.desktop.messages[0].text, kNoPortSelected);
  EXPECT_EQ(p.desktop.messages[0].caption, "ERROR");
  EXPECT_EQ(snapshot(p, on.line), before);
}

INSTANTIATE_TEST_SUITE_P(Openers, NoPortChosen, ::testing::ValuesIn(kOpeners));

struct UnopenablePort {
  int commIni;
  testing::OpenStep failStep;
  const char* openMessage;
};

void PrintTo(const UnopenablePort& u, std::ostream* os) { *os << "Com" << u.commIni << ", " << u.openMessage; }

class UnopenablePortTest : public ::testing::TestWithParam<std::tuple<UnopenablePort, Opener>> {};

// A step that fails after the device was opened leaves it held by the port;
// the program must not end with it still reserved.
TEST_P(UnopenablePortTest, EndsTheProgramAfterTwoMessagesWithTheDeviceReleased) {
  const auto& [port, opener] = GetParam();
  testing::ProgramOnLine on("Com1", port.commIni);  // only Com1 exists
  on.line.failStep = port.failStep;
  testing::HeadlessProgram& p = on.program;
  testing::MemoryLine& line = on.line;
  ASSERT_EQ(p->SelectedPort, port.commIni);
  try {
    opener.open(*p);
    FAIL() << "the program went on";
  } catch (const testing::ProcessExit& exit) {
    EXPECT_EQ(exit.status, 0);
  }
  EXPECT_EQ(p.desktop.messageTexts(), (std::vector<std::string>{port.openMessage, kCannotOpen}));
  EXPECT_FALSE(p->ControllerPort.IsOpen);
  EXPECT_FALSE(line.held());
}

INSTANTIATE_TEST_SUITE_P(
    Ports, UnopenablePortTest,
    ::testing::Combine(
        ::testing::Values(UnopenablePort{300, testing::OpenStep::None, "Invalid ComPort"},
                          UnopenablePort{2, testing::OpenStep::None, "Bad ComPort"},
                          UnopenablePort{1, testing::OpenStep::GetLineSettings, "Control block param = 0"},
                          UnopenablePort{1, testing::OpenStep::SetLineSettings, "control block State = 0"}),
        ::testing::ValuesIn(kOpeners)));

// File > Exit and closing the window while connected.
struct WayOut {
  const char* name;
  std::function<void(Program&)> leave;
};

void PrintTo(const WayOut& w, std::ostream* os) { *os << w.name; }

class LeavingConnected : public ConnectionTest, public ::testing::WithParamInterface<WayOut> {};

TEST_P(LeavingConnected, ReleasesTheDeviceBeforeTheProcessEnds) {
  ASSERT_NO_FATAL_FAILURE(connectAndReadAll());
  line().clearHistory();
  EXPECT_THROW(GetParam().leave(program()), testing::ProcessExit);
  EXPECT_FALSE(line().held());
  EXPECT_FALSE(program().ControllerPort.IsOpen);
  EXPECT_TRUE(line().written().empty()) << "nothing is sent on the way out";
  EXPECT_TRUE(desktop().messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Ways, LeavingConnected,
                         ::testing::Values(WayOut{"FileExit", [](Program& p) { p.Frm_Mapping.Exit2.click(); }},
                                           WayOut{"CloseWindow", [](Program& p) { FormOnClose(p); }}),
                         [](const auto& info) { return std::string(info.param.name); });

// Handlers that talk to the controller and open a message box part way; the
// timer keeps ticking while the box is open.
struct BoxCase {
  const char* name;
  std::function<void(testing::LineFixture&)> arrange;  // runs connected, before the action
  bool fullRead;                                       // the action is a tick in ReadingAll, else the upload
};

void PrintTo(const BoxCase& c, std::ostream* os) { *os << c.name; }

class TickInsideMessageBox : public ConnectionTest, public ::testing::WithParamInterface<BoxCase> {};

TEST_P(TickInsideMessageBox, SendsNothing) {
  Begin_CommClick(program());
  tick();  // identify answered
  if (!GetParam().fullRead) {
    tick();
    w().Label18.setColour(kWhite);
  }
  GetParam().arrange(*this);
  int boxes = 0;
  bool inside = false;  // a box opened by one of these ticks runs no more of them
  desktop().whileMessageBoxOpen = [&](const testing::RecordedMessage& box) {
    if (inside) return;
    inside = true;
    ++boxes;
    const std::size_t before = line().written().size();
    tick(3);
    EXPECT_EQ(line().written().size(), before) << "a tick inside \"" << box.text << "\"";
    inside = false;
  };
  if (GetParam().fullRead) {
    tick();
  } else {
    Button1Click(program());
  }
  EXPECT_GE(boxes, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, TickInsideMessageBox,
    ::testing::Values(BoxCase{"configuration unanswered", [](auto& f) { f.controller().faults().silent = true; }, true},
                      BoxCase{"cell unanswered", [](auto& f) { f.controller().faults().deadCells = {40}; }, true},
                      BoxCase{"tach period of zero",
                              [](auto& f) {
                                auto c = f.controller().configuration();
                                c.oneShot = 0;
                                f.controller().setConfiguration(c);
                              },
                              true},
                      BoxCase{"refused parameter", [](auto& f) { LineFixture::edit(f.w().Rate_Cut, "0"); }, false},
                      BoxCase{"adjusted rev limiter", [](auto& f) { LineFixture::edit(f.w().max_rpm, "7000"); }, false},
                      BoxCase{"blank cells skipped", [](auto& f) { f.w().GainCells[7]->setText(""); }, false}),
    [](const auto& info) {
      std::string name = info.param.name;
      for (char& c : name) {
        if (c == ' ') c = '_';
      }
      return name;
    });

}  // namespace
}  // namespace korvane
