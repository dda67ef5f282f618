// The real window against korvane-sim on a pseudo-terminal, wired as the
// program wires it: every handler and tick through the gate, every wait
// (the fixed ones and the serial line's) kept alive by it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/startup.h"
#include "comm/comm_control.h"
#include "qt_app.h"
#include "serial/serial_backend_posix.h"
#include "support/forwarding_backend.h"
#include "support/headless_program.h"
#include "support/sim_process.h"
#include "ui/main_view.h"
#include "ui/qt_desktop.h"

namespace korvane {
namespace {

using testing::processEventsUntil;

// The real desktop but for its boxes, which are written down and not shown,
// and the end of the process, which first runs `beforeExit`.
class SessionDesktop : public QtDesktop {
 public:
  void messageBox(const std::string& text, const std::string&) override { boxes.push_back(text); }
  [[noreturn]] void exitProcess(int status) override {
    if (beforeExit) beforeExit();
    std::fflush(stderr);
    std::_Exit(status);
  }
  std::vector<std::string> boxes;
  std::function<void()> beforeExit;
};

struct Frame {
  double atMs;
  std::string bytes;  // as korvane-sim prints them: "02 06 45 00 01 20"
};

// The frames korvane-sim acted on, from its --verbose lines.
std::vector<Frame> framesFrom(testing::SimProcess& sim) {
  std::vector<Frame> frames;
  for (std::string line; !(line = sim.nextLine(std::chrono::milliseconds(50))).empty();) {
    const auto arrow = line.find(" <- '");
    if (arrow == std::string::npos) continue;
    std::istringstream time(line.substr(line.find(':') + 1));
    double seconds = 0;
    time >> seconds;
    frames.push_back({seconds * 1000, line.substr(arrow + 8)});
  }
  return frames;
}

// The frames as the program wrote them, each with the time its write began.
// The pace is read here and not off the emulator's log: the emulator stamps
// a frame when it gets round to reading it, so one read it is late for
// makes the next gap look short by as much.
class WriteLog : public testing::ForwardingBackend {
 public:
  WriteLog(std::unique_ptr<SerialBackend> real, std::vector<Frame>& frames)
      : ForwardingBackend(std::move(real)), frames_(frames) {}
  int write(const std::uint8_t* buffer, int count) override {
    const auto at = std::chrono::steady_clock::now().time_since_epoch();
    std::string bytes;
    for (int i = 0; i < count; ++i) {
      char hex[4];
      std::snprintf(hex, sizeof hex, i == 0 ? "%02x" : " %02x", buffer[i]);
      bytes += hex;
    }
    frames_.push_back({std::chrono::duration<double, std::milli>(at).count(), bytes});
    return ForwardingBackend::write(buffer, count);
  }

