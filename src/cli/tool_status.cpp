// Reports and stand-in texts shared by the commands.
#include "cli/tool_status.h"

namespace korvane {

void reportFileError(std::ostream& err, const std::string& name, const std::string& message) {
  err << kToolName << ": " << name << ": " << message << "\n";
}

bool reportUnusable(std::ostream& err, const SetFileInput& input) {
  if (input.error) {
    reportFileError(err, input.name, *input.error);
    return true;
  }
  if (const auto refusal = loadRefusal(input)) {
    reportFileError(err, input.name, *refusal);
    return true;
  }
  return false;
}

std::string parameterText(const ReadBackWindow& window, const SetFileValues& values, std::size_t index) {
  if (const auto text = window.shownText(index)) return text->empty() ? "no button checked" : *text;
  if (!values.parameters[index]) return kNotInFile;
  return "unknown without " + keyName(kSetFileParameters[index].needs);
}

std::string rawText(const SetFileValues& values, std::size_t index) {
  const auto& value = values.parameters[index];
  return value ? std::to_string(*value) : kNotInFile;
}

}  // namespace korvane
