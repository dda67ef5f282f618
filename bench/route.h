// How the bench reaches the program: straight into its handlers with the
// timer played by hand (headless), or through the widgets of the real window
// with the timer its event loop runs (through the window). The timed
// operations are written once, against this.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "window/program.h"

namespace korvane::bench {

class Route {
 public:
  virtual ~Route() = default;

  // "headless" or what the window is drawn on.
  virtual std::string description() const = 0;

  virtual Program& program() = 0;

  // The texts of the message and exception boxes shown so far, in order.
  virtual std::vector<std::string> messages() const = 0;

  // The next save or open dialog is answered with `file`.
  virtual void answerSaveDialog(const std::string& file) = 0;
  virtual void answerOpenDialog(const std::string& file) = 0;

  // Clicks `control`, a button or a menu item, as a timer tick falls due
  // (the next is due one interval after the click), then lets the timer
  // tick until `done` holds; `done` is asked once the click's handler has
  // returned and after every tick. Returns the milliseconds from the click
  // until then, or nothing when `limit` passed first. Throws
  // std::runtime_error for a control the user could not click.
  virtual std::optional<double> click(Field& control, const std::function<bool()>& done,
                                      std::chrono::milliseconds limit) = 0;

  // Lets the timer tick until `done`, asked after every tick, holds or
  // `limit` has passed; whether `done` held.
  virtual bool tickUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) = 0;
};

// korvane-sim at `simPath` and the program beside it, the whole session
// allowed `budget` by a watchdog.
std::unique_ptr<Route> makeHeadlessRoute(const std::string& simPath, std::chrono::seconds budget);

// The same through the real main view, drawn on Qt's offscreen platform
// unless QT_QPA_PLATFORM names another. In korvane-bench-window it is made
// here; korvane-bench, which has no Qt, replaces itself with
// korvane-bench-window run with the same arguments `argv`, and throws
// std::runtime_error when that cannot be started.
std::unique_ptr<Route> makeWindowRoute(const std::string& simPath, std::chrono::seconds budget, char** argv);

}  // namespace korvane::bench
