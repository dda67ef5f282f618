// Logging in real time against korvane-sim with its engine held still: one
// row for each live-data reply the emulator sent, with what the window showed
// for it, the marker where it was set, and a disk that fills up on the way.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>

#include "comm/comm_control.h"
#include "support/sim_session.h"

namespace korvane::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr std::size_t kHeaderLines = 4;

std::vector<std::string> linesOf(const fs::path& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> fieldsOf(const std::string& row) {
  std::vector<std::string> fields;
  std::istringstream in(row);
  for (std::string field; std::getline(in, field, '\t');) fields.push_back(field);
  return fields;
}

class LoggingTest : public ::testing::Test {
 protected:
  // Connected and monitoring an engine that stands in cell 53, which holds 150 (1.17).
  void SetUp() override {
    session = std::make_unique<SimSession>(KORVANE_SIM_PATH,
                                           std::vector<std::string>{"--engine", "700,400,98", "--gain", "53=150"});
    Begin_CommClick(session->program());
    ASSERT_TRUE(session->tickUntil([&] { return session->program().CommState == CommState::Monitoring; }, 8s));
    ASSERT_TRUE(session->desktop.messages.empty()) << "the full read: " << session->desktop.messages.front().text;
    log = session->dir.path() / "drive.msl";
    session->desktop.saveAnswers.push_back(log.string());
  }

  std::size_t liveRepliesSent() {
    const auto& acted = session->report(200ms).acted;
    return std::count_if(acted.begin(), acted.end(), [](const Bytes& f) { return f[2] == 'A'; });
  }

  // The numbers the window shows, as a row of the log gives them.
  std::string shownNow() {
    TFrm_Mapping& w = session->w();
    const std::string& rpm = w.rpm_dpy.text();
    return rpm.substr(0, rpm.find(' ')) + "\t" + w.map_dpy.text() + "\t" + w.inj_dpy.text();
  }

  std::unique_ptr<SimSession> session;
  fs::path log;
};

TEST_F(LoggingTest, ARowForEveryLiveReplyWithWhatTheWindowShowedAndTheMarkInItsPlace) {
  TFrm_Mapping& w = session->w();
  const std::size_t sentBefore = liveRepliesSent();
  w.Startlogging1.click();
  int answered = 0;
  int answeredAtMark = -1;
  std::set<std::string> shown;
  Colour lamp = w.heartbeat.colour();
  session->tickUntil(
      [&] {
        if (w.heartbeat.colour() != lamp) {
          ++answered;
          shown.insert(shownNow());
        }
        lamp = w.heartbeat.colour();
        if (answered == 12 && answeredAtMark < 0) {
          w.Mark1.click();
          answeredAtMark = answered;
        }
        return answered == 24;
      },
      10s);
  w.Stoplogging1.click();
  const std::size_t sent = liveRepliesSent() - sentBefore;

  ASSERT_EQ(shown.size(), 1u) << "the engine is held still";
  const auto lines = linesOf(log);
  ASSERT_EQ(lines.size(), kHeaderLines + 24 + 1);
  EXPECT_EQ(lines[0], "\"Korvane v1.04.02, controller v1.02.74\"");
  EXPECT_TRUE(lines[1].starts_with("\"Capture Date: "));
  EXPECT_EQ(lines[2], "Time\tRPM\tMAP\tPW\tCell\tGain\tMAP raw\tRPM raw\tPW raw");
  EXPECT_EQ(lines[3], "s\tRPM\tkPa\tms\t\t\tcounts\tcounts\tcounts");
  EXPECT_EQ(lines[kHeaderLines + static_cast<std::size_t>(answeredAtMark)], "MARK 001");
  EXPECT_NEAR(static_cast<double>(lines.size() - kHeaderLines - 1), static_cast<double>(sent), 1.0);
  double before = -1;
  for (std::size_t i = kHeaderLines; i < lines.size(); ++i) {
    if (lines[i] == "MARK 001") continue;
    const auto fields = fieldsOf(lines[i]);
    ASSERT_EQ(fields.size(), 9u) << lines[i];
    EXPECT_GT(std::stod(fields[0]), before) << lines[i];
    before = std::stod(fields[0]);
    EXPECT_EQ(fields[1] + "\t" + fields[2] + "\t" + fields[3], *shown.begin());
    EXPECT_EQ(lines[i].substr(lines[i].find("\t53\t")), "\t53\t1.17\t700\t400\t98");
  }
  // Cell 53 is the one the two cursor bars cross in.
  const Field& cell = *w.GainCells[53];
  EXPECT_TRUE(w.map_r_ptr.left() >= cell.left() && w.map_r_ptr.left() < cell.left() + cell.width());
  EXPECT_TRUE(w.map_p_ptr.top() >= cell.top() && w.map_p_ptr.top() < cell.top() + cell.height());
}

// The file size limit stands in for a full disk: the write it stops fails
// instead of ending the process.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    previous_ = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{bytes, saved_.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, previous_);
  }

 private:
  rlimit saved_{};
  void (*previous_)(int) = nullptr;
};

TEST_F(LoggingTest, AFullDiskStopsLoggingWithOneMessageAndKeepsTheRowsBefore) {
  constexpr rlim_t kDiskLeft = 1000;
  {
    const FileSizeLimit full(kDiskLeft);
    session->w().Startlogging1.click();
    session->tickFor(5s);
  }
  const RealTimeDesktop& desktop = session->desktop;
  ASSERT_EQ(desktop.messages.size(), 1u) << desktop.messages.back().text;
  EXPECT_EQ(desktop.messages[0].caption, "ERROR");
  EXPECT_EQ(desktop.messages[0].text, "The log " + log.string() +
                                          " could not be written (File too large). Logging has stopped; the rows "
                                          "written before are in the file.");
  EXPECT_TRUE(session->w().Startlogging1.enabled());
  EXPECT_FALSE(session->w().Stoplogging1.enabled());

  const auto lines = linesOf(log);
  EXPECT_LE(fs::file_size(log), kDiskLeft);
  EXPECT_GE(lines.size(), kHeaderLines + 10);
  for (std::size_t i = kHeaderLines; i < lines.size(); ++i) {
    EXPECT_EQ(fieldsOf(lines[i]).size(), 9u) << "row " << i << " is whole: " << lines[i];
  }
  std::ifstream in(log, std::ios::binary);
  const std::string text(std::istreambuf_iterator<char>(in), {});
  EXPECT_EQ(text.back(), '\n');
}

}  // namespace
}  // namespace korvane::testing
