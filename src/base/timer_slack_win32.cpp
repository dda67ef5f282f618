// The timer slack on Windows: there is none to ask for; the waits keep to
// the system's own timer resolution.
#include "base/timer_slack.h"

namespace korvane {

bool useFinestTimerSlack() { return false; }

}  // namespace korvane
