// A Desktop for tests: a virtual clock instead of real waits, every message
// recorded, dialogs answered from a script, and the process exit turned into
// an exception the test can catch.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/desktop.h"

namespace korvane::testing {

// Thrown instead of ending the process.
struct ProcessExit {
  int status;
};

class VirtualClock {
 public:
  long long now() const { return now_; }
  void advance(long long ms) { now_ += ms; }

 private:
  long long now_ = 0;
};

struct RecordedMessage {
  std::string text;
  std::string caption;
  long long atMs;
};

struct RecordedDialog {
  bool save;
  std::string initialName;
  std::string defaultExtension;
};

class RecordingDesktop : public Desktop {
 public:
  void messageBox(const std::string& text, const std::string& caption) override;
  void exceptionBox(const std::string& message) override;
  std::optional<std::string> openFileDialog(const std::string& initialName,
                                            const std::string& defaultExtension) override;
  std::optional<std::string> saveFileDialog(const std::string& initialName,
                                            const std::string& defaultExtension) override;
  // The virtual clock, its milliseconds counted from the clock's epoch.
  Moment now() override { return Moment(std::chrono::milliseconds(clock.now())); }
  // Moves the virtual clock on to `deadline` (rounded up to a whole
  // millisecond) and notes the milliseconds waited.
  void sleepUntil(Moment deadline) override;
  [[noreturn]] void exitProcess(int status) override;

  // The texts of the message boxes shown so far, in order.
  std::vector<std::string> messageTexts() const;

  VirtualClock clock;
  std::vector<RecordedMessage> messages;
  std::vector<std::string> exceptions;
  std::vector<RecordedDialog> dialogs;
  std::vector<int> sleeps;  // the milliseconds each wait lasted

  // Answers for the file dialogs, taken in order; none left means cancel.
  std::deque<std::optional<std::string>> openAnswers;
  std::deque<std::optional<std::string>> saveAnswers;

  // Runs while a message box is open, as the real nested event loop does
  // (for example a few timer ticks).
  std::function<void(const RecordedMessage&)> whileMessageBoxOpen;
};

}  // namespace korvane::testing