 private:
  std::vector<Frame>& frames_;
};

void clickWithMouse(QWidget* widget) {
  const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
  QMouseEvent press(QEvent::MouseButtonPress, at, widget->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QApplication::sendEvent(widget, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, at, widget->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QApplication::sendEvent(widget, &release);
}

// The program in its window, talking to korvane-sim through Com1.
class WindowSession {
 public:
  WindowSession() : sim(KORVANE_SIM_PATH, {"--verbose", "--link", (dir.path() / "Com1").string()}) {
    std::ofstream(dir.path() / "comm.ini") << "1\n";
    const std::filesystem::path workDir = dir.path();
    program = std::make_unique<Program>(
        desktop,
        [this, workDir] {
          return std::make_unique<WriteLog>(makePosixSerialBackend(workDir, desktop.lineWait()), written);
        },
        workDir);
    FormCreate(*program);
    view = std::make_unique<MainView>(*program, &desktop.gate());
    view->show();
    timer.setInterval(100);
    QObject::connect(&timer, &QTimer::timeout, [this] {
      desktop.gate().tick([this] { guarded(*program, [this] { get_data_timerTimer(*program); }); });
    });
    timer.start();
  }

  TFrm_Mapping& w() { return program->Frm_Mapping; }
  QWidget* widget(const Field& field) { return view->widgetFor(field); }
  bool fullyRead() { return program->CommState == CommState::Monitoring && w().GainCells.back()->colour() == kWhite; }

  testing::TempDir dir;
  testing::SimProcess sim;
  std::vector<Frame> written;
  SessionDesktop desktop;
  std::unique_ptr<Program> program;
  std::unique_ptr<MainView> view;
  QTimer timer;
};

// While the full read runs, the window is kept busy with events; none of
// them may shorten a wait, reorder a frame or slip a frame in between.
TEST(WindowSessionTest, FramesKeepTheirBytesOrderAndPaceWhileTheWindowHandlesEvents) {
  testing::ensureQtApplication();
  WindowSession s;
  QTimer busy;
  QObject::connect(&busy, &QTimer::timeout, [&s] { s.view->update(); });
  busy.start(2);
  clickWithMouse(s.widget(s.w().Begin_Comm));
  ASSERT_TRUE(processEventsUntil([&s] { return s.fullyRead(); }, 15000));
  processEventsUntil([] { return false; }, 500);  // a few live polls
  busy.stop();
  EXPECT_TRUE(s.desktop.boxes.empty());

  // The line carried exactly what the program wrote, in its order.
  const std::vector<Frame>& frames = s.written;
  const std::vector<Frame> received = framesFrom(s.sim);
  ASSERT_LE(received.size(), frames.size());
  for (std::size_t i = 0; i < received.size(); ++i) EXPECT_EQ(received[i].bytes, frames[i].bytes) << "frame " << i;

  std::size_t at = 0;
  while (at < frames.size() && frames[at].bytes == "02 06 52 00 00 00") ++at;  // identify polls
  ASSERT_GE(at, 1u);
  ASSERT_GT(received.size(), at + 129);
  EXPECT_EQ(frames[at].bytes, "02 06 43 00 00 00");
  for (int cell = 0; cell < 128; ++cell) {
    char expected[32];
    std::snprintf(expected, sizeof expected, "02 06 45 %02x 01 20", cell);
    const Frame& frame = frames[at + 1 + cell];
    EXPECT_EQ(frame.bytes, expected);
    // Each cell is asked for after the 25 ms wait that follows the request
    // before it (after the 125 ms of the 'C' exchange for the first); a wait
    // cut short by an event would leave a gap of only the read's time.
    EXPECT_GE(frame.atMs - frames[at + cell].atMs, cell == 0 ? 125 : 25) << "cell " << cell;
  }
  for (std::size_t i = at + 130; i < frames.size(); ++i) {
    EXPECT_EQ(frames[i].bytes, "02 06 41 00 00 00");
    EXPECT_GE(frames[i].atMs - frames[i - 1].atMs, 125) << "live poll " << i;
  }
}

// The threadsafe style starts the dying process afresh: the raster
// painter's threads do not survive a plain fork().
TEST(WindowSessionTest, ACloseDuringAnUploadEndsTheProgramOnlyAfterIt) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        testing::ensureQtApplication();
        WindowSession s;
        clickWithMouse(s.widget(s.w().Begin_Comm));
        processEventsUntil([&s] { return s.fullyRead(); }, 15000);
        for (int cell : {3, 40, 127}) s.w().GainCells[cell]->setText("1.50");
        bool closedWhileWaiting = false;
        s.desktop.beforeExit = [&] {
          int unsent = 0;
          for (int cell : {3, 40, 127}) unsent += s.w().GainCells[cell]->colour() == kYellow;
          std::fprintf(stderr, "closed while waiting: %d; unsent cells: %d\n", closedWhileWaiting ? 1 : 0, unsent);
          s.sim.stop();
        };
        QTimer::singleShot(300, [&] {
          closedWhileWaiting = s.desktop.gate().waiting();
          s.view->close();
        });
        clickWithMouse(s.widget(s.w().BitBtn2));
        processEventsUntil([] { return false; }, 5000);
        std::fprintf(stderr, "the close did not end the program\n");
        std::_Exit(1);
      },
      ::testing::ExitedWithCode(0), "closed while waiting: 1; unsent cells: 0");
}

}  // namespace
}  // namespace korvane
