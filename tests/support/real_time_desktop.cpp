// The real-time desktop.
#include "support/real_time_desktop.h"

#include <thread>

namespace korvane::testing {

void RealTimeDesktop::messageBox(const std::string& text, const std::string& caption) {
  clock.advance(nowMs() - clock.now());
  RecordingDesktop::messageBox(text, caption);
}

void RealTimeDesktop::sleep(int milliseconds) {
  sleeps.push_back(milliseconds);
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

long long RealTimeDesktop::nowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start_).count();
}

}  // namespace korvane::testing
