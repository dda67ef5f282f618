// korvane-sim as a real process on a pseudo-terminal, talked to through the
// link it makes, as the tool finds a Com<n> entry in its working directory.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <vector>

#include "support/headless_program.h"
#include "support/line_bytes.h"
#include "support/sim_process.h"

namespace korvane::testing {
namespace {

using namespace std::chrono_literals;

// The device opened raw, as any serial program would.
class RawTerminal {
 public:
  explicit RawTerminal(const std::filesystem::path& path) : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY)) {
    if (fd_ < 0) return;
    termios tio{};
    ::tcgetattr(fd_, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(fd_, TCSANOW, &tio);
  }
  ~RawTerminal() {
    if (fd_ >= 0) ::close(fd_);
  }
  bool ok() const { return fd_ >= 0; }

  // Writes the frame and reads until `count` bytes came or `timeout` passed.
  Bytes exchange(const Bytes& frame, std::size_t count, std::chrono::milliseconds timeout = 1s) {
    if (::write(fd_, frame.data(), frame.size()) != static_cast<ssize_t>(frame.size())) return {};
    return readFor(count, timeout);
  }

  Bytes readFor(std::size_t count, std::chrono::milliseconds timeout) {
    Bytes got;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (got.size() < count) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      pollfd fd{fd_, POLLIN, 0};
      if (left.count() <= 0 || ::poll(&fd, 1, static_cast<int>(left.count())) <= 0) break;
      // No more than asked for: what follows (a flood, say) is the next read's.
      std::uint8_t buffer[64];
      const ssize_t n = ::read(fd_, buffer, std::min(sizeof buffer, count - got.size()));
      if (n <= 0) break;
      got.insert(got.end(), buffer, buffer + n);
    }
    return got;
  }

 private:
  int fd_;
};

class SimOnPty : public ::testing::Test {
 protected:
  void start(std::vector<std::string> args) {
    args.insert(args.begin(), {"--link", link.string()});
    sim = std::make_unique<SimProcess>(KORVANE_SIM_PATH, args);
  }

  TempDir dir;
  std::filesystem::path link = dir.path() / "Com1";
  std::unique_ptr<SimProcess> sim;
};

TEST_F(SimOnPty, AnnouncesItsTerminalAndLinksIt) {
  start({});
  EXPECT_TRUE(sim->device().starts_with("/dev/pts/")) << sim->listeningLine();
  EXPECT_NE(sim->listeningLine().find(link.string()), std::string::npos);
  EXPECT_EQ(std::filesystem::read_symlink(link), sim->device());
}

TEST_F(SimOnPty, AnswersIdentifyConfigurationAndGainCommands) {
  start({"--revision", "513", "--param", "TRG_REV=6", "--param", "ONE_SHOT=2900", "--gains", "128"});
  RawTerminal line(link);
  ASSERT_TRUE(line.ok());
  EXPECT_EQ(line.exchange(frame('R'), 5), (Bytes{0x02, 0x05, 'R', 0x01, 0x02}));
  const Bytes config = line.exchange(frame('C'), 20);
  ASSERT_EQ(config.size(), 20u);
  EXPECT_EQ(config[2], 'C');
  EXPECT_EQ(config[19], 6);
  EXPECT_EQ(config[16] | config[17] << 8, 2900);
  EXPECT_EQ(line.exchange(frame('e', 9, 1, 77), 6), (Bytes{0x02, 0x06, 'e', 9, 1, 77}));
  EXPECT_EQ(line.exchange(frame('E', 9, 1, 32), 6), (Bytes{0x02, 0x06, 'E', 9, 1, 77}));
  EXPECT_EQ(line.exchange(frame('E', 10, 1, 32), 6), (Bytes{0x02, 0x06, 'E', 10, 1, 128}));
  EXPECT_TRUE(line.readFor(1, 50ms).empty()) << "nothing more than the replies";
}

