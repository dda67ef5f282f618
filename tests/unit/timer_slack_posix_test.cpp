// The timer slack the program asks for at its start.
#include <gtest/gtest.h>
#include <sys/prctl.h>

#include <thread>

#include "base/timer_slack.h"

namespace korvane {
namespace {

int currentTimerSlackNs() { return ::prctl(PR_GET_TIMERSLACK, 0, 0, 0, 0); }

// In a thread of its own, so the rest of the suite keeps its slack.
TEST(TimerSlackTest, IsOneNanosecondForTheThreadAndForThreadsItStartsLater) {
  std::thread([] {
    ASSERT_TRUE(useFinestTimerSlack());
    EXPECT_EQ(currentTimerSlackNs(), 1);
    int inherited = 0;
    std::thread([&inherited] { inherited = currentTimerSlackNs(); }).join();
    EXPECT_EQ(inherited, 1);
  }).join();
}

}  // namespace
}  // namespace korvane
