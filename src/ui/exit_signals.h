// SIGTERM, SIGINT and SIGHUP turned into a call on the user-interface
// thread, where the program can release the serial port before it ends, and
// the ending itself, as the signal would have ended the process.
#pragma once

#include <functional>
#include <memory>
#include <vector>

class QSocketNotifier;

namespace korvane {

class ExitSignals {
 public:
  using Handler = std::function<void(int signo)>;

  // Catches the three signals from now on and calls `handler` with the
  // signal's number from the event loop; needs the application to exist.
  // A signal that was ignored when the program started (under nohup, or
  // SIGINT in a background job) stays ignored. Only the first of each is
  // caught: another of the same before the handler has ended the process
  // ends it at once, so a program whose event loop does not come round
  // stays easy to stop. One at a time per process.
  explicit ExitSignals(Handler handler);

  // Puts back the dispositions found.
  ~ExitSignals();

  ExitSignals(const ExitSignals&) = delete;
  ExitSignals& operator=(const ExitSignals&) = delete;

 private:
  void deliver();

  struct Saved;  // a signal and the disposition it had

  Handler handler_;
  int readEnd_ = -1;
  int writeEnd_ = -1;
  std::unique_ptr<QSocketNotifier> notifier_;
  std::vector<Saved> saved_;
};

// Ends the process as `signo` does when nobody catches it: the default
// disposition back in place and the signal raised again, so a parent sees
// the process killed by that signal. Never returns.
[[noreturn]] void endBySignal(int signo);

}  // namespace korvane
