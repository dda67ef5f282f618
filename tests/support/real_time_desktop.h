// A Desktop in real time for the end-to-end tests: waits really block and the
// clock is the monotonic one, while message boxes are recorded (and closed at
// once), file dialogs answer from the script and ending the process throws
// ProcessExit, as on the recording desktop. Its recording clock is kept up
// with the real one, so each message carries the time it was shown.
#pragma once

#include <chrono>
#include <string>

#include "support/recording_desktop.h"

namespace korvane::testing {

class RealTimeDesktop : public RecordingDesktop {
 public:
  void messageBox(const std::string& text, const std::string& caption) override;
  Moment now() override { return std::chrono::steady_clock::now(); }
  void sleepUntil(Moment deadline) override;
};

}  // namespace korvane::testing
