// The recording desktop.
#include "support/recording_desktop.h"

namespace korvane::testing {

void RecordingDesktop::messageBox(const std::string& text, const std::string& caption) {
  messages.push_back({text, caption, clock.now()});
  // A copy: a box opened by the events run here grows `messages`, which
  // would leave a reference into it dangling.
  const RecordedMessage shown = messages.back();
  if (whileMessageBoxOpen) whileMessageBoxOpen(shown);
}

void RecordingDesktop::exceptionBox(const std::string& message) { exceptions.push_back(message); }

std::optional<std::string> RecordingDesktop::openFileDialog(const std::string& initialName,
                                                            const std::string& defaultExtension) {
  dialogs.push_back({false, initialName, defaultExtension});
  if (openAnswers.empty()) return std::nullopt;
  auto answer = openAnswers.front();
  openAnswers.pop_front();
  return answer;
}

std::optional<std::string> RecordingDesktop::saveFileDialog(const std::string& initialName,
                                                            const std::string& defaultExtension) {
  dialogs.push_back({true, initialName, defaultExtension});
  if (saveAnswers.empty()) return std::nullopt;
  auto answer = saveAnswers.front();
  saveAnswers.pop_front();
  return answer;
}

void RecordingDesktop::sleepUntil(Moment deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now()).count();
  const int milliseconds = left > 0 ? static_cast<int>(left) : 0;
  sleeps.push_back(milliseconds);
  clock.advance(milliseconds);
}

void RecordingDesktop::exitProcess(int status) { throw ProcessExit{status}; }

std::vector<std::string> RecordingDesktop::messageTexts() const {
  std::vector<std::string> texts;
  for (const auto& m : messages) texts.push_back(m.text);
  return texts;
}

}  // namespace korvane::testing