TEST_F(SimOnPty, PacesItsRepliesLikeA19200BaudLine) {
  start({});
  RawTerminal line(link);
  const auto begin = std::chrono::steady_clock::now();
  ASSERT_EQ(line.exchange(frame('A'), 20).size(), 20u);
  EXPECT_GE(std::chrono::steady_clock::now() - begin, 9ms) << "20 bytes take about 10.4 ms on the line";
}

TEST_F(SimOnPty, DeviceCanBeClosedAndOpenedAgain) {
  start({});
  for (int i = 0; i < 3; ++i) {
    RawTerminal line(link);
    EXPECT_EQ(line.exchange(frame('R'), 5).size(), 5u) << "opening " << i;
  }
}

TEST_F(SimOnPty, TerminationRemovesTheLinkAndExitsCleanly) {
  start({});
  EXPECT_EQ(sim->stop(), 0);
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
}

TEST_F(SimOnPty, ReplacesAStaleLinkButNotAFile) {
  std::filesystem::create_symlink("/dev/null", link);
  start({});
  EXPECT_EQ(std::filesystem::read_symlink(link), sim->device());
  sim.reset();
  std::ofstream(link) << "mine";
  const SimRun run = runSimToEnd(KORVANE_SIM_PATH, {"--link", link.string()});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.output.find("not a symbolic link"), std::string::npos) << run.output;
  EXPECT_TRUE(std::filesystem::is_regular_file(link));
}

TEST_F(SimOnPty, DroppedLineAnswersThenHangsUpAndExits) {
  start({"--drop-after", "1"});
  RawTerminal line(link);
  EXPECT_EQ(line.exchange(frame('R'), 5).size(), 5u);
  EXPECT_TRUE(line.exchange(frame('R'), 5, 150ms).empty());
  EXPECT_NE(sim->nextLine(2s).find("line dropped after 1 frames"), std::string::npos);
  EXPECT_EQ(sim->waitForExit(2s), 0);
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
}

TEST_F(SimOnPty, FloodPoursJunkAtTheLinesPaceAfterItsFrames) {
  start({"--flood-after", "1", "--junk", "a5"});
  RawTerminal line(link);
  EXPECT_EQ(line.exchange(frame('R'), 5), (Bytes{0x02, 0x05, 'R', 0x22, 0x28}));
  const auto begin = std::chrono::steady_clock::now();
  EXPECT_EQ(line.readFor(200, 2s), Bytes(200, 0xA5));
  EXPECT_GE(std::chrono::steady_clock::now() - begin, 90ms) << "200 bytes take about 104 ms on the line";
}

TEST_F(SimOnPty, VerboseModePrintsEveryFrame) {
  start({"--verbose"});
  RawTerminal line(link);
  line.exchange(frame('k', 4), 4);
  const std::string received = sim->nextLine(1s);
  EXPECT_NE(received.find("<- 'k' 02 06 6b 04 00 00"), std::string::npos) << received;
  EXPECT_NE(sim->nextLine(1s).find("-> 02 04 6b 04"), std::string::npos);
}

TEST_F(SimOnPty, VerboseModeTellsWhichFramesCameIntoADroppedLine) {
  start({"--verbose", "--drop-after", "1"});
  RawTerminal line(link);
  EXPECT_EQ(line.exchange(frame('R'), 5).size(), 5u);
  EXPECT_TRUE(line.exchange(frame('e', 4, 1, 7), 6, 50ms).empty());
  std::string ignored;
  for (std::string l; ignored.empty() && !(l = sim->nextLine(1s)).empty();) {
    if (l.find(" ignored ") != std::string::npos) ignored = l;
  }
  EXPECT_NE(ignored.find("ignored 'e' 02 06 65 04 01 07"), std::string::npos) << ignored;
}

TEST(SimCommandLine, HelpAndBadOptionsEndAtOnce) {
  const SimRun help = runSimToEnd(KORVANE_SIM_PATH, {"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.output.find("Usage: korvane-sim"), std::string::npos);
  const SimRun bad = runSimToEnd(KORVANE_SIM_PATH, {"--late", "soon"});
  EXPECT_EQ(bad.status, 2);
  EXPECT_NE(bad.output.find("--late"), std::string::npos) << bad.output;
}

}  // namespace
}  // namespace korvane::testing
