// The exit signals on their own, each case in a child with an event loop of
// its own: what is caught, what stays as it was, and the second signal.
#include "ui/exit_signals.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <string.h>

#include <QTimer>
#include <chrono>
#include <string>
#include <vector>

#include "child_application.h"
#include "support/program_child.h"

namespace korvane::testing {
namespace {

using namespace std::chrono_literals;
using Lines = std::vector<std::string>;

// Runs the event loop for a while, with the exit signals caught and every
// one that reaches the handler noted by its name.
void runCatching(ChildDesktop& desktop, const std::function<void()>& meanwhile) {
  ChildApplication app;
  ExitSignals exitSignals([&desktop](int signo) { desktop.note(::sigabbrev_np(signo)); });
  meanwhile();
  QTimer::singleShot(200, &app, &QCoreApplication::quit);
  app.exec();
}

TEST(ExitSignalsTest, EachIsHandedOverFromTheEventLoopExceptOneIgnoredAtStart) {
  ProgramChild child([](ChildDesktop& desktop) {
    ::signal(SIGHUP, SIG_IGN);  // as under nohup
    runCatching(desktop, [&desktop] {
      ::raise(SIGHUP);
      ::raise(SIGINT);
      ::raise(SIGTERM);
      desktop.note("raised");
    });
  });
  const ChildEnd end = child.finish(5s);
  EXPECT_EQ(end.shown, (Lines{"raised", "INT", "TERM"}));
  EXPECT_EQ(end.exitStatus, kRunReturned);
}

TEST(ExitSignalsTest, ASecondOfTheSameEndsTheProcessAtOnce) {
  ProgramChild child([](ChildDesktop& desktop) {
    runCatching(desktop, [&desktop] {
      ::raise(SIGTERM);
      ::raise(SIGTERM);
      desktop.note("survived");
    });
  });
  const ChildEnd end = child.finish(5s);
  EXPECT_EQ(end.signal, SIGTERM);
  EXPECT_EQ(end.shown, Lines{});
}

}  // namespace
}  // namespace korvane::testing
