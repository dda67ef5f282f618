// The main window as a full read leaves it once a set file has been loaded
// into a controller: the file's values go through the very appliers that
// take the controller's configuration reply and its gain replies, into a
// window model of their own, without a view or a serial line.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/desktop.h"
#include "cli/set_file_values.h"
#include "window/program.h"

namespace korvane {

// The surroundings of a window that is never shown: message boxes are kept
// to be reported, and nothing waits, asks or ends the process.
class UnseenDesktop : public Desktop {
 public:
  void messageBox(const std::string& text, const std::string& caption) override;
  void exceptionBox(const std::string& message) override;
  std::optional<std::string> openFileDialog(const std::string&, const std::string&) override { return std::nullopt; }
  std::optional<std::string> saveFileDialog(const std::string&, const std::string&) override { return std::nullopt; }
  Moment now() override { return {}; }
  void sleepUntil(Moment) override {}
  [[noreturn]] void exitProcess(int status) override;

  std::vector<std::string> messages;  // their texts, in the order shown
};

class ReadBackWindow {
 public:
  explicit ReadBackWindow(const SetFileValues& values);
  ReadBackWindow(const ReadBackWindow&) = delete;
  ReadBackWindow& operator=(const ReadBackWindow&) = delete;

  const TFrm_Mapping& window() const { return program_.Frm_Mapping; }

  // The caption the window gives parameter `index` of kSetFileParameters.
  std::string caption(std::size_t index) const;

  // The text the window shows for the parameter: its edit box's text, or the
  // caption of the radio button checked in its group ("" when none is). None
  // when the file does not set the value, or not the one it is worked out with.
  std::optional<std::string> shownText(std::size_t index) const;

  // The text of gain cell `cell`, none when the file does not set it.
  std::optional<std::string> gainText(int cell) const;

  // The message boxes the read would have shown about the file's own values.
  const std::vector<std::string>& messages() const { return desktop_.messages; }

  // The text the axis labels show where the file does not fix them.
  static constexpr const char* kUnknownLabel = "?";

 private:
  bool known(std::size_t index) const;

  SetFileValues values_;
  UnseenDesktop desktop_;
  Program program_;
};

}  // namespace korvane
