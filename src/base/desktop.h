// What the program asks of its surroundings: message boxes, file dialogs, a
// blocking wait and ending the process. The Qt binding implements it for real;
// tests implement it on a virtual clock with scripted answers.
#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace korvane {

class Desktop {
 public:
  virtual ~Desktop() = default;

  // A modal box with the text, the caption and an OK button. While it is open
  // the 100 ms timer keeps ticking.
  virtual void messageBox(const std::string& text, const std::string& caption) = 0;

  // The application's exception box: the message as given (the caller has
  // already appended the full stop), the empty application title as caption,
  // an error icon and an OK button.
  virtual void exceptionBox(const std::string& message) = 0;

  // File dialogs with an initial file name and a default extension that is
  // added to a name typed without one. No value means the user cancelled.
  virtual std::optional<std::string> openFileDialog(const std::string& initialName,
                                                    const std::string& defaultExtension) = 0;
  virtual std::optional<std::string> saveFileDialog(const std::string& initialName,
                                                    const std::string& defaultExtension) = 0;

  // A point on the clock the waits keep: the monotonic clock, or the virtual
  // one of a test.
  using Moment = std::chrono::steady_clock::time_point;

  virtual Moment now() = 0;

  // Waits on the calling (user-interface) thread until `deadline`; returns at
  // once when it has passed. No handler and no timer tick runs meanwhile; a
  // window may go on repainting and answering the window system, and what
  // the user does waits for the operation's end.
  virtual void sleepUntil(Moment deadline) = 0;

  // Waits `milliseconds` from now.
  void sleep(int milliseconds) { sleepFrom(now(), milliseconds); }

  // Waits until `milliseconds` after `from`, a moment read earlier with
  // now(): the wait counts from what started it (a frame handed to the
  // line), not from when the program got back to waiting.
  void sleepFrom(Moment from, int milliseconds) { sleepUntil(from + std::chrono::milliseconds(milliseconds)); }

  // Milliseconds on the same clock.
  long long nowMs() { return std::chrono::duration_cast<std::chrono::milliseconds>(now().time_since_epoch()).count(); }

  // Ends the process at once with the status. Never returns.
  [[noreturn]] virtual void exitProcess(int status) = 0;
};

// The message the exception box shows for an exception's message: a full stop
// is appended when the last character's code is above that of the full stop.
std::string exceptionBoxText(const std::string& message);

}  // namespace korvane
