// Leaving the program, one way or another, and starting it again against the
// same emulator, which goes on serving the line: every run is a process of
// its own on the real port that really ends, as a user meets it. The
// emulator keeps its end of the terminal open throughout, so a run that
// left the device reserved for exclusive use makes the next Begin fail with
// "Bad ComPort" for anyone but root.
#include <gtest/gtest.h>
#include <signal.h>
#include <string.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/startup.h"
#include "child_application.h"
#include "comm/comm_control.h"
#include "serial/serial_backend_posix.h"
#include "support/forwarding_backend.h"
#include "support/headless_program.h"
#include "support/program_child.h"
#include "support/sim_process.h"
#include "support/sim_session.h"
#include "ui/exit_signals.h"

namespace korvane::testing {
namespace {

using namespace std::chrono_literals;
using Lines = std::vector<std::string>;

constexpr auto kRunLimit = 20s;

// The real port on a device whose line settings cannot be read, as with an
// adapter that refuses them: Open fails after the device has been opened.
class RefusingLineSettings : public ForwardingBackend {
 public:
  explicit RefusingLineSettings(const std::filesystem::path& dir) : ForwardingBackend(makePosixSerialBackend(dir)) {}
  bool getLineSettings(LineSettings&) override { return false; }
};

// Plays the window's timer until `done` holds or `limit` passes.
void tickUntil(Program& program, const std::function<bool()>& done, std::chrono::milliseconds limit) {
  PollingTimer timer;
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!done() && std::chrono::steady_clock::now() < deadline) timer.fire([&] { get_data_timerTimer(program); });
}

// Begin_Comm, then the timer until the controller has answered a poll, or
// until it is read and monitored as well.
void beginUntil(Program& program, ChildDesktop& desktop, CommState reached, const char* note) {
  Begin_CommClick(program);
  const auto limit = reached == CommState::Monitoring ? 10s : 3s;
  tickUntil(
      program, [&] { return program.CommState == reached; }, limit);
  desktop.note(program.CommState == reached ? note : "not reached");
}

void beginUntilConnected(Program& p, ChildDesktop& d) { beginUntil(p, d, CommState::ReadingAll, "connected"); }
void beginUntilMonitoring(Program& p, ChildDesktop& d) { beginUntil(p, d, CommState::Monitoring, "monitoring"); }

using ProgramRun = std::function<void(Program&, ChildDesktop&)>;

class NextRun : public ::testing::Test {
 protected:
  void SetUp() override {
    if (::geteuid() == 0) {
      GTEST_SKIP() << "root opens a terminal reserved for exclusive use all the same; "
                      "scripts/test runs this suite again as an unprivileged user";
    }
    sim = std::make_unique<SimProcess>(KORVANE_SIM_PATH, std::vector<std::string>{"--link", link.string()});
    std::ofstream(dir.path() / "comm.ini") << "1\n";
  }

  // Starts a child that starts the program up in the working directory, with
  // `refusing` the port's device refuses its line settings, and does `run`.
  std::unique_ptr<ProgramChild> start(const ProgramRun& run, bool refusing = false) {
    const std::filesystem::path workDir = dir.path();
    return std::make_unique<ProgramChild>([&run, refusing, workDir](ChildDesktop& desktop) {
      SerialPort::BackendFactory factory = [workDir]() -> std::unique_ptr<SerialBackend> {
        return makePosixSerialBackend(workDir);
      };
      if (refusing) factory = [workDir] { return std::make_unique<RefusingLineSettings>(workDir); };
      Program program(desktop, factory, workDir);
      FormCreate(program);
      run(program, desktop);
    });
  }

  // The next start: Begin_Comm, and the controller answers the first poll.
  void expectTheNextRunConnects() {
    const ChildEnd next = start([](Program& program, ChildDesktop& desktop) {
                            beginUntilConnected(program, desktop);
                            program.Frm_Mapping.Exit2.click();
                          })->finish(kRunLimit);
    EXPECT_EQ(next.shown, Lines{"connected"});
    EXPECT_EQ(next.exitStatus, 0);
  }

  TempDir dir;
  std::filesystem::path link = dir.path() / "Com1";
  std::unique_ptr<SimProcess> sim;
};

struct WayOut {
  const char* name;
  bool refusing;  // the device refuses its line settings
  ProgramRun run;
  Lines shown;
};

void PrintTo(const WayOut& w, std::ostream* os) { *os << w.name; }

const WayOut kWaysOut[] = {
    {"FileExit",
     false,
     [](Program& p, ChildDesktop& d) {
       beginUntilMonitoring(p, d);
       p.Frm_Mapping.Exit2.click();
     },
     {"monitoring"}},
    {"CloseWindow",
     false,
     [](Program& p, ChildDesktop& d) {
       beginUntilConnected(p, d);
       FormOnClose(p);
     },
     {"connected"}},
    {"AbortAfterAFailedOpen",
     true,
     [](Program& p, ChildDesktop&) { Begin_CommClick(p); },
     {"Control block param = 0", "Couldnt open specified COMPORT, aborting"}},
};

class LeavingThenStartingAgain : public NextRun, public ::testing::WithParamInterface<WayOut> {};

TEST_P(LeavingThenStartingAgain, TheNextRunConnects) {
  const WayOut& way = GetParam();
  const ChildEnd first = start(way.run, way.refusing)->finish(kRunLimit);
  EXPECT_EQ(first.shown, way.shown);
  EXPECT_EQ(first.exitStatus, 0);
  expectTheNextRunConnects();
}

INSTANTIATE_TEST_SUITE_P(Ways, LeavingThenStartingAgain, ::testing::ValuesIn(kWaysOut),
                         [](const auto& info) { return std::string(info.param.name); });

class SignalledThenStartingAgain : public NextRun, public ::testing::WithParamInterface<int> {};

// The child holds the port open in the event loop with the exit signals
// caught as the program's start-up catches them.
TEST_P(SignalledThenStartingAgain, TheRunIsKilledByTheSignalAndTheNextRunConnects) {
  const int signo = GetParam();
  auto child = start([](Program& program, ChildDesktop& desktop) {
    ChildApplication app;
    ExitSignals exitSignals([&program](int caught) {
      program.ControllerPort.Close();
      endBySignal(caught);
    });
    Begin_CommClick(program);
    desktop.note(program.ControllerPort.IsOpen ? "open" : "not open");
    app.exec();
  });
  ASSERT_EQ(child->nextLine(5s), "open");
  child->signal(signo);
  const ChildEnd end = child->finish(kRunLimit);
  EXPECT_EQ(end.signal, signo) << "exit status " << end.exitStatus;
  EXPECT_EQ(end.shown, Lines{});
  expectTheNextRunConnects();
}

INSTANTIATE_TEST_SUITE_P(Signals, SignalledThenStartingAgain, ::testing::Values(SIGTERM, SIGINT, SIGHUP),
                         [](const auto& info) { return std::string(::sigabbrev_np(info.param)); });

}  // namespace
}  // namespace korvane::testing
