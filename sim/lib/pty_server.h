// korvane-sim's line: the emulated controller served in real time on a
// pseudo-terminal, with its replies paced like a 19200-baud line. The server
// keeps a descriptor of the terminal's slave side open itself, so the tool
// can close and reopen the device as often as it likes without the line
// hanging up.
#pragma once

#include <chrono>
#include <csignal>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

#include "sim/lib/controller.h"
#include "sim/lib/options.h"
#include "sim/lib/paced_output.h"

namespace korvane::sim {

class PtyServer {
 public:
  explicit PtyServer(const Options& options);
  ~PtyServer();
  PtyServer(const PtyServer&) = delete;
  PtyServer& operator=(const PtyServer&) = delete;

  // Opens the terminal in raw mode and makes the link; throws
  // std::runtime_error with a message for the user when it cannot.
  void open();

  // The slave side's path, e.g. /dev/pts/3.
  const std::string& deviceName() const { return deviceName_; }

  // Serves until `stop` becomes non-zero or the dropped-line fault hangs up.
  // Waits with `waitMask` as the signal mask, so signals blocked elsewhere
  // wake it without a race. Frames and replies go to `log` when verbose.
  void serve(const volatile std::sig_atomic_t& stop, const sigset_t* waitMask, std::ostream& log);

  const Controller& controller() const { return controller_; }

 private:
  long long nowUs() const;
  void receive(std::ostream& log);
  void transmit();
  void keepFlooding();
  void logTraffic(std::ostream& log, const std::vector<ReplyChunk>& chunks);
  void makeLink();
  void removeLink();
  void closeLine();

  Controller controller_;
  PacedOutput output_;
  std::optional<std::filesystem::path> link_;
  bool verbose_;
  int master_ = -1;
  int slave_ = -1;
  std::string deviceName_;
  bool linkMade_ = false;
  bool writeBlocked_ = false;
  std::size_t framesLogged_ = 0;
  std::size_t ignoredLogged_ = 0;
  std::size_t discardedLogged_ = 0;
  std::chrono::steady_clock::time_point start_;
};

}  // namespace korvane::sim
