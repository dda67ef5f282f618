// The real-time desktop.
#include "support/real_time_desktop.h"

#include "base/precise_wait.h"

namespace korvane::testing {

void RealTimeDesktop::messageBox(const std::string& text, const std::string& caption) {
  clock.advance(nowMs() - clock.now());
  RecordingDesktop::messageBox(text, caption);
}

void RealTimeDesktop::sleepUntil(Moment deadline) {
  // The deadline was taken before the call, so this bookkeeping lies within
  // the wait instead of lengthening it.
  sleeps.push_back(static_cast<int>(std::chrono::round<std::chrono::milliseconds>(deadline - now()).count()));
  korvane::sleepUntil(deadline);
}

}  // namespace korvane::testing
