// The timer slack, set with prctl().
#include <sys/prctl.h>

#include "base/timer_slack.h"

namespace korvane {

bool useFinestTimerSlack() {
  // 0 would not mean "none" but "back to the default".
  constexpr unsigned long kFinestSlackNs = 1;
  return ::prctl(PR_SET_TIMERSLACK, kFinestSlackNs, 0, 0, 0) == 0;
}

}  // namespace korvane
