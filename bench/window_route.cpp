// The route through the window: the real QApplication, main view and Qt
// desktop waits, driven from the Qt event loop as a user would drive them.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <stdexcept>

#include "route.h"
#include "support/sim_session.h"
#include "window_program.h"

namespace korvane::bench {
namespace {

using Clock = std::chrono::steady_clock;

// The Qt desktop with its own waits and clock, but boxes that are recorded
// and closed at once and file dialogs that answer from a script: nothing may
// stop the bench to wait for a user.
class BenchDesktop : public QtDesktop {
 public:
  void messageBox(const std::string& text, const std::string&) override { shown.push_back(text); }
  void exceptionBox(const std::string& message) override { shown.push_back(message); }
  std::optional<std::string> openFileDialog(const std::string&, const std::string&) override {
    return next(openAnswers);
  }
  std::optional<std::string> saveFileDialog(const std::string&, const std::string&) override {
    return next(saveAnswers);
  }

  // The program ends itself after a failure it has shown (a port that
  // cannot be opened); the bench must not end as silently as that.
  [[noreturn]] void exitProcess(int status) override {
    std::fprintf(stderr, "korvane-bench: the program ended itself with status %d after \"%s\"\n", status,
                 shown.empty() ? "" : shown.back().c_str());
    std::exit(2);
  }

  std::vector<std::string> shown;
  std::deque<std::string> openAnswers;  // none left means cancel
  std::deque<std::string> saveAnswers;

 private:
  static std::optional<std::string> next(std::deque<std::string>& answers) {
    if (answers.empty()) return std::nullopt;
    std::string answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

// The application lives as long as the route; Qt keeps a reference to the
// argument count.
std::unique_ptr<QApplication> makeApplication() {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static int argc = 1;
  static char name[] = "korvane-bench";
  static char* argv[] = {name, nullptr};
  auto app = std::make_unique<QApplication>(argc, argv);
  setUpApplicationAsMainDoes();
  return app;
}

class WindowRoute : public Route {
 public:
  WindowRoute(const std::string& simPath, std::chrono::seconds budget)
      : app_(makeApplication()), line_(simPath, {}, false, budget), window_(desktop_, line_.dir.path(), [this] {
          if (afterTick_) afterTick_();
        }) {
    // The window is shown and painted, as the user sees it before the first
    // click.
    int ticks = 0;
    tickUntil([&ticks] { return ++ticks >= 3; }, std::chrono::seconds(5));
  }

  std::string description() const override {
    return "through the window (Qt " + QApplication::platformName().toStdString() + " platform)";
  }
  Program& program() override { return window_.program(); }
  std::vector<std::string> messages() const override { return desktop_.shown; }
  void answerSaveDialog(const std::string& file) override { desktop_.saveAnswers.push_back(file); }
  void answerOpenDialog(const std::string& file) override { desktop_.openAnswers.push_back(file); }

  std::optional<double> click(Field& control, const std::function<bool()>& done,
                              std::chrono::milliseconds limit) override;
  bool tickUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) override;

 private:
  // The widget's own click or the menu item's trigger, as the mouse makes it.
  std::function<void()> clickerFor(Field& control);
  // Runs the event loop until `quit` is called or `limit` has passed.
  void runEventLoop(QEventLoop& loop, std::chrono::milliseconds limit);

  std::unique_ptr<QApplication> app_;
  testing::SimLine line_;
  BenchDesktop desktop_;
  std::function<void()> afterTick_;
  WindowProgram window_;
};

std::function<void()> WindowRoute::clickerFor(Field& control) {
  if (auto* button = qobject_cast<QAbstractButton*>(window_.view().widgetFor(control))) {
    if (!button->isEnabled() || !button->isVisibleTo(&window_.view())) {
      throw std::runtime_error(control.name() + " cannot be clicked");
    }
    return [button] { button->click(); };
  }
  if (QAction* action = window_.view().actionFor(control)) {
    if (!action->isEnabled() || !action->isVisible()) throw std::runtime_error(control.name() + " cannot be chosen");
    return [action] { action->trigger(); };
  }
  throw std::runtime_error(control.name() + " is neither a button nor a menu item");
}

void WindowRoute::runEventLoop(QEventLoop& loop, std::chrono::milliseconds limit) {
  QTimer::singleShot(limit, &loop, &QEventLoop::quit);
  loop.exec();
  afterTick_ = nullptr;
}

std::optional<double> WindowRoute::click(Field& control, const std::function<bool()>& done,
                                         std::chrono::milliseconds limit) {
  const std::function<void()> clickControl = clickerFor(control);
  QEventLoop loop;
  bool scheduled = false;
  std::optional<Clock::time_point> clicked;
  std::optional<double> took;
  // Once only: a tick that falls due before the loop has ended (one did
  // during the click's handler) must not move the end.
  const auto finishWhenDone = [&] {
    if (took || !done()) return;
    took = std::chrono::duration<double, std::milli>(Clock::now() - *clicked).count();
    loop.quit();
  };
  afterTick_ = [&] {
    if (clicked) return finishWhenDone();
    if (scheduled) return;
    scheduled = true;
    // Posted rather than made here, so the click comes from the event loop
    // itself, as the user's does, and not from inside the timer's signal.
    QTimer::singleShot(0, &loop, [&] {
      // As if the tick had just fallen due: one that was held behind an
      // operation and ran late leaves less than the timer's interval to
      // the next, and the first tick after Begin would come early.
      window_.restartTimer();
      clicked = Clock::now();
      clickControl();
      finishWhenDone();
    });
  };
  runEventLoop(loop, limit);
  return took;
}

bool WindowRoute::tickUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  QEventLoop loop;
  bool held = false;
  afterTick_ = [&] {
    if (!done()) return;
    held = true;
    loop.quit();
  };
  runEventLoop(loop, limit);
  return held;
}

}  // namespace

std::unique_ptr<Route> makeWindowRoute(const std::string& simPath, std::chrono::seconds budget, char**) {
  return std::make_unique<WindowRoute>(simPath, budget);
}

}  // namespace korvane::bench
