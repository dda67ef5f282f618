// The waits that end on time: never before their deadline, whatever the
// length or a signal, and a line that is ready ends a poll at once.
#include "base/precise_wait_posix.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/time.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace korvane {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Lengths either side of the last stretch, and one already over.
class PreciseWaitLength : public ::testing::TestWithParam<Clock::duration> {};

TEST_P(PreciseWaitLength, SleepAndPollEndNoSoonerThanTheirDeadline) {
  Clock::time_point deadline = Clock::now() + GetParam();
  sleepUntil(deadline);
  EXPECT_GE(Clock::now(), deadline);

  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  deadline = Clock::now() + GetParam();
  pollfd entry{fds[0], POLLIN, 0};
  EXPECT_EQ(pollUntil(entry, deadline), 0);
  EXPECT_GE(Clock::now(), deadline);
  ::close(fds[0]);
  ::close(fds[1]);
}

INSTANTIATE_TEST_SUITE_P(Lengths, PreciseWaitLength,
                         ::testing::Values(-1ms, 200us, kLastStretch, kLastStretch + 1us, 3ms, 30ms));

// A signal ends the kernel's sleep or poll early; the waits go on to their
// deadline.
TEST(PreciseWaitTest, ASignalDoesNotEndAWaitEarly) {
  struct sigaction quiet {};
  quiet.sa_handler = [](int) {};
  struct sigaction before {};
  ASSERT_EQ(::sigaction(SIGALRM, &quiet, &before), 0);  // without SA_RESTART
  const itimerval every5ms{{0, 5000}, {0, 5000}};
  ::setitimer(ITIMER_REAL, &every5ms, nullptr);

  Clock::time_point deadline = Clock::now() + 40ms;
  sleepUntil(deadline);
  EXPECT_GE(Clock::now(), deadline);
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  deadline = Clock::now() + 40ms;
  pollfd entry{fds[0], POLLIN, 0};
  EXPECT_EQ(pollUntil(entry, deadline), 0);
  EXPECT_GE(Clock::now(), deadline);

  const itimerval off{};
  ::setitimer(ITIMER_REAL, &off, nullptr);
  ::sigaction(SIGALRM, &before, nullptr);
  ::close(fds[0]);
  ::close(fds[1]);
}

// Ready before the wait, during its long first part, or hung up: the poll
// ends then and says how.
TEST(PreciseWaitTest, AReadyOrHungUpLineEndsThePollAtOnce) {
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  std::thread writer([&] {
    std::this_thread::sleep_for(20ms);
    ASSERT_EQ(::write(fds[1], "x", 1), 1);
  });
  const Clock::time_point start = Clock::now();
  pollfd entry{fds[0], POLLIN, 0};
  EXPECT_EQ(pollUntil(entry, start + 2s), 1);
  EXPECT_TRUE(entry.revents & POLLIN);
  EXPECT_LT(Clock::now() - start, 1s);
  writer.join();

  entry.revents = 0;
  EXPECT_EQ(pollUntil(entry, Clock::now() + 2s), 1) << "the byte is still waiting";
  char byte;
  ASSERT_EQ(::read(fds[0], &byte, 1), 1);

  ::close(fds[1]);
  entry.revents = 0;
  EXPECT_EQ(pollUntil(entry, Clock::now() + 2s), 1);
  EXPECT_TRUE(entry.revents & POLLHUP);
  ::close(fds[0]);
}

}  // namespace
}  // namespace korvane
